// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/DeferredMediaPlayer.h"
#include "fakes/FakePlayer.h"
#include "support/TestSurface.h"

#include <gtest/gtest.h>

// The player the window starts with: made by its first operation, not by the
// views that ask it where it is while the window comes on screen.

namespace {

using Strings = std::vector<std::string>;

// Counts the players it makes and keeps the last; can be told to fail.
struct PlayerMaker {
    int made = 0;
    FakePlayer* last = nullptr;
    bool fail = false;

    std::function<std::unique_ptr<IMediaPlayer>()> Make()
    {
        return [this]() -> std::unique_ptr<IMediaPlayer> {
            if (fail)
                throw PlayerFault(PlayerFaultCode::CannotCreate, PlayerOperation::Create,
                                  "The media framework (GStreamer) could not be initialised: no plugins");
            auto player = std::make_unique<FakePlayer>();
            last = player.get();
            ++made;
            return player;
        };
    }
};

} // namespace

TEST(DeferredMediaPlayer, AnswersAsAnEmptyPlayerUntilItsFirstOperationMakesTheRealOne)
{
    PlayerMaker maker;
    DeferredMediaPlayer player(maker.Make());
    TestSurface surface;
    player.setSurface(&surface);

    EXPECT_EQ(player.PlayState(), PlaybackState::Stopped);
    EXPECT_EQ(player.GetCurrentPosition(), 0);
    EXPECT_FALSE(player.Status().length);
    player.Stop();  // nothing loaded: nothing to stop
    EXPECT_EQ(maker.made, 0);

    player.SetMediaFileName("/media/lesson.mp3");
    ASSERT_EQ(maker.made, 1);
    EXPECT_EQ(maker.last->surface, &surface);
    maker.last->length = 12.5;
    player.SetCurrentPosition(3);
    player.Play();
    player.Stop();
    EXPECT_EQ(maker.made, 1);
    EXPECT_EQ(maker.last->Commands(), (Strings{"SetMediaFileName(/media/lesson.mp3)", "SetCurrentPosition(3.000000)",
                                               "Play", "Stop"}));
    EXPECT_EQ(player.Status().length, 12.5);
    EXPECT_EQ(player.GetCurrentPosition(), 3);
}

TEST(DeferredMediaPlayer, EachKindOfOperationMakesThePlayerAndReachesIt)
{
    const std::vector<std::pair<std::function<void(IMediaPlayer&)>, std::string>> operations = {
        {[](IMediaPlayer& p) { p.SetSpeed(0.5); }, "SetSpeed(0.500000)"},
        {[](IMediaPlayer& p) { p.SetSegmentEnd(4.0); }, "SetSegmentEnd(4.000000)"},
        {[](IMediaPlayer& p) { p.Play(); }, "Play"},
        {[](IMediaPlayer& p) { p.Pause(); }, "Pause"},
        {[](IMediaPlayer& p) { p.SetCurrentPosition(1); }, "SetCurrentPosition(1.000000)"},
    };
    for (const auto& [operation, call] : operations) {
        PlayerMaker maker;
        DeferredMediaPlayer player(maker.Make());
        operation(player);
        ASSERT_EQ(maker.made, 1) << call;
        EXPECT_EQ(maker.last->calls, Strings{call});
    }
}

TEST(DeferredMediaPlayer, APlayerThatCannotBeMadeSaysWhyAtEachOperationUntilItCanBe)
{
    PlayerMaker maker;
    maker.fail = true;
    DeferredMediaPlayer player(maker.Make());
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            player.SetMediaFileName("/media/lesson.mp3");
            ADD_FAILURE() << "the load went on without a player";
        } catch (const PlayerFault& fault) {
            EXPECT_NE(std::string(fault.what()).find("could not be initialised: no plugins"), std::string::npos)
                << fault.what();
        }
    }
    EXPECT_EQ(player.PlayState(), PlaybackState::Stopped);

    maker.fail = false;
    player.SetMediaFileName("/media/lesson.mp3");
    ASSERT_EQ(maker.made, 1);
    EXPECT_EQ(maker.last->Commands(), Strings{"SetMediaFileName(/media/lesson.mp3)"});
}
