// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MpegFrameHeader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The bytes of a file, read at increasing offsets.
class ByteWindow {
public:
    virtual ~ByteWindow() = default;
    virtual std::uint64_t Size() const = 0;
    // Up to `length` bytes at `offset` (fewer at the end of the file); valid
    // until the next call.
    virtual std::span<const std::uint8_t> Peek(std::uint64_t offset, std::size_t length) = 0;
};

// Where an MPEG audio stream lies in its file, and its frames' timing.
struct MpegStreamLayout {
    // Bytes of the ID3v2 tag before the stream, which the framework's tag
    // demultiplexer takes off: its parser counts offsets from there.
    std::uint64_t tagSize = 0;
    // File offset of the stream's first frame: a header frame, when there is
    // one, or else the first frame that holds sound.
    std::uint64_t streamStart = 0;
    // File offset of the first frame that holds sound.
    std::uint64_t firstFrame = 0;
    int sampleRate = 0;
    int samplesPerFrame = 0;
    // A Xing header with a frame count, or a VBRI header, gives the stream's
    // length: the framework takes the length from there.
    bool hasLengthTable = false;
};

// Walks the frames of an MPEG audio file (.mp3, .mp2) from its start, counting
// them as the framework's parser does: a Xing or Info header frame holds no
// sound and is not counted, also when one follows in the middle (files put
// together from several). Frame n then starts at sample n * samplesPerFrame.
// The walk ends where the bytes stop being frames of the same stream (a
// trailing tag, damage, another sample rate): past there, the parser would
// have to find its way again, and counting could differ from its own.
class MpegFrameScanner {
public:
    explicit MpegFrameScanner(ByteWindow& bytes) : m_bytes(bytes) {}

    // Finds the first frame that holds sound and stands on it (number 0);
    // nothing when the file does not begin as an MPEG audio stream.
    std::optional<MpegStreamLayout> FindStart();
    // Steps to the next frame that holds sound; false where the stream ends.
    bool Next();

    // The frame the scanner stands on: its file offset and number.
    std::uint64_t Offset() const { return m_offset; }
    std::uint64_t Number() const { return m_number; }
    // Once Next() returned false: whether the stream ran to the end of the
    // file, with nothing after it but a tag.
    bool EndedWithFile() const { return m_endedWithFile; }

private:
    // A header at `offset` whose whole frame lies in the file.
    std::optional<MpegFrameHeader> FrameAt(std::uint64_t offset);
    // Whether `first` at `offset` is followed by two more frames of its stream,
    // as the parser asks before it trusts a header.
    bool BeginsStream(std::uint64_t offset, const MpegFrameHeader& first);
    bool BytesAre(std::uint64_t offset, std::string_view text);
    bool HoldsXingHeader(std::uint64_t offset, const MpegFrameHeader& header);
    bool OnlyTagFollows(std::uint64_t offset);

    ByteWindow& m_bytes;
    MpegFrameHeader m_header;
    std::uint64_t m_offset = 0;
    std::uint64_t m_number = 0;
    bool m_endedWithFile = false;
};
