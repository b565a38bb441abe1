// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <string>
#include <string_view>
#include <vector>

// The buffers of a text stream as the lines of a transcript.

// One buffer of a text stream: its time in the stream and its bytes.
struct SubtitleCue {
    double start = 0;
    double end = -1;  // negative: the buffer had no duration
    std::string bytes;
};

// A buffer's text as a line shows it: markup tags removed (and with
// `pangoMarkup` its character references replaced), CRs dropped, blank lines
// around it trimmed.
std::string CueLineText(std::string_view bytes, bool pangoMarkup);

// The cues as an SRT transcript in UTF-8: in time order, empty ones left out,
// one without a duration ending where the next begins (the last one
// kLastCueSeconds after its start). A line's sourceLine is its cue's number.
constexpr double kLastCueSeconds = 5.0;
Transcript CueTranscript(const std::vector<SubtitleCue>& cues, bool pangoMarkup);
