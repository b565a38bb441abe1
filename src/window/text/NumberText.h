// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Number text as the program writes and reads it, always in the C locale
// whatever the user's locale says.

// A time shown in an edit box: printf's "%.*g" with precision 15 ("4.5", "-0.3").
std::string FormatShownTime(double seconds);

// A time written to a file: printf's "%f" ("12.500000").
std::string FormatFileTime(double seconds);

// Reads the number at the start of `text` as scanf's "%lf" does: leading white
// space skipped, anything after the number ignored. Nothing when no number starts
// the text.
std::optional<double> ParseLeadingNumber(std::string_view text);

// The leading number of a line in a text file, or 0 when it has none.
double LeadingNumberOrZero(std::string_view text);
