// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/MpegFrameScanner.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kHeaderBytes = 4;
// How far past the tag the first frame is looked for; the parser skips
// anything before it.
constexpr std::uint64_t kStartSearch = 64 * 1024;
// Frames in a row that make a stream, as the parser requires.
constexpr int kFramesThatMakeAStream = 3;

// Bytes of the ID3v2 tag at the file's start (header, body and footer), as
// the tag demultiplexer takes them off; 0 when there is none.
std::uint64_t Id3v2TagSize(std::span<const std::uint8_t> head)
{
    if (head.size() < 10 || std::memcmp(head.data(), "ID3", 3) != 0)
        return 0;
    std::uint64_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80)
            return 0; // not a synchsafe size: no tag
        body = body << 7 | head[i];
    }
    const bool footer = head[5] & 0x10;
    return 10 + body + (footer ? 10 : 0);
}

} // namespace

std::optional<MpegStreamLayout> MpegFrameScanner::FindStart()
{
    MpegStreamLayout layout;
    layout.tagSize = Id3v2TagSize(m_bytes.Peek(0, 10));
    const std::uint64_t searchEnd = std::min(m_bytes.Size(), layout.tagSize + kStartSearch);
    std::optional<std::uint64_t> start;
    for (std::uint64_t offset = layout.tagSize; !start && offset < searchEnd; ++offset) {
        std::optional<MpegFrameHeader> header = FrameAt(offset);
        if (header && BeginsStream(offset, *header)) {
            start = offset;
            m_header = *header;
        }
    }
    if (!start)
        return std::nullopt;

    m_offset = *start;
    layout.streamStart = m_offset;
    m_number = 0;
    m_endedWithFile = false;
    const std::uint64_t table = m_offset + m_header.XingOffset();
    if (BytesAre(table, "Xing") || BytesAre(table, "Info")) {
        std::span<const std::uint8_t> flags = m_bytes.Peek(table + 4, 4);
        layout.hasLengthTable = flags.size() == 4 && (flags[3] & 1); // the frame count is there
        // The header frame holds no sound: the stream starts after it.
        const MpegFrameHeader stream = m_header;
        std::optional<MpegFrameHeader> next = FrameAt(m_offset + m_header.length);
        if (!next || !stream.SameStream(*next))
            return std::nullopt;
        m_offset += m_header.length;
        m_header = *next;
    } else if (BytesAre(m_offset + kHeaderBytes + 32, "VBRI")) {
        // A VBRI header frame counts as a frame of sound for the parser.
        layout.hasLengthTable = true;
    }
    layout.firstFrame = m_offset;
    layout.sampleRate = m_header.sampleRate;
    layout.samplesPerFrame = m_header.samplesPerFrame;
    return layout;
}

bool MpegFrameScanner::Next()
{
    const MpegFrameHeader stream = m_header;
    for (;;) {
        const std::uint64_t next = m_offset + m_header.length;
        std::optional<MpegFrameHeader> header = FrameAt(next);
        if (!header || !stream.SameStream(*header)) {
            m_endedWithFile = OnlyTagFollows(next);
            return false;
        }
        m_offset = next;
        m_header = *header;
        if (!HoldsXingHeader(m_offset, m_header))
            break;
    }
    ++m_number;
    return true;
}

std::optional<MpegFrameHeader> MpegFrameScanner::FrameAt(std::uint64_t offset)
{
    std::span<const std::uint8_t> bytes = m_bytes.Peek(offset, kHeaderBytes);
    if (bytes.size() < kHeaderBytes)
        return std::nullopt;
    std::optional<MpegFrameHeader> header = MpegFrameHeader::Read(bytes.data());
    if (!header || offset + header->length > m_bytes.Size())
        return std::nullopt;
    return header;
}

bool MpegFrameScanner::BeginsStream(std::uint64_t offset, const MpegFrameHeader& first)
{
    MpegFrameHeader header = first;
    for (int found = 1; found < kFramesThatMakeAStream; ++found) {
        offset += header.length;
        std::optional<MpegFrameHeader> next = FrameAt(offset);
        if (!next || !first.SameStream(*next))
            return false;
        header = *next;
    }
    return true;
}

bool MpegFrameScanner::BytesAre(std::uint64_t offset, std::string_view text)
{
    std::span<const std::uint8_t> bytes = m_bytes.Peek(offset, text.size());
    return bytes.size() == text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

bool MpegFrameScanner::HoldsXingHeader(std::uint64_t offset, const MpegFrameHeader& header)
{
    const std::uint64_t table = offset + header.XingOffset();
    return BytesAre(table, "Xing") || BytesAre(table, "Info");
}

bool MpegFrameScanner::OnlyTagFollows(std::uint64_t offset)
{
    if (m_bytes.Size() - std::min(offset, m_bytes.Size()) < kHeaderBytes)
        return true;
    // ID3v1, APEv2 and an appended ID3v2 tag.
    return BytesAre(offset, "TAG") || BytesAre(offset, "APETAGEX") || BytesAre(offset, "ID3");
}
