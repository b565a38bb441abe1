// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/align/TextAligner.h"
#include "components/transcript/Transcript.h"

#include <string>
#include <vector>

// An aligned text as a transcript, and the tag by which its LRC file names
// the text and the voice it was aligned from.

// Where each sentence is said.
std::vector<TimeSpan> SpansOf(const std::vector<TimedSentence>& sentences);

// The sentences as LRC lines (UTF-8) at `spans` (one per sentence). Inside a
// paragraph a line ends where the next begins, as LRC lines do; the last
// line of a paragraph ends at its own end, which LRC writes as a line with no
// text.
Transcript AlignedTranscript(const std::vector<TimedSentence>& sentences, const std::vector<TimeSpan>& spans);

// Names a text (UTF-8) and the voice it is aligned with: the hex SHA-256 of
// the text, a line end and the voice's id.
std::string AlignmentKey(const std::string& utf8, const std::string& voiceId);

// The transcript is tagged as the alignment `key` names ([re:] tag).
void TagAlignment(Transcript& transcript, const std::string& key);
bool IsAlignmentOf(const Transcript& transcript, const std::string& key);
