// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/SpokenSentences.h"
#include "components/align/WindowedAlignment.h"
#include "components/sentences/PauseFinder.h"
#include "components/speech/FeatureFrames.h"

#include <optional>
#include <string>
#include <vector>

// Where each sentence of a synthetic reading is said in a recording of the
// same text, both given whole as MFCCs: the
// windowed alignment (see WindowedAlignment.h) of the two at once. `spans`
// are the sentences' samples in the synthetic sound, spoken at `spokenRate`.
struct SpokenAlignment {
    std::vector<TimeSpan> spans;  // one per sentence
    // How much closer the matched frames are than unrelated ones: the mean
    // distance along the warp over the median between any two frames, from
    // 0 (the same sound) up; near 1 when the recording holds no speech like it.
    double distanceRatio = 1;
    // The first window's (see WarpFit), when it was warped.
    std::optional<WarpFit> firstFit;
};

// Above this ratio the recording is taken not to say the text at all: the
// text read by other voices and synthesisers under noise stays between 0.3
// and 0.75, music or a recording without speech comes near 1. Another text in
// the same language, at about 0.55, is not told apart this way.
constexpr double kMismatchedRatio = 0.85;
// A recording of another text in the same language is told by where the
// warp puts the reading's sentence boundaries: in a pause of a right text's
// recording every time (chapters by other synthesisers under noise at
// changing tempos, a human reader), in one of another text's for 20 to 75 %
// of them (90 % for a text of the same made sentences in another order, which
// only the order gain below tells). Judged from this many boundaries in
// the first window on.
constexpr double kMismatchedPausedBoundaries = 0.8;
constexpr std::size_t kBoundariesToJudge = 10;
// A recording of another text, however few its sentences, is also told by its
// order gain (see WarpFit): right texts by other synthesisers under 20 or
// 10 dB of noise and a human reader come at 1.15 or more, other texts and a
// text's own sentences in another order at 0.99 to 1.07 (1.11 for a Mandarin
// text so reordered, which its pauses tell). Set nearer the wrong texts, so
// that right ones keep the wider margin.
constexpr double kMismatchedOrderGain = 1.1;

// Why a recording whose first window fitted as `fit` seems not to say the
// text, with the figure that tells it; empty when it may say it.
std::string MismatchOf(const WarpFit& fit);

SpokenAlignment AlignSpoken(const FeatureFrames& synthetic, const std::vector<SpokenSpan>& spans, int spokenRate,
                            const FeatureFrames& heard, const WindowSettings& settings = {});
