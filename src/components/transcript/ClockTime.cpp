// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/ClockTime.h"

#include "components/transcript/TextLines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::optional<std::int64_t> ParseDigits(std::string_view digits, std::size_t maxDigits)
{
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::int64_t> ParseFractionMs(std::string_view digits)
{
    const std::optional<std::int64_t> value = ParseDigits(digits, 3);
    if (!value)
        return std::nullopt;
    static constexpr std::int64_t kScale[] = {0, 100, 10, 1};
    return *value * kScale[digits.size()];
}

std::optional<std::int64_t> ParseCueClockMs(std::string_view text)
{
    text = TrimBlanks(text);
    std::int64_t fractionMs = 0;
    const std::size_t point = text.find_first_of(".,");
    if (point != std::string_view::npos) {
        const std::optional<std::int64_t> fraction = ParseFractionMs(text.substr(point + 1));
        if (!fraction)
            return std::nullopt;
        fractionMs = *fraction;
        text = text.substr(0, point);
    }
    // Up to three fields from the right: seconds, minutes, hours.
    std::int64_t fields[3] = {0, 0, 0};
    std::size_t count = 0;
    while (true) {
        const std::size_t colon = text.rfind(':');
        const std::string_view field = colon == std::string_view::npos ? text : text.substr(colon + 1);
        const std::optional<std::int64_t> value = ParseDigits(field, count == 2 ? 6 : 2);
        if (!value || count == 3)
            return std::nullopt;
        fields[count++] = *value;
        if (colon == std::string_view::npos)
            break;
        text = text.substr(0, colon);
    }
    if (count < 2 || fields[0] > 59 || (count == 3 && fields[1] > 59))
        return std::nullopt;
    return ((fields[2] * 60 + fields[1]) * 60 + fields[0]) * 1000 + fractionMs;
}

std::string FormatCueClock(std::int64_t ms, char separator)
{
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld%c%03lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60), separator,
                  static_cast<long long>(ms % 1000));
    return text;
}

std::string FormatLrcClock(std::int64_t ms)
{
    char text[48];
    const long long minutes = ms / 60000;
    const long long seconds = ms / 1000 % 60;
    if (ms % 10 == 0)
        std::snprintf(text, sizeof text, "%02lld:%02lld.%02lld", minutes, seconds, static_cast<long long>(ms % 1000 / 10));
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld.%03lld", minutes, seconds, static_cast<long long>(ms % 1000));
    return text;
}

std::int64_t MillisecondsOf(double seconds)
{
    constexpr double kLongest = 1000.0 * 365.25 * 86400.0;
    if (!(seconds > 0))
        return 0;
    return std::llround(std::min(seconds, kLongest) * 1000.0);
}
