// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/TestSurface.h"
#include "components/player/GstMediaPlayer.h"
#include "components/player/PlayerFault.h"
#include "support/SoundDecoder.h"

#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

// The real player, showing on a test surface, its sound going to a capture
// instead of a sound card.
class PlayerTest : public testing::Test {
protected:
    PlayerTest() : player(MakePlayer(GstPlayerSettings{sound.Sink()})) {}

    // A real player built with `settings`, showing on `surface`.
    std::unique_ptr<IMediaPlayer> MakePlayer(GstPlayerSettings settings)
    {
        auto made = std::make_unique<GstMediaPlayer>(std::move(settings));
        made->setSurface(&surface);
        return made;
    }

    // Runs the event loop (queued frames, bus messages) until `done` holds or
    // `timeoutMs` has passed; returns whether it holds.
    template <typename Predicate>
    bool WaitFor(Predicate done, int timeoutMs = 3000)
    {
        return QTest::qWaitFor(done, timeoutMs);
    }
    // Lets playback run for `ms` with the event loop turning.
    void Run(int ms) { QTest::qWait(ms); }
    // Lets playback run until the position stops moving (the end of the
    // stream) or `timeoutMs` has passed; returns the position.
    double RunToRest(int timeoutMs = 4000)
    {
        double last = -1;
        double now = player->GetCurrentPosition();
        for (int waited = 0; now != last && waited < timeoutMs; waited += 100) {
            Run(100);
            last = now;
            now = player->GetCurrentPosition();
        }
        return now;
    }

    SoundCapture sound;
    TestSurface surface;
    std::unique_ptr<IMediaPlayer> player;
};

// Expects `call` to throw a PlayerFault with `faultCode`, raised by
// `operation`, whose message satisfies `matcher`.
#define EXPECT_PLAYER_FAULT(call, faultCode, operation, matcher)                                            \
    do {                                                                                                   \
        try {                                                                                              \
            call;                                                                                          \
            ADD_FAILURE() << #call " did not fault";                                                       \
        } catch (const PlayerFault& fault) {                                                               \
            EXPECT_EQ(fault.code(), static_cast<std::uint32_t>(faultCode)) << fault.what();                \
            EXPECT_EQ(fault.address(), static_cast<std::uintptr_t>(operation)) << fault.what();            \
            EXPECT_THAT(std::string(fault.what()), matcher);                                               \
        }                                                                                                  \
    } while (false)
