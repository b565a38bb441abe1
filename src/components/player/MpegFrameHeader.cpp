// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/MpegFrameHeader.h"

namespace {

// Bit rates in kbit/s by [MPEG-1 or not][layer - 1][index]; index 0 is the
// free format, 15 is invalid.
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
// Sample rates by [MPEG-1, 2, 2.5][index].
constexpr int kSampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

// The bits that every frame of one stream shares (sync, version, layer,
// protection, sample rate, private bit), as the framework's parser compares
// them when it looks for a stream's frames.
constexpr std::uint32_t kStreamBits = ~((0xfu << 12) | (1u << 9) | (0xfu << 4) | 0xfu);

} // namespace

std::optional<MpegFrameHeader> MpegFrameHeader::Read(const std::uint8_t* bytes)
{
    const std::uint32_t bits = std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
                               std::uint32_t(bytes[2]) << 8 | std::uint32_t(bytes[3]);
    const std::uint32_t version = (bits >> 19) & 3; // 0: MPEG-2.5, 1: reserved, 2: MPEG-2, 3: MPEG-1
    const std::uint32_t layerBits = (bits >> 17) & 3;
    const std::uint32_t bitrateIndex = (bits >> 12) & 0xf;
    const std::uint32_t rateIndex = (bits >> 10) & 3;
    if ((bits & 0xffe00000u) != 0xffe00000u || version == 1 || layerBits == 0 || bitrateIndex == 0 ||
        bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;

    MpegFrameHeader header;
    header.bits = bits;
    header.mpeg1 = version == 3;
    header.mono = ((bits >> 6) & 3) == 3;
    const int layer = 4 - int(layerBits);
    const int versionRow = version == 3 ? 0 : version == 2 ? 1 : 2;
    header.sampleRate = kSampleRates[versionRow][rateIndex];
    const std::size_t bitrate = std::size_t(kBitrates[header.mpeg1 ? 0 : 1][layer - 1][bitrateIndex]) * 1000;
    const std::size_t padding = (bits >> 9) & 1;
    const auto rate = std::size_t(header.sampleRate);
    switch (layer) {
    case 1:
        header.samplesPerFrame = 384;
        header.length = (12 * bitrate / rate + padding) * 4;
        break;
    case 2:
        header.samplesPerFrame = 1152;
        header.length = 144 * bitrate / rate + padding;
        break;
    default:
        header.samplesPerFrame = header.mpeg1 ? 1152 : 576;
        header.length = (header.mpeg1 ? 144 : 72) * bitrate / rate + padding;
        break;
    }
    return header;
}

bool MpegFrameHeader::SameStream(const MpegFrameHeader& next) const
{
    return (bits & kStreamBits) == (next.bits & kStreamBits);
}

std::size_t MpegFrameHeader::XingOffset() const
{
    // After the header, past the side information of the first granule.
    if (mpeg1)
        return 4 + (mono ? 17 : 32);
    return 4 + (mono ? 9 : 17);
}
