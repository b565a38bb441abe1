// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PlayedSound.h"
#include "support/PrivatePulseSession.h"

#include <benchmark/benchmark.h>

// Whether the private sound server runs and its monitor records; when not,
// the benchmark is ended with the reason.
inline bool ServerIsListening(benchmark::State& state, const PrivatePulseSession& server, ServerRecording& monitor)
{
    if (!server.Ready()) {
        state.SkipWithError(server.Problem().c_str());
        return false;
    }
    if (!monitor.WaitUntilListening()) {
        state.SkipWithError("the server's monitor records nothing");
        return false;
    }
    return true;
}
