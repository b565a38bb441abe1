// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/text/NumberText.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

// glibc's C locale object, so that strtod reads '.' as the decimal point even
// when the process runs under a comma-decimal locale.
locale_t CLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

std::string ToChars(double value, std::chars_format format, int precision)
{
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string FormatShownTime(double seconds)
{
    return ToChars(seconds, std::chars_format::general, 15);
}

std::string FormatFileTime(double seconds)
{
    return ToChars(seconds, std::chars_format::fixed, 6);
}

std::optional<double> ParseLeadingNumber(std::string_view text)
{
    // strtod needs a terminated string; a number never needs more than the
    // text's own bytes.
    std::string copy(text);
    char* end = nullptr;
    double value = strtod_l(copy.c_str(), &end, CLocale());
    if (end == copy.c_str())
        return std::nullopt;
    return value;
}

double LeadingNumberOrZero(std::string_view text)
{
    return ParseLeadingNumber(text).value_or(0.0);
}
