// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <vector>

// A transcript's lines as segments of the sound: each edge moved into the
// pause of the sound beside it, so that a line plays from before its first
// sound to after its last. Transcript times are often a few hundred ms late,
// and an LRC line's end is the next line's start: a start moves back into
// the pause before it (or stays in the pause it lies in); an end that is the
// next line's start shares that line's pause; any other end moves forward
// into the pause after it. An edge with no pause within reach, or whose pause
// would take it into a neighbour's line, stays where it is.
//
// `lines` in time order; `pauses` are the sound's silences (those that
// split sentences and the shorter ones inside them), in order; `margin` is
// how far into a pause an edge stays from the sound.
std::vector<TimeSpan> SnapLines(const std::vector<TimeSpan>& lines, const std::vector<TimeSpan>& pauses,
                                double margin);


// Where each line's sound begins: the end of the silence its start lies in
// (a snapped line starts a margin before its sound), else its start; not
// past its end, and never before the onset of the line before it. `lines`
// and `silences` in time order.
std::vector<double> SoundOnsets(const std::vector<TimeSpan>& lines, const std::vector<TimeSpan>& silences);
