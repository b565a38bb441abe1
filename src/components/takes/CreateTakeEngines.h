// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/recorder/CMP3Enc.h"
#include "components/takes/TakeEngines.h"

#include <string>

// The real take recorder, capturing `input` (a GStreamer bin description;
// the recorder's default sound input by default), the real take player and
// the comparer that runs in the background.
TakeEngines CreateTakeEngines(const std::string& input = CMP3Enc::kDefaultInput);
