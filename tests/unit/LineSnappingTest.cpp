// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/LineSnapping.h"

#include <gtest/gtest.h>

namespace {

using Spans = std::vector<TimeSpan>;

// The silences of a 10 s lesson with speech at 1-3, 4-4.5 (a short word)
// and 6-9 s; the 80 ms closure at 8 s is no silence.
const Spans kSilences{{0, 1}, {3, 4}, {4.5, 6}, {9, 10}};

void ExpectSpans(const Spans& actual, const Spans& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t index = 0; index < actual.size(); ++index) {
        EXPECT_NEAR(actual[index].start, expected[index].start, 1e-9) << "line " << index;
        EXPECT_NEAR(actual[index].end, expected[index].end, 1e-9) << "line " << index;
    }
}

// LRC times 300 ms late, each line ending where the next starts: every line
// plays from the pause before its first sound to the pause after its last,
// the short word included, and two lines share the pause between them.
TEST(LineSnapping, LateLrcLinesPlayFromBeforeTheirFirstSoundToAfterTheirLast)
{
    const Spans lrc{{1.3, 4.3}, {4.3, 6.3}, {6.3, 10}};
    ExpectSpans(SnapLines(lrc, kSilences, 0.1), {{0.9, 3.1}, {3.9, 4.6}, {5.9, 9.1}});
}

// SRT cues end on their own: an end moves forward into the pause after it,
// a cue that starts early, in its pause, starts at that pause's end.
TEST(LineSnapping, CueEndsMoveForwardIntoThePauseAfterThem)
{
    const Spans srt{{0.5, 2.8}, {3.5, 4.4}, {6.2, 8.9}};
    ExpectSpans(SnapLines(srt, kSilences, 0.1), {{0.9, 3.1}, {3.9, 4.6}, {5.9, 9.1}});
}

// Two lines within one sound (no pause between them), or a pause out of
// reach: the edges stay as the file gives them, never in a neighbour's sound.
TEST(LineSnapping, AnEdgeWithoutAPauseOfItsOwnStaysWhereItIs)
{
    const Spans within{{6.2, 7.5}, {7.5, 8.9}};
    ExpectSpans(SnapLines(within, kSilences, 0.1), {{5.9, 7.5}, {7.5, 9.1}});

    const Spans far{{1.0, 2.0}};
    ExpectSpans(SnapLines(far, {{5, 6}}, 0.1), {{1.0, 2.0}});
    EXPECT_TRUE(SnapLines({}, kSilences, 0.1).empty());
}

// A line that starts in a silence is heard from that silence's end; one that
// starts in sound, from its start; a line all in silence, at its end.
TEST(LineSnapping, ALineIsHeardFromTheEndOfTheSilenceItStartsIn)
{
    const std::vector<double> onsets = SoundOnsets({{0.9, 3.1}, {3.5, 3.8}, {4.2, 4.6}, {6.5, 9.1}}, kSilences);
    ASSERT_EQ(onsets.size(), 4u);
    EXPECT_DOUBLE_EQ(onsets[0], 1);
    EXPECT_DOUBLE_EQ(onsets[1], 3.8);
    EXPECT_DOUBLE_EQ(onsets[2], 4.2);
    EXPECT_DOUBLE_EQ(onsets[3], 6.5);
}

} // namespace
