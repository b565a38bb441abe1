// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Spread.h"
#include "support/PlayedSound.h"

#include <benchmark/benchmark.h>
#include <optional>
#include <string>
#include <vector>

// What a listener heard of a series of plays, each found in the file by its
// content: how long after the command the sound came, how far its first
// sample was from where it was to start, the plays with dropouts, and those
// not found at all.
class HeardPlays {
public:
    explicit HeardPlays(int rate) : m_rate(rate) {}

    // Locates what was `recorded` since a command in `reference`: its first
    // sample expected at `first`, its last at `last`. Nothing when it was not
    // found.
    std::optional<HeardSpan> Add(const std::vector<float>& reference, const std::vector<float>& recorded, long first,
                                 long last)
    {
        std::optional<HeardSpan> heard = LocateHeard(reference, recorded, first, last, m_rate / 5);
        if (!heard) {
            ++m_unmatched;
            return heard;
        }
        m_toSound.push_back(Ms(long(heard->silenceBefore)));
        m_startError.push_back(Ms(heard->first - first));
        m_dropouts += heard->gaps > 0;
        return heard;
    }

    double Ms(long samples) const { return double(samples) * 1000.0 / m_rate; }

    // The figures as counters named for `what` ("repeat": repeat_to_sound_*,
    // repeats_measured, repeats_with_dropouts).
    void Report(benchmark::State& state, const std::string& what) const
    {
        const Spread toSound = SpreadOf(m_toSound);
        const Spread error = SpreadOf(m_startError);
        state.counters[what + "_to_sound_min_ms"] = toSound.min;
        state.counters[what + "_to_sound_median_ms"] = toSound.median;
        state.counters[what + "_to_sound_max_ms"] = toSound.max;
        state.counters["first_sample_error_min_ms"] = error.min;
        state.counters["first_sample_error_max_ms"] = error.max;
        state.counters[what + "s_measured"] = double(m_toSound.size());
        state.counters[what + "s_with_dropouts"] = m_dropouts;
        state.counters["unmatched"] = m_unmatched;
    }

private:
    int m_rate;
    std::vector<double> m_toSound, m_startError;
    int m_unmatched = 0;
    int m_dropouts = 0;
};
