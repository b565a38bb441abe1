// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakePlayer.h"
#include "fakes/FakeWindowFrame.h"
#include "fakes/ScriptedPrompts.h"
#include "window/CMediaplayer1.h"
#include "window/DialogPrompts.h"
#include "window/media/CurrentMedia.h"
#include "window/segment/SegmentRepeat.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

// The segment and its repeat built with only what it uses: a player, the
// current media, the window's timers and bound controls, prompts and the
// Infinitely check box; no window.
class SegmentAloneTest : public ::testing::Test {
protected:
    SegmentAloneTest()
        : fake(new FakePlayer),
          player(std::unique_ptr<IMediaPlayer>(fake)),
          media(player, pathBox),
          prompts(scripted, owner, "ardeno-recorder"),
          segment(player, media, frame, frame, prompts, infinitely)
    {
        media.SetPath("/media/lesson.mp3");
        media.Reload();
    }

    FakePlayer* fake;
    CMediaplayer1 player;
    QLineEdit pathBox;
    QCheckBox infinitely;
    QWidget owner;
    ScriptedPrompts scripted;
    FakeWindowFrame frame;
    CurrentMedia media;
    DialogPrompts prompts;
    SegmentRepeat segment;
};

TEST_F(SegmentAloneTest, ARepeatRunsOnTheRepeatTimerAndEndsOnceAtTheSegmentsEnd)
{
    segment.SetSegment(2, 5);
    QSignalSpy played(&segment, &SegmentRepeat::segmentPlayed);
    segment.Repeat();
    EXPECT_TRUE(frame.IsTimerRunning(RepeatTimer));
    EXPECT_TRUE(segment.IsRepeating());
    EXPECT_EQ(fake->position, 2);
    EXPECT_EQ(fake->segmentEnd, 5.0);

    fake->position = 4.9;
    segment.CheckSegmentEnd();
    EXPECT_EQ(played.count(), 0);
    fake->position = 5;
    segment.CheckSegmentEnd();
    EXPECT_EQ(played.count(), 1);
    EXPECT_FALSE(frame.IsTimerRunning(RepeatTimer));
    EXPECT_FALSE(fake->segmentEnd.has_value());
    EXPECT_TRUE(fake->stopped);
}

TEST_F(SegmentAloneTest, InfinitelyLoopsARepeatButNotARepeatOnce)
{
    infinitely.setChecked(true);
    segment.SetSegment(1, 3);
    segment.Repeat();
    fake->position = 3.2;
    segment.CheckSegmentEnd();
    EXPECT_EQ(fake->position, 1);
    EXPECT_TRUE(frame.IsTimerRunning(RepeatTimer));

    QSignalSpy played(&segment, &SegmentRepeat::segmentPlayed);
    segment.RepeatOnce();
    fake->position = 3;
    segment.CheckSegmentEnd();
    EXPECT_EQ(played.count(), 1);
    EXPECT_FALSE(frame.IsTimerRunning(RepeatTimer));
}

TEST_F(SegmentAloneTest, PlayLoadsTheCurrentMediaAgainAndPlaysOnFromTheEnd)
{
    segment.SetSegment(2, 6.5);
    frame.StartTimer(PointTimer);
    fake->calls.clear();
    segment.Play();
    EXPECT_EQ(segment.Start(), 6.5);
    EXPECT_FALSE(frame.IsTimerRunning(PointTimer));
    ASSERT_GE(fake->Commands().size(), 3u);
    EXPECT_EQ(fake->Commands()[0], "SetMediaFileName(/media/lesson.mp3)");
    EXPECT_EQ(fake->Commands()[1], "SetCurrentPosition(6.500000)");
    EXPECT_EQ(fake->Commands()[2], "Play");
    EXPECT_GT(frame.exchangesTo, 0);
}

TEST_F(SegmentAloneTest, AFaultingRepeatStopsItsTimerSaysSoAndTurnsThePlaybackControlsOff)
{
    segment.SetSegment(0, 2);
    fake->failOn.insert(FakePlayer::kPlay);
    segment.Repeat();
    EXPECT_FALSE(frame.IsTimerRunning(RepeatTimer));
    EXPECT_EQ(scripted.BoxTexts(), std::vector<std::string>{"Error Media Types"});
    EXPECT_EQ(frame.playbackEnabled, std::vector<bool>{false});
}
