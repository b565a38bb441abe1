// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/LineSnapping.h"

#include <algorithm>
#include <optional>

namespace {

// How far an edge moves to reach its pause.
constexpr double kReach = 1.5;
constexpr double kEndless = 1e300;

using Pauses = std::vector<TimeSpan>;

// The pause that holds `time`, else the last one that ends before it, within
// reach, and that begins after `notBefore`.
std::optional<TimeSpan> PauseAtOrBefore(const Pauses& pauses, double time, double notBefore)
{
    auto after = std::upper_bound(pauses.begin(), pauses.end(), time,
                                  [](double t, const TimeSpan& pause) { return t < pause.start; });
    if (after == pauses.begin())
        return std::nullopt;
    const TimeSpan& pause = *std::prev(after);
    if (pause.end < time - kReach || pause.start < notBefore)
        return std::nullopt;
    return pause;
}

// The pause that holds `time`, else the first one that begins after it,
// within reach, and that begins before `notAfter`.
std::optional<TimeSpan> PauseAtOrAfter(const Pauses& pauses, double time, double notAfter)
{
    auto from = std::lower_bound(pauses.begin(), pauses.end(), time,
                                 [](const TimeSpan& pause, double t) { return pause.end < t; });
    if (from == pauses.end())
        return std::nullopt;
    if (from->start > time + kReach || from->start > notAfter)
        return std::nullopt;
    return *from;
}

// The edges a pause gives: a line that ends in it ends `margin` after its
// start, a line that starts in it starts `margin` before its end (each kept
// inside the pause).
double EndIn(const TimeSpan& pause, double margin)
{
    return std::min(pause.start + margin, pause.end);
}

double StartIn(const TimeSpan& pause, double margin)
{
    return std::max(pause.end - margin, pause.start);
}

} // namespace

std::vector<TimeSpan> SnapLines(const std::vector<TimeSpan>& lines, const std::vector<TimeSpan>& pauses,
                                double margin)
{
    std::vector<TimeSpan> snapped = lines;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const TimeSpan& line = lines[index];
        const bool last = index + 1 == lines.size();
        const double previousStart = index > 0 ? lines[index - 1].start : -kEndless;
        const double nextStart = last ? kEndless : lines[index + 1].start;

        if (std::optional<TimeSpan> pause = PauseAtOrBefore(pauses, line.start, previousStart))
            snapped[index].start = StartIn(*pause, margin);

        const bool endsWhereNextStarts = !last && nextStart <= line.end;
        std::optional<TimeSpan> pause = endsWhereNextStarts ? PauseAtOrBefore(pauses, nextStart, line.start)
                                                            : PauseAtOrAfter(pauses, line.end, nextStart);
        if (pause)
            snapped[index].end = EndIn(*pause, margin);
        // An edge whose pause lay on the wrong side of the other keeps both.
        if (snapped[index].end <= snapped[index].start)
            snapped[index] = line;
    }
    return snapped;
}


std::vector<double> SoundOnsets(const std::vector<TimeSpan>& lines, const std::vector<TimeSpan>& silences)
{
    std::vector<double> onsets;
    onsets.reserve(lines.size());
    for (const TimeSpan& line : lines) {
        auto silence = std::lower_bound(silences.begin(), silences.end(), line.start,
                                        [](const TimeSpan& pause, double t) { return pause.end <= t; });
        const bool inSilence = silence != silences.end() && silence->start <= line.start;
        const double onset = inSilence ? std::min(silence->end, line.end) : line.start;
        // In order, so that the line heard at a time can be looked up.
        onsets.push_back(onsets.empty() ? onset : std::max(onset, onsets.back()));
    }
    return onsets;
}
