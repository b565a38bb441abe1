// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// LRC lyrics: lines after one or more time tags ([mm:ss], [mm:ss.xx],
// [mm:ss.xxx], [mm:ss:xx], minutes unbounded), ID tags ([ti:], [ar:], [al:],
// [by:], [length:], [offset:+/-ms], ...), word times <mm:ss.xx> inside a line.
// A line with several tags is repeated at each; a second line at the same
// time is the first one's translation; a line ends where the next starts, and
// a tag with no text ends the line before it without starting one.
Transcript ReadLrc(const std::vector<std::string_view>& lines);

// The milliseconds of an LRC time ("mm:ss", "mm:ss.xx", "mm:ss.xxx" or
// "mm:ss:xx", without the brackets); nothing when it is none.
std::optional<std::int64_t> ParseLrcClockMs(std::string_view text);
