// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileEnvelope.h"
#include "fakes/FakeSoundProfiler.h"

#include <gtest/gtest.h>

// The levels drawn per column: from the blocks when zoomed in, from the
// summary when zoomed out, the same either way, and only as far as the
// profile has reached.

namespace {

// Blocks whose levels rise with their number, with a loud block every 1000.
std::vector<LevelBlock> Blocks(std::size_t count)
{
    std::vector<LevelBlock> blocks(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto level = std::int16_t(i % 1000 == 999 ? 30000 : i % 1000);
        blocks[i] = {std::int16_t(-level), level, std::uint16_t(level / 2)};
    }
    return blocks;
}

class ProfileEnvelopeTest : public testing::Test {
protected:
    void SetUp() override
    {
        profiler.Analyse("lesson.mp3");
        profiler.Grow(blocks);
        profiler.Complete();
    }

    // What a column of blocks `first` up to `end` shows.
    LevelBlock Expected(std::size_t first, std::size_t end) const
    {
        return CombineBlocks(std::span(blocks).subspan(first, end - first));
    }

    FakeSoundProfiler profiler;
    std::vector<LevelBlock> blocks = Blocks(60 * kBlocksPerSecond);
};

TEST_F(ProfileEnvelopeTest, ZoomedInEachColumnSumsUpItsBlocks)
{
    // 20 s over 400 columns: 5 blocks each.
    std::vector<LevelBlock> columns = ProfileEnvelope(profiler.Profile(), 10, 30, 400);
    ASSERT_EQ(columns.size(), 400u);
    EXPECT_EQ(columns[0], Expected(1000, 1005));
    EXPECT_EQ(columns[199], Expected(1995, 2000)); // the loud block 1999
    EXPECT_EQ(columns[199].maximum, 30000);
    EXPECT_EQ(columns[399], Expected(2995, 3000));
}

TEST_F(ProfileEnvelopeTest, ZoomedInBelowABlockEachColumnShowsItsBlock)
{
    // 1 s over 500 columns.
    std::vector<LevelBlock> columns = ProfileEnvelope(profiler.Profile(), 19.5, 20.5, 500);
    ASSERT_EQ(columns.size(), 500u);
    EXPECT_EQ(columns[0], blocks[1950]);
    EXPECT_EQ(columns[249], blocks[1999]);
    EXPECT_EQ(columns[250], blocks[2000]);
    EXPECT_EQ(columns[499], blocks[2049]);
}

TEST_F(ProfileEnvelopeTest, ZoomedOutTheSummaryShowsWhatTheBlocksWould)
{
    // The whole minute over 46 columns: about two summary entries each.
    const int columnsWide = 46;
    std::vector<LevelBlock> columns = ProfileEnvelope(profiler.Profile(), 0, 60, columnsWide);
    ASSERT_EQ(columns.size(), std::size_t(columnsWide));
    for (int column : {0, 17, columnsWide - 1}) {
        // Columns begin and end on whole summary entries.
        const std::size_t first = std::size_t(column * 6000.0 / columnsWide / kSummaryBlocks) * kSummaryBlocks;
        // The last column ends with the last, shorter entry.
        const std::size_t end = column + 1 == columnsWide
                                    ? 6000
                                    : std::size_t((column + 1) * 6000.0 / columnsWide / kSummaryBlocks) * kSummaryBlocks;
        const LevelBlock expected = Expected(first, end);
        EXPECT_EQ(columns[column].minimum, expected.minimum) << column;
        EXPECT_EQ(columns[column].maximum, expected.maximum) << column;
        // The shorter last entry counts as much as a whole one in the power
        // of the last column; the others agree to rounding.
        EXPECT_NEAR(columns[column].rms, expected.rms, column + 1 == columnsWide ? expected.rms / 10 : 1) << column;
    }
}

TEST_F(ProfileEnvelopeTest, ColumnsPastTheProfileAreLeftOut)
{
    FakeSoundProfiler growing;
    growing.Analyse("lesson.mp3");
    growing.Grow(Blocks(1500));
    // 10 to 20 s over 100 columns: the profile ends at 15 s.
    EXPECT_EQ(ProfileEnvelope(growing.Profile(), 10, 20, 100).size(), 50u);
    // Zoomed out, only whole summary entries are there yet: 1472 blocks.
    EXPECT_EQ(ProfileEnvelope(growing.Profile(), 0, 60, 50).size(), 13u);
    EXPECT_TRUE(ProfileEnvelope(growing.Profile(), 20, 30, 100).empty());
    EXPECT_TRUE(ProfileEnvelope(SoundProfile(), 0, 30, 100).empty());
}

} // namespace
