// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/PlaybackCursor.h"

#include <gtest/gtest.h>

// The waveform's cursor moves in real time from where playback was sent, and
// asks the player where it really is only when that is safe.

namespace {

using namespace std::chrono_literals;
using Clock = PlaybackCursor::Clock;

TEST(PlaybackCursor, MovesInRealTimeWhilePlayingAndStandsOtherwise)
{
    const Clock::time_point start{};
    PlaybackCursor cursor;
    cursor.Jump(10, start);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 2s), 10);
    cursor.SetPlaying(true, start + 2s);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 2500ms), 10.5);
    cursor.Jump(30, start + 3s); // a seek while playing plays on from there
    EXPECT_DOUBLE_EQ(cursor.Position(start + 4s), 31);
    cursor.SetPlaying(false, start + 4s);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 9s), 31);
}

TEST(PlaybackCursor, MovesAtThePlaybackSpeedInMediaSeconds)
{
    const Clock::time_point start{};
    PlaybackCursor cursor;
    cursor.SetSpeed(0.5, start);
    cursor.Jump(10, start);
    cursor.SetPlaying(true, start);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 2s), 11);
    // A change goes on from where the cursor is, at the new speed.
    cursor.SetSpeed(1.5, start + 2s);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 4s), 14);
    cursor.SetPlaying(false, start + 4s);
    cursor.SetSpeed(0.75, start + 5s);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 6s), 14) << "a halted cursor stands at any speed";
}

TEST(PlaybackCursor, AsksOnlyOncePlaybackHasBeenLeftAloneThenNowAndThen)
{
    const Clock::time_point start{};
    PlaybackCursor cursor;
    cursor.Jump(0, start);
    cursor.SetPlaying(true, start);
    EXPECT_FALSE(cursor.WantsAsking(start + 100ms));
    cursor.Jump(5, start + 200ms); // a seek: quiet again
    EXPECT_FALSE(cursor.WantsAsking(start + 400ms));
    ASSERT_TRUE(cursor.WantsAsking(start + 500ms));
    cursor.Found(5.25, start + 500ms);
    EXPECT_DOUBLE_EQ(cursor.Position(start + 1500ms), 6.25);
    EXPECT_FALSE(cursor.WantsAsking(start + 1400ms));
    EXPECT_TRUE(cursor.WantsAsking(start + 1500ms));
}

TEST(PlaybackCursor, AsksOnceWhereAHaltLeftPlayback)
{
    const Clock::time_point start{};
    PlaybackCursor cursor;
    cursor.SetPlaying(true, start);
    cursor.SetPlaying(false, start + 2s);
    EXPECT_TRUE(cursor.Active());
    EXPECT_FALSE(cursor.WantsAsking(start + 2100ms));
    ASSERT_TRUE(cursor.WantsAsking(start + 2300ms));
    cursor.Found(1.98, start + 2300ms);
    EXPECT_FALSE(cursor.Active());
    EXPECT_FALSE(cursor.WantsAsking(start + 9s));
    EXPECT_DOUBLE_EQ(cursor.Position(start + 9s), 1.98);

    // Sent somewhere while halted, it is there: nothing to ask.
    cursor.Jump(4, start + 10s);
    EXPECT_FALSE(cursor.Active());
    EXPECT_FALSE(cursor.WantsAsking(start + 11s));
}

} // namespace
