// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <string_view>
#include <vector>

// WebVTT: the WEBVTT header (its text is the title), cues with optional
// identifiers, optional hours and settings after the times; NOTE, STYLE and
// REGION blocks passed over; tags removed and character references replaced.
Transcript ReadVtt(const std::vector<std::string_view>& lines);
