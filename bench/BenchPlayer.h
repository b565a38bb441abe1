// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/GstMediaPlayer.h"
#include "support/PlayerMedia.h"
#include "support/TestSurface.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

// The real player for a benchmark, its sound going to `audioSink` (the
// sound card's when none). Frames and texts go where the window's control
// would keep them; one surface outlives every player.
inline std::unique_ptr<IMediaPlayer> MakePlayer(GstElementHandle audioSink = {})
{
    static TestSurface surface;
    auto player = std::make_unique<GstMediaPlayer>(GstPlayerSettings{std::move(audioSink)});
    player->setSurface(&surface);
    return player;
}

// Loads `path` once per iteration (timed) into a player that holds nothing:
// loading the file that is loaded would only take it back to its start.
inline void MeasureLoads(benchmark::State& state, const std::string& path)
{
    auto player = MakePlayer();
    for (auto _ : state) {
        state.PauseTiming();
        player->SetMediaFileName(PlayerMedia::Missing());
        state.ResumeTiming();
        player->SetMediaFileName(path);
    }
}
