// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a drill plays the sentences: each this many times (0: without end),
// with a pause after each play of `pauseFactor` times the sentence's length
// as heard (at the playing speed),
// and on to the next sentence after the last play, or not. With
// `recordTakes`, the learner's repetition is recorded after each play and
// played back in place of the pause (shadowing), followed by the sentence
// again with `replayAfterTake`.
struct DrillSettings {
    int repeats = 3;
    double pauseFactor = 1.0;
    bool goOn = true;
    bool recordTakes = false;
    bool replayAfterTake = false;

    static constexpr int kMostRepeats = 9;
    static constexpr double kPauseFactors[] = {0, 0.5, 1, 1.5, 2};

    bool operator==(const DrillSettings&) const = default;
};
