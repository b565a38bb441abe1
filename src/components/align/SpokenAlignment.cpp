// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"

#include <cmath>
#include <cstdio>

namespace {

// A figure with two decimals.
std::string Fixed(double figure)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", figure);
    return text;
}

} // namespace

SpokenAlignment AlignSpoken(const FeatureFrames& synthetic, const std::vector<SpokenSpan>& spans, int spokenRate,
                            const FeatureFrames& heard, const WindowSettings& settings)
{
    WindowedAligner aligner(settings);
    aligner.Synthetic().Append(synthetic);
    aligner.Synthetic().Finish();
    aligner.Heard().Append(heard);
    aligner.Heard().Finish();
    for (const auto& [begin, end] : spans)
        aligner.AddSentence({double(begin) / spokenRate, double(end) / spokenRate});
    aligner.EndSentences();
    SpokenAlignment found;
    found.spans = aligner.Advance();
    found.distanceRatio = aligner.DistanceRatio();
    found.firstFit = aligner.FirstFit();
    return found;
}

std::string MismatchOf(const WarpFit& fit)
{
    if (fit.distanceRatio > kMismatchedRatio)
        return "its sound is as far from the text's reading as unrelated sound (a distance ratio of "
               + std::to_string(int(std::lround(fit.distanceRatio * 100))) + " %, above "
               + std::to_string(int(std::lround(kMismatchedRatio * 100))) + " %)";
    if (fit.pausedBoundaries && fit.boundaries >= kBoundariesToJudge && *fit.pausedBoundaries < kMismatchedPausedBoundaries)
        return "only " + std::to_string(int(std::lround(*fit.pausedBoundaries * 100))) + " % of the "
               + std::to_string(fit.boundaries) + " sentence ends of its first minutes fall in a pause of it (a reading "
               + "of the text has " + std::to_string(int(std::lround(kMismatchedPausedBoundaries * 100))) + " % or more)";
    if (fit.orderGain && *fit.orderGain < kMismatchedOrderGain)
        return "the text's reading fits it hardly better than the same reading played backwards (an order gain of "
               + Fixed(*fit.orderGain) + ", below " + Fixed(kMismatchedOrderGain) + ")";
    return {};
}
