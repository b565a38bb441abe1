// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <algorithm>

// Lines in time order; lines with equal times keep the file's order.
inline void SortByStart(std::vector<TranscriptLine>& lines)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const TranscriptLine& a, const TranscriptLine& b) { return a.start < b.start; });
}
