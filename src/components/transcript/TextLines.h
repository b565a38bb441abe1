// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text cut into lines for the transcript readers: LF, CR LF and CR alike end
// a line, so that files with mixed line ends read as their editor shows them.

// The lines without their line ends; line i of the file is element i - 1.
std::vector<std::string_view> SplitLines(std::string_view text);

// The first line end in the text ("\n", "\r\n" or "\r"); "\n" when there is none.
std::string FirstLineEnd(std::string_view text);

// The text without spaces and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// Whether the line holds nothing but spaces and tabs.
bool IsBlankLine(std::string_view line);
