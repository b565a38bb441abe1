// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A plain text (a chapter, a handout) as the sentences to be timed against
// its recording: split where a sentence ends (. ! ? … 。！？ and the quotes
// that close them) but not after the language's abbreviations ("Mr.",
// "e.g."), and at every paragraph break (a blank line).

struct TextSentence {
    std::string text;          // UTF-8, inner runs of white space as one space
    bool startsParagraph = false;
};

// `language`: a BCP 47 tag such as "en" or "zh" whose abbreviations apply.
std::vector<TextSentence> SplitSentences(std::string_view utf8, const std::string& language = "en");
