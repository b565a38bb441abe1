// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

// The status that views read: what the operations left, and the end of the
// media reached by itself.

TEST_F(PlayerTest, StatusFollowsTheOperationsAndTheEndOfTheMedia)
{
    EXPECT_EQ(player->PlayState(), PlaybackState::Stopped);
    EXPECT_FALSE(player->Status().length) << "nothing is loaded";

    player->SetMediaFileName(PlayerMedia::Wav());
    PlaybackStatus loaded = player->Status();
    EXPECT_EQ(player->PlayState(), PlaybackState::Paused);
    ASSERT_TRUE(loaded.length);
    EXPECT_NEAR(*loaded.length, PlayerMedia::kSoundSeconds, 0.01);

    player->SetCurrentPosition(2.0);
    EXPECT_NEAR(player->Status().position, 2.0, 0.001);
    player->Play();
    EXPECT_EQ(player->PlayState(), PlaybackState::Playing);
    Run(300);
    EXPECT_GT(player->Status().position, 2.1);
    player->Pause();
    EXPECT_EQ(player->PlayState(), PlaybackState::Paused);
    player->Stop();
    EXPECT_EQ(player->PlayState(), PlaybackState::Stopped);

    // Held at a segment end, playback still counts as playing, at the end.
    player->SetSegmentEnd(3.0);
    player->SetCurrentPosition(2.8);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->Status().position == 3.0; }));
    EXPECT_EQ(player->PlayState(), PlaybackState::Playing);

    // Played to the end of the media, it stops by itself.
    player->SetSegmentEnd(std::nullopt);
    player->SetCurrentPosition(PlayerMedia::kSoundSeconds - 0.3);
    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->PlayState() == PlaybackState::Stopped; }));

    player->SetMediaFileName(PlayerMedia::Missing());
    EXPECT_EQ(player->PlayState(), PlaybackState::Stopped);
    EXPECT_FALSE(player->Status().length);
}
