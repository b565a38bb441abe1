// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

using SteppedTone::Stretch;

// Open and play, repeat a segment and play on, heard at the sound server.

namespace {

// A whole second of the file takes 1 s; steps of 20 ms where tones change
// are not read.
constexpr double kSecondSlack = 0.08;

} // namespace

TEST_F(FullStackTest, OpenPlaysTheFileFromItsStart)
{
    StartWindow();
    std::size_t mark = Mark();
    Open();
    QTest::qWait(2600);

    EXPECT_EQ(window.Text(ControlId::MediaPath), media);
    EXPECT_EQ(window.Text(ControlId::StartTime), "0");
    EXPECT_EQ(window.Text(ControlId::EndTime), "0");
    std::vector<Stretch> heard = HeardSince(mark);
    ASSERT_GE(heard.size(), 2u) << "the server played too little of the file";
    // The first tone heard is the file's first second, whole: playback began
    // at 0, not later.
    EXPECT_EQ(heard[0].second, 0);
    EXPECT_NEAR(heard[0].length, 1.0, kSecondSlack);
    EXPECT_LT(heard[0].start, 1.0) << "the sound came late after Open";
    EXPECT_EQ(heard[1].second, 1);
    EXPECT_NEAR(heard[1].start - heard[0].start, 1.0, kSecondSlack);
}

TEST_F(FullStackTest, RepeatPlaysTheSegmentStopsAtItsEndAndPlayGoesOnFromThere)
{
    StartWindow();
    Open();
    QTest::qWait(300);
    SetSegment(2.0, 3.0);

    std::size_t mark = Mark();
    ASSERT_TRUE(RepeatToTheEnd()) << "Repeat did not stop";
    // The segment-end check stops at the first tick at or after the end.
    double stoppedAt = Position();
    EXPECT_GE(stoppedAt, 3.0);
    EXPECT_LE(stoppedAt, 3.0 + 0.1 + 0.05) << "stopped more than one tick (100 ms, plus scheduling) after the end";
    QTest::qWait(700);
    EXPECT_DOUBLE_EQ(Position(), stoppedAt) << "the player moved on after the stop";

    std::vector<Stretch> heard = HeardSince(mark);
    ASSERT_FALSE(heard.empty()) << "Repeat played nothing";
    EXPECT_EQ(heard[0].second, 2);
    EXPECT_NEAR(heard[0].length, 1.0, kSecondSlack);
    // At most a tick's worth of the next second, then silence.
    for (std::size_t i = 1; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].second, 3) << "heard second " << heard[i].second << " after the segment";
        EXPECT_LE(heard[i].End() - heard[0].End(), 0.25) << "the sound went on past the segment's end";
    }

    mark = Mark();
    window.Click(ControlId::Play);
    QTest::qWait(1700);
    EXPECT_EQ(window.Text(ControlId::StartTime), "3");
    heard = HeardSince(mark);
    ASSERT_GE(heard.size(), 2u) << "Play after Repeat played too little";
    EXPECT_EQ(heard[0].second, 3);
    EXPECT_NEAR(heard[0].length, 1.0, kSecondSlack) << "Play did not go on from the segment's end";
    EXPECT_EQ(heard[1].second, 4);
}
