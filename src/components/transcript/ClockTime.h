// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Times as the transcript formats write them, read and written in whole
// milliseconds so that equal text gives equal times.

// A run of decimal digits, at most `maxDigits` of them (so that it cannot
// overflow); nothing when the text is empty or holds anything else.
std::optional<std::int64_t> ParseDigits(std::string_view digits, std::size_t maxDigits);

// A fraction of a second written with 1 to 3 digits ("5" is 500 ms, "25" is
// 250 ms, "250" too); nothing for anything else.
std::optional<std::int64_t> ParseFractionMs(std::string_view digits);

// A cue time of SRT or WebVTT: "[hh:]mm:ss[.,]fff", minutes and seconds below
// 60, the fraction optional; blanks around it are allowed. Nothing when
// unreadable, also for a negative time.
std::optional<std::int64_t> ParseCueClockMs(std::string_view text);

// "HH:MM:SS<separator>mmm" (hours two digits or more).
std::string FormatCueClock(std::int64_t ms, char separator);

// "mm:ss.xx" where the time is a whole number of centiseconds, "mm:ss.xxx"
// otherwise (minutes two digits or more).
std::string FormatLrcClock(std::int64_t ms);

// Seconds to whole milliseconds; negative, NaN and infinite times give 0,
// times past a thousand years stop there.
std::int64_t MillisecondsOf(double seconds);

inline double SecondsOf(std::int64_t ms) { return double(ms) / 1000.0; }
