// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <optional>
#include <vector>

// Stepping through sentences (in media order) and snapping marks to them.

// The first sentence that starts at or after `time` (the one after a
// segment that ends there; the first one for a segment 0..0).
std::optional<TimeSpan> SentenceAfter(const std::vector<TimeSpan>& sentences, double time);
// The last sentence that ends at or before `time` (the one before a segment
// that starts there).
std::optional<TimeSpan> SentenceBefore(const std::vector<TimeSpan>& sentences, double time);

// The nearest sentence edge (&TimeSpan::start or &TimeSpan::end) within
// `reach` seconds of `position`; the position itself when none is that near.
double SnapToSentence(const std::vector<TimeSpan>& sentences, double position, double TimeSpan::*edge,
                      double reach);
