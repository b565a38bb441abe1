// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/MpegFrameIndex.h"

#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// The frame index of a file, built on its own thread: entries that name
// frames by their place and number, spread over the file, and the count of
// the whole stream.

namespace {

// MPEG-2 layer III, 22.05 kHz, 8 kbit/s, mono: 26-byte frames of 576 samples.
constexpr std::size_t kFrameBytes = 26;

std::string LowRateFrames(std::size_t count)
{
    std::string frame("\xff\xf3\x10\xc0", 4);
    frame.resize(kFrameBytes, '\x55');
    std::string bytes;
    bytes.reserve(count * kFrameBytes);
    for (std::size_t i = 0; i < count; ++i)
        bytes += frame;
    return bytes;
}

const auto kNoWait = std::chrono::steady_clock::time_point{};

class MpegFrameIndexTest : public testing::Test {
protected:
    std::unique_ptr<MpegFrameIndex> IndexOf(const std::string& bytes)
    {
        const std::string path = dir.filePath("sound.mp3").toStdString();
        WriteFileBytes(path, bytes);
        auto index = std::make_unique<MpegFrameIndex>(*FileIdentity::Of(path));
        index->WaitUntilIndexed(1e9, std::chrono::steady_clock::now() + std::chrono::seconds(10));
        return index;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(MpegFrameIndexTest, EntriesNameFramesSpreadOverTheWholeFile)
{
    constexpr std::size_t kFrames = 200000; // 5.2 MB, 87 minutes
    std::unique_ptr<MpegFrameIndex> index = IndexOf(LowRateFrames(kFrames));
    ASSERT_TRUE(index->Ended());
    ASSERT_TRUE(index->Layout());
    EXPECT_EQ(index->FrameCount(), kFrames);

    std::vector<MpegFrameIndex::Entry> entries = index->EntriesFrom(0);
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries.front().offset, 0u);
    EXPECT_EQ(entries.front().frame, 0u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].offset, entries[i].frame * kFrameBytes) << i;
        if (i > 0) {
            // No closer than 64 KiB, and no gap larger than one frame more.
            const std::uint64_t gap = entries[i].offset - entries[i - 1].offset;
            EXPECT_GE(gap, 64u * 1024) << i;
            EXPECT_LT(gap, 64u * 1024 + kFrameBytes) << i;
        }
    }
    EXPECT_GE(entries.back().offset, kFrames * kFrameBytes - 64 * 1024 - kFrameBytes);
    EXPECT_EQ(index->EntriesFrom(entries.size() - 1).size(), 1u);
    EXPECT_TRUE(index->EntriesFrom(entries.size()).empty());
}

TEST_F(MpegFrameIndexTest, AStreamThatEndsInDamageHasNoCountButKeepsItsEntries)
{
    std::unique_ptr<MpegFrameIndex> index = IndexOf(LowRateFrames(10000) + "damage" + LowRateFrames(10000));
    ASSERT_TRUE(index->Ended());
    EXPECT_FALSE(index->FrameCount());
    std::vector<MpegFrameIndex::Entry> entries = index->EntriesFrom(0);
    ASSERT_FALSE(entries.empty());
    EXPECT_LT(entries.back().frame, 10000u);
}

TEST_F(MpegFrameIndexTest, AFileThatIsNoMpegAudioEndsAtOnceWithoutEntries)
{
    std::unique_ptr<MpegFrameIndex> index = IndexOf("RIFF" + std::string(100000, '\x01'));
    EXPECT_TRUE(index->Ended());
    EXPECT_FALSE(index->Layout());
    EXPECT_EQ(index->EntryCount(), 0u);
    EXPECT_FALSE(index->FrameCount());
}

TEST_F(MpegFrameIndexTest, AWaitEndsOnceTheFramesUpToItsTimeAreIndexed)
{
    const std::string path = dir.filePath("long.mp3").toStdString();
    WriteFileBytes(path, LowRateFrames(400000));
    MpegFrameIndex index(*FileIdentity::Of(path));
    // A deadline already passed does not wait.
    index.WaitUntilIndexed(1e9, kNoWait);
    // Ten minutes in: 10 * 60 * 22050 / 576 frames.
    index.WaitUntilIndexed(600, std::chrono::steady_clock::now() + std::chrono::seconds(10));
    std::vector<MpegFrameIndex::Entry> entries = index.EntriesFrom(0);
    ASSERT_FALSE(entries.empty());
    EXPECT_GE(double(entries.back().frame) + 64 * 1024 / kFrameBytes, 600.0 * 22050 / 576);
}
