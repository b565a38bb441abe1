// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/sentences/SentenceSteps.h"

#include <cmath>

namespace {

// Sentences that meet in a short pause share their boundary; times read back
// from the boxes may differ from it by rounding.
constexpr double kSameTime = 0.001;

} // namespace

std::optional<TimeSpan> SentenceAfter(const std::vector<TimeSpan>& sentences, double time)
{
    for (const TimeSpan& sentence : sentences) {
        if (sentence.start >= time - kSameTime)
            return sentence;
    }
    return std::nullopt;
}

std::optional<TimeSpan> SentenceBefore(const std::vector<TimeSpan>& sentences, double time)
{
    for (auto sentence = sentences.rbegin(); sentence != sentences.rend(); ++sentence) {
        if (sentence->end <= time + kSameTime)
            return *sentence;
    }
    return std::nullopt;
}

double SnapToSentence(const std::vector<TimeSpan>& sentences, double position, double TimeSpan::*edge,
                      double reach)
{
    double snapped = position;
    double nearest = reach;
    for (const TimeSpan& sentence : sentences) {
        const double boundary = sentence.*edge;
        if (std::abs(boundary - position) <= nearest) {
            nearest = std::abs(boundary - position);
            snapped = boundary;
        }
    }
    return snapped;
}
