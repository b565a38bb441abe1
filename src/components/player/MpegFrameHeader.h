// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The four-byte header of an MPEG audio frame (MPEG-1, 2 and 2.5, layers I to
// III): what the frame holds and how long it is, read as the framework's MPEG
// audio parser reads it.
struct MpegFrameHeader {
    std::uint32_t bits = 0;
    int sampleRate = 0;
    int samplesPerFrame = 0;
    // Bytes of the whole frame, header included.
    std::size_t length = 0;
    bool mpeg1 = false;
    bool mono = false;

    // Nothing when the bytes are no valid header, or one of a free-format
    // stream (its frame length is not in the header).
    static std::optional<MpegFrameHeader> Read(const std::uint8_t* bytes);

    // Whether `next` can be the next frame of the same stream: only the bit
    // rate, the padding, the channel mode and the copyright and emphasis
    // flags may change from frame to frame.
    bool SameStream(const MpegFrameHeader& next) const;
    // Where in the frame an encoder's Xing or Info header would begin.
    std::size_t XingOffset() const;
};
