// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenAlignment.h"

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
