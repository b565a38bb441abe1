// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/XingHeader.h"

#include "support/FileBytes.h"

#include "components/player/MpegFrameHeader.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint32_t kFramesBytesAndTable = 0x7;
constexpr std::size_t kTableEntries = 100;
// "Xing", the flags, the frame count, the byte count, the table.
constexpr std::size_t kXingBytes = 4 + 4 + 4 + 4 + kTableEntries;

void PutBe32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (24 - 8 * i)) & 0xff);
}

// The header of a frame of the stream that `first` begins, with the lowest
// bit rate whose frame holds a Xing header.
MpegFrameHeader XingFrameHeader(const MpegFrameHeader& first)
{
    for (std::uint32_t index = 1; index < 15; ++index) {
        const std::uint32_t bits = (first.bits & ~((0xfu << 12) | (1u << 9))) | (index << 12);
        const std::uint8_t bytes[4] = {std::uint8_t(bits >> 24), std::uint8_t(bits >> 16), std::uint8_t(bits >> 8),
                                       std::uint8_t(bits)};
        std::optional<MpegFrameHeader> header = MpegFrameHeader::Read(bytes);
        if (header && header->length >= header->XingOffset() + kXingBytes)
            return *header;
    }
    throw std::runtime_error("no frame of this stream holds a Xing header");
}

} // namespace

void WriteWithXingHeader(const std::string& mp3, const std::string& out)
{
    const std::string stream = ReadFileBytes(mp3);
    std::vector<std::size_t> frames;
    for (std::size_t offset = 0; offset + 4 <= stream.size();) {
        std::optional<MpegFrameHeader> header =
            MpegFrameHeader::Read(reinterpret_cast<const std::uint8_t*>(stream.data() + offset));
        if (!header)
            break;
        frames.push_back(offset);
        offset += header->length;
    }
    if (frames.empty())
        throw std::runtime_error(mp3 + " holds no MPEG audio frames");

    const MpegFrameHeader header =
        XingFrameHeader(*MpegFrameHeader::Read(reinterpret_cast<const std::uint8_t*>(stream.data())));
    std::string xing(header.length, '\0');
    PutBe32(xing, 0, header.bits);
    std::size_t at = header.XingOffset();
    xing.replace(at, 4, "Xing");
    PutBe32(xing, at + 4, kFramesBytesAndTable);
    PutBe32(xing, at + 8, std::uint32_t(frames.size()));
    const std::size_t total = xing.size() + stream.size();
    PutBe32(xing, at + 12, std::uint32_t(total));
    for (std::size_t i = 0; i < kTableEntries; ++i) {
        const std::size_t offset = xing.size() + frames[i * frames.size() / kTableEntries];
        xing[at + 16 + i] = char(std::min<std::size_t>(255, offset * 256 / total));
    }
    WriteFileBytes(out, xing + stream);
}
