// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A learner's take compared with the original sentence it repeats: the take
// warped onto the original's time axis, where its tempo strayed, what it
// left out or added, and a score for the melody and one for the timing.

struct TakeComparisonSettings {
    std::size_t radius = 16;          // of the banded time warping, in frames
    double tempoWindowSeconds = 0.2;  // the tempo ratio is measured over this
    // Take time over original time, over the take's own (median) ratio:
    // above this a stretch is slower, under the other faster.
    double slowerRatio = 1.25;
    double fasterRatio = 0.8;
    double shortestMarkSeconds = 0.15;
    double unmatchedFactor = 1.8;     // local distance over the path's median above this: not matched
};

// A stretch where the take and the original do not match: in the original's
// time (empty when the take added something, a cough) and in the take's
// (empty when the take left something out).
struct UnmatchedStretch {
    TimeSpan original;
    TimeSpan take;
};

struct SoundSource {
    std::span<const float> samples; // mono, -1..1
    int rate = 16000;
};

struct TakeComparison {
    // Set when the take cannot be compared (and then nothing else is).
    std::optional<std::string> reason;
    double hopSeconds = 0.01;
    // For each original frame the take frame said with it; none where the
    // original was not matched.
    std::vector<std::optional<std::uint32_t>> takeFrame;
    // Take time over original time around each original frame; none where
    // not matched.
    std::vector<std::optional<float>> tempo;
    // Stretches said slower or faster than the rest of the take, in the original's time.
    std::vector<TimeSpan> slower;
    std::vector<TimeSpan> faster;
    std::vector<UnmatchedStretch> unmatched;
    // 0..100; the melody score is none when too little was voiced in both.
    std::optional<double> melodyScore;
    double timingScore = 0;
    // The melodies to draw, in semitones around each speaker's median, one
    // per original frame: the original's, and the take's said with it (none
    // where unvoiced or not matched).
    std::vector<std::optional<float>> originalMelody;
    std::vector<std::optional<float>> takeMelody;
};

TakeComparison CompareTake(const SoundSource& original, const SoundSource& take,
                           const TakeComparisonSettings& settings = {});
