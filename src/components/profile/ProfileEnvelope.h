// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/LevelBlock.h"
#include "components/profile/SoundProfile.h"

#include <vector>

// The levels to draw in each of `columns` equal slices of the stretch from
// `from` to `to` seconds: from the summary when a slice spans a summary entry
// or more, else from the blocks, read in one piece. Slices past what the
// profile has reached are left out, so the result may be shorter.
std::vector<LevelBlock> ProfileEnvelope(const SoundProfile& profile, double from, double to, int columns);
