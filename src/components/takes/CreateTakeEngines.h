#pragma once

#include "components/takes/TakeEngines.h"

#include <string>

// The real take recorder, capturing `input` (a GStreamer bin description;
// the default sound input by default), and the real take player.
TakeEngines CreateTakeEngines(const std::string& input = "autoaudiosrc");
