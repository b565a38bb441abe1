// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <string>
#include <utility>
#include <vector>

// Transcripts back to the bytes of a file, for "Save transcript".

// The transcript in its own format, encoding and line end, with the lines'
// times as they are now; reading the bytes back gives the same lines. LRC:
// the ID tags first (or [ti:] with the title), a line's translation on a line
// of its own with the same time tag, its word times as <mm:ss.xx> tags, and
// an empty time tag where a line ends before the next one starts. SRT and
// WebVTT: one cue per line, numbered from 1 in SRT. The bytes go to the file
// as they are (ReplaceFileBytes, not ReplaceTextFile, which adds CRs).
std::string WriteTranscript(const Transcript& transcript);

// Times only, no text, for people who type the text themselves: a cue per
// span (SRT, WebVTT) or a time tag per start and one per end that comes before
// the next start (LRC). UTF-8.
std::string WriteTimesOnly(const std::vector<std::pair<double, double>>& spans, TranscriptFormat format);
