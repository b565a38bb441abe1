// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <vector>

// The scores of the takes of one sentence, kept beside its take so that they
// can be compared over days: "<take>.scores", a line per take, oldest first:
// the time it was recorded (ISO 8601, UTC), the melody score ("-" when there
// was none) and the timing score, separated by tabs.
struct TakeScore {
    QDateTime recorded;
    std::optional<double> melody;
    double timing = 0;
};

std::string TakeScoresPath(const std::string& takePath);
// The scores kept for the take at `takePath`; lines that are not scores are
// skipped, a missing file holds none.
std::vector<TakeScore> ReadTakeScores(const std::string& takePath);
// Adds `score` at the end; returns why it could not be written (which file,
// what the system said), or nothing.
std::optional<std::string> AppendTakeScore(const std::string& takePath, const TakeScore& score);
