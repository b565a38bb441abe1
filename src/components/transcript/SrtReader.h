// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <string_view>
#include <vector>

// SubRip: numbered cues "HH:MM:SS,mmm --> HH:MM:SS,mmm" ('.' accepted too),
// text lines with <i>, <b>, <u>, <font ...> and {\an8}-style tags removed.
Transcript ReadSrt(const std::vector<std::string_view>& lines);
