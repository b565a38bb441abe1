// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/SpokenSentences.h"
#include "components/sentences/PauseFinder.h"
#include "components/speech/FeatureFrames.h"

#include <vector>

// Where each sentence of a synthetic reading is said in a recording of the
// same text. Both come as MFCCs; their means are taken out (so that voice and
// room count less) and they are warped onto each other coarse to fine within
// `radius` frames. What the recording says before the text's first sound and
// after its last (an introduction, closing words) is left unmatched. Each
// sentence begins where the warp leaves the frame before its first sound and
// ends where it reaches its last. `spans` are the sentences' samples in the
// synthetic sound, spoken at `spokenRate`.
std::vector<TimeSpan> AlignSpoken(FeatureFrames synthetic, const std::vector<SpokenSpan>& spans, int spokenRate,
                                  FeatureFrames heard, std::size_t radius = 16);
