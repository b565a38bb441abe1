// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/MpegFrameScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Walking the frames of made MPEG audio streams as the framework's parser
// counts them: where the sound starts, which frames count, where the walk
// must stop.

namespace {

// MPEG-1 layer III, 44.1 kHz, 128 kbit/s, stereo: 417 bytes, 418 padded.
constexpr unsigned char kCd128[] = {0xff, 0xfb, 0x90, 0x00};
constexpr unsigned char kCd128Padded[] = {0xff, 0xfb, 0x92, 0x00};
// MPEG-2 layer III, 22.05 kHz, 8 kbit/s, mono: 26 bytes.
constexpr unsigned char kLow8Mono[] = {0xff, 0xf3, 0x10, 0xc0};
// The same at 24 kHz: another stream.
constexpr unsigned char kLow8Mono24k[] = {0xff, 0xf3, 0x14, 0xc0};
// Free format (no bit rate in the header).
constexpr unsigned char kFreeFormat[] = {0xff, 0xfb, 0x00, 0x00};

std::string Frame(const unsigned char (&header)[4], std::size_t length)
{
    std::string frame(reinterpret_cast<const char*>(header), 4);
    frame.resize(length, '\x55');
    return frame;
}

std::string Frames(const unsigned char (&header)[4], std::size_t length, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += Frame(header, length);
    return bytes;
}

// A stereo MPEG-1 frame whose side information is followed by a Xing (or
// Info) header, with the frame count flag or without.
std::string XingFrame(const char* id, bool withFrameCount)
{
    std::string frame = Frame(kCd128, 417);
    frame.replace(4 + 32, 4, id);
    frame.replace(4 + 32 + 4, 4, std::string("\0\0\0", 3) + char(withFrameCount ? 1 : 0));
    return frame;
}

std::string Id3v2Tag(std::size_t bodySize)
{
    std::string tag = "ID3";
    tag += '\x04';
    tag += '\x00';
    tag += '\x00';
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += char((bodySize >> shift) & 0x7f);
    return tag + std::string(bodySize, '\0');
}

class MemoryWindow : public ByteWindow {
public:
    explicit MemoryWindow(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::span<const std::uint8_t> Peek(std::uint64_t offset, std::size_t length) override
    {
        if (offset >= m_bytes.size())
            return {};
        length = std::min<std::size_t>(length, m_bytes.size() - offset);
        return {reinterpret_cast<const std::uint8_t*>(m_bytes.data()) + offset, length};
    }

private:
    std::string m_bytes;
};

struct Walk {
    std::optional<MpegStreamLayout> layout;
    std::vector<std::uint64_t> offsets;
    bool endedWithFile = false;
};

// The offsets of the frames counted, frame 0 first.
Walk WalkFrames(std::string bytes)
{
    MemoryWindow window(std::move(bytes));
    MpegFrameScanner scanner(window);
    Walk walk;
    walk.layout = scanner.FindStart();
    if (!walk.layout)
        return walk;
    do {
        EXPECT_EQ(scanner.Number(), walk.offsets.size());
        walk.offsets.push_back(scanner.Offset());
    } while (scanner.Next());
    walk.endedWithFile = scanner.EndedWithFile();
    return walk;
}

} // namespace

TEST(MpegFrameScannerTest, CountsEveryFrameOfAStreamWithItsLengthAndTiming)
{
    Walk cd = WalkFrames(Frames(kCd128, 417, 2) + Frame(kCd128Padded, 418) + Frames(kCd128, 417, 2));
    ASSERT_TRUE(cd.layout);
    EXPECT_EQ(cd.layout->firstFrame, 0u);
    EXPECT_EQ(cd.layout->sampleRate, 44100);
    EXPECT_EQ(cd.layout->samplesPerFrame, 1152);
    EXPECT_FALSE(cd.layout->hasLengthTable);
    EXPECT_EQ(cd.offsets, (std::vector<std::uint64_t>{0, 417, 834, 1252, 1669}));
    EXPECT_TRUE(cd.endedWithFile);

    Walk low = WalkFrames(Frames(kLow8Mono, 26, 4));
    ASSERT_TRUE(low.layout);
    EXPECT_EQ(low.layout->sampleRate, 22050);
    EXPECT_EQ(low.layout->samplesPerFrame, 576);
    EXPECT_EQ(low.offsets, (std::vector<std::uint64_t>{0, 26, 52, 78}));
}

TEST(MpegFrameScannerTest, TheStreamStartsAfterAnId3TagAndAnythingBeforeItsFirstFrames)
{
    const std::string tag = Id3v2Tag(300);
    Walk tagged = WalkFrames(tag + std::string(50, '\0') + Frames(kCd128, 417, 3));
    ASSERT_TRUE(tagged.layout);
    EXPECT_EQ(tagged.layout->tagSize, tag.size());
    EXPECT_EQ(tagged.layout->streamStart, tag.size() + 50);
    EXPECT_EQ(tagged.layout->firstFrame, tag.size() + 50);
    EXPECT_EQ(tagged.offsets.size(), 3u);

    // A lone header in the junk is no stream: two more frames must follow.
    Walk falseSync = WalkFrames(Frame(kCd128, 20) + Frames(kCd128, 417, 3));
    ASSERT_TRUE(falseSync.layout);
    EXPECT_EQ(falseSync.layout->firstFrame, 20u);
}

TEST(MpegFrameScannerTest, XingAndInfoFramesHoldNoSoundAndAreNotCounted)
{
    Walk vbr = WalkFrames(XingFrame("Xing", true) + Frames(kCd128, 417, 3));
    ASSERT_TRUE(vbr.layout);
    EXPECT_TRUE(vbr.layout->hasLengthTable);
    EXPECT_EQ(vbr.layout->streamStart, 0u);
    EXPECT_EQ(vbr.layout->firstFrame, 417u);
    EXPECT_EQ(vbr.offsets, (std::vector<std::uint64_t>{417, 834, 1251}));

    // Without a frame count there is no length in it.
    Walk info = WalkFrames(XingFrame("Info", false) + Frames(kCd128, 417, 3));
    ASSERT_TRUE(info.layout);
    EXPECT_FALSE(info.layout->hasLengthTable);

    // Two files put together: the second one's header frame is skipped too.
    Walk joined = WalkFrames(Frames(kCd128, 417, 2) + XingFrame("Info", true) + Frames(kCd128, 417, 2));
    EXPECT_EQ(joined.offsets, (std::vector<std::uint64_t>{0, 417, 1251, 1668}));
    EXPECT_TRUE(joined.endedWithFile);
}

TEST(MpegFrameScannerTest, TheWalkEndsWhereTheStreamStopsBeingOne)
{
    Walk damaged = WalkFrames(Frames(kLow8Mono, 26, 5) + "garbage" + Frames(kLow8Mono, 26, 5));
    EXPECT_EQ(damaged.offsets.size(), 5u);
    EXPECT_FALSE(damaged.endedWithFile);

    Walk otherRate = WalkFrames(Frames(kLow8Mono, 26, 4) + Frames(kLow8Mono24k, 24, 4));
    EXPECT_EQ(otherRate.offsets.size(), 4u);
    EXPECT_FALSE(otherRate.endedWithFile);

    // A frame cut off by the end of the file is no frame.
    Walk cut = WalkFrames(Frames(kCd128, 417, 3) + Frame(kCd128, 417).substr(0, 200));
    EXPECT_EQ(cut.offsets.size(), 3u);
    EXPECT_FALSE(cut.endedWithFile);

    // A tag after the last frame is the end of the file as far as frames go.
    std::string id3v1 = "TAG" + std::string(125, ' ');
    Walk tagged = WalkFrames(Frames(kCd128, 417, 3) + id3v1);
    EXPECT_EQ(tagged.offsets.size(), 3u);
    EXPECT_TRUE(tagged.endedWithFile);
}

TEST(MpegFrameScannerTest, FilesThatAreNoMpegAudioStreamHaveNoStart)
{
    std::string wav = "RIFF\x24\x08\x00\x00WAVEfmt " + std::string(5000, '\x01');
    EXPECT_FALSE(WalkFrames(wav).layout);
    EXPECT_FALSE(WalkFrames("").layout);
    // The length of a free-format frame is not in its header.
    EXPECT_FALSE(WalkFrames(Frames(kFreeFormat, 400, 5)).layout);
    // Too few frames to tell a stream.
    EXPECT_FALSE(WalkFrames(Frames(kCd128, 417, 2)).layout);
}
