// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <string>
#include <string_view>
#include <vector>

// What SRT and WebVTT share: blocks of lines parted by blank lines, each cue a
// "start --> end" line (an index or identifier line may come before it) and
// its text lines. The formats differ in how a text line is cleaned and which
// blocks are no cues.
struct CueSyntax {
    // A cue text line as the transcript keeps it.
    std::string (*cleanText)(std::string_view line);
    // Whether a block starting with this line holds no cue and is passed over
    // (WebVTT's NOTE, STYLE and REGION).
    bool (*isSkippedBlock)(std::string_view firstLine);
};

// Reads the cues in lines[first...] into `into` (lines and problems), in time
// order. A block without a readable time line is skipped with a problem; an
// index line followed by a time line starts a new cue also where the blank
// line before it is missing. Cues may overlap; a cue that ends before it
// starts ends at its start.
void ReadCues(const std::vector<std::string_view>& lines, std::size_t first, const CueSyntax& syntax,
              Transcript& into);
