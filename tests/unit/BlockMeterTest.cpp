// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/BlockMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

// The blocks of 10 ms that sound is measured in: mixed to mono, on time at
// any rate, silent where the sound left a gap.

namespace {

constexpr std::int16_t kHalf = 16384; // a level of 0.5

// Feeds `frames` frames of `channels` channels, each channel at its level,
// in chunks of `chunk` frames that carry no timestamp.
void Feed(BlockMeter& meter, std::vector<LevelBlock>& out, int rate, std::vector<float> levels, int frames,
          int chunk = 1000)
{
    const int channels = int(levels.size());
    for (int done = 0; done < frames; done += chunk) {
        const int count = std::min(chunk, frames - done);
        std::vector<float> samples;
        for (int i = 0; i < count; ++i)
            samples.insert(samples.end(), levels.begin(), levels.end());
        meter.Add({rate, channels, -1, std::span<const float>(samples)}, out);
    }
}

TEST(BlockMeter, MixesTheChannelsToMono)
{
    BlockMeter meter;
    std::vector<LevelBlock> blocks;
    Feed(meter, blocks, 44100, {0.75f, 0.25f}, 22050);  // mono 0.5
    Feed(meter, blocks, 44100, {0.5f, -0.5f}, 22050); // cancels out
    meter.Finish(blocks);
    ASSERT_EQ(blocks.size(), 100u);
    EXPECT_EQ(blocks[0], (LevelBlock{kHalf, kHalf, kHalf}));
    EXPECT_EQ(blocks[49], (LevelBlock{kHalf, kHalf, kHalf}));
    EXPECT_EQ(blocks[50], (LevelBlock{0, 0, 0}));
    EXPECT_EQ(blocks[99], (LevelBlock{0, 0, 0}));
}

TEST(BlockMeter, SixteenBitSamplesMeasureAsTheirFloatValues)
{
    const std::vector<std::int16_t> integers = {16384, -8192, 32767, -32768, 0, 12345};
    std::vector<float> floats;
    for (std::int16_t value : integers)
        floats.push_back(float(value) / 32768);
    std::vector<std::int16_t> stereoIntegers;
    std::vector<float> stereoFloats;
    for (int i = 0; i < 44100; ++i) {
        stereoIntegers.push_back(integers[std::size_t(i) % integers.size()]);
        stereoIntegers.push_back(integers[std::size_t(i + 1) % integers.size()]);
        stereoFloats.push_back(floats[std::size_t(i) % floats.size()]);
        stereoFloats.push_back(floats[std::size_t(i + 1) % floats.size()]);
    }
    BlockMeter fromIntegers;
    BlockMeter fromFloats;
    std::vector<LevelBlock> integerBlocks;
    std::vector<LevelBlock> floatBlocks;
    fromIntegers.Add({44100, 2, 0, std::span<const std::int16_t>(stereoIntegers)}, integerBlocks);
    fromFloats.Add({44100, 2, 0, std::span<const float>(stereoFloats)}, floatBlocks);
    ASSERT_EQ(integerBlocks.size(), 100u);
    EXPECT_EQ(integerBlocks, floatBlocks);
    // The loudest pair of channels is 12345 and 16384, the lowest -32768 and 0.
    EXPECT_EQ(integerBlocks[0].maximum, LevelOf((12345.0f + 16384) / 2 / 32768));
    EXPECT_EQ(integerBlocks[0].minimum, -16384);
}

TEST(BlockMeter, MeasuresTheLowestTheHighestAndThePowerOfEachBlock)
{
    // 500 Hz fits five periods into each block of 441 samples.
    std::vector<float> sine(44100);
    for (std::size_t i = 0; i < sine.size(); ++i)
        sine[i] = float(0.8 * std::sin(2 * std::numbers::pi * 500 * double(i) / 44100));
    BlockMeter meter;
    std::vector<LevelBlock> blocks;
    meter.Add({44100, 1, 0, std::span<const float>(sine)}, blocks);
    ASSERT_EQ(blocks.size(), 100u);
    for (const LevelBlock& block : {blocks.front(), blocks[57], blocks.back()}) {
        EXPECT_NEAR(block.maximum, 0.8 * kFullScale, 0.002 * kFullScale);
        EXPECT_NEAR(block.minimum, -0.8 * kFullScale, 0.002 * kFullScale);
        EXPECT_NEAR(block.rms, 0.8 / std::sqrt(2.0) * kFullScale, 0.002 * kFullScale);
    }
}

// 22050 and 11025 Hz make blocks of 220.5 and 110.25 frames; chunks of odd
// sizes end inside blocks.
TEST(BlockMeter, BlocksStayOnTimeAtRatesWithoutWholeBlocks)
{
    for (int rate : {22050, 11025, 8000}) {
        for (int chunk : {1, 97, 1152, 5000}) {
            BlockMeter meter;
            std::vector<LevelBlock> blocks;
            Feed(meter, blocks, rate, {0.0f}, rate * 2, chunk);
            Feed(meter, blocks, rate, {0.5f}, rate, chunk);
            meter.Finish(blocks);
            ASSERT_EQ(blocks.size(), 300u) << rate << " " << chunk;
            EXPECT_EQ(blocks[199].maximum, 0) << rate << " " << chunk;
            EXPECT_EQ(blocks[200].minimum, kHalf) << rate << " " << chunk;
        }
    }
}

TEST(BlockMeter, SoundThatStartsLateOrResumesAfterAGapLeavesSilenceInBetween)
{
    BlockMeter meter;
    std::vector<LevelBlock> blocks;
    const std::vector<float> samples(4410, 0.5f);
    const std::span<const float> tenthOfASecond(samples);
    meter.Add({44100, 1, 200'000'000, tenthOfASecond}, blocks);  // at 0.2 s
    meter.Add({44100, 1, 300'000'000, tenthOfASecond}, blocks);  // right after it
    meter.Add({44100, 1, 400'022'676, tenthOfASecond}, blocks);  // a sample late: no gap
    meter.Add({44100, 1, 1'000'000'000, tenthOfASecond}, blocks); // a gap of 0.5 s
    meter.Finish(blocks);
    ASSERT_EQ(blocks.size(), 110u);
    for (std::size_t i : {0u, 19u, 50u, 99u})
        EXPECT_EQ(blocks[i], (LevelBlock{})) << i;
    for (std::size_t i : {20u, 49u, 100u, 109u})
        EXPECT_EQ(blocks[i].maximum, kHalf) << i;
}

TEST(BlockMeter, ARateThatChangesKeepsTheTime)
{
    BlockMeter meter;
    std::vector<LevelBlock> blocks;
    Feed(meter, blocks, 44100, {0.5f}, 22050);
    Feed(meter, blocks, 22050, {0.25f}, 11025);
    meter.Finish(blocks);
    ASSERT_EQ(blocks.size(), 100u);
    EXPECT_EQ(blocks[49].maximum, kHalf);
    EXPECT_EQ(blocks[50].maximum, kHalf / 2);
}

TEST(BlockMeter, TheLastBlockCountsWhatItHeard)
{
    BlockMeter meter;
    std::vector<LevelBlock> blocks;
    meter.Finish(blocks);
    EXPECT_TRUE(blocks.empty());
    Feed(meter, blocks, 44100, {-0.5f}, 441 + 100);
    EXPECT_EQ(blocks.size(), 1u);
    meter.Finish(blocks);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], (LevelBlock{-kHalf, -kHalf, kHalf}));
}

TEST(LevelBlock, CombinedBlocksKeepTheExtremesAndTheMeanPower)
{
    const LevelBlock loud{-20000, 30000, 20000};
    const LevelBlock quiet{-100, 200, 0};
    EXPECT_EQ(CombineBlocks(std::vector{loud, quiet}), (LevelBlock{-20000, 30000, 14142}));
    EXPECT_EQ(CombineBlocks({}), LevelBlock{});

    std::vector<LevelBlock> blocks(2 * kSummaryBlocks + 3, quiet);
    blocks[kSummaryBlocks + 1] = loud;
    std::vector<LevelBlock> summary = Summarise(blocks, false);
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[0], (LevelBlock{-100, 200, 0}));
    EXPECT_EQ(summary[1].maximum, 30000);
    ASSERT_EQ(Summarise(blocks, true).size(), 3u);
    EXPECT_EQ(Summarise(blocks, true)[2], quiet);
}

} // namespace
