// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shadowing/TakeNames.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kIntegerDigits = 6;
constexpr int kDecimals = 3;
constexpr std::size_t kTimeLength = kIntegerDigits + 1 + kDecimals;
constexpr const char* kExtension = ".mp3";

// Seconds with three decimals in the C locale, zero-padded in front.
std::string TimeText(double seconds)
{
    char digits[32];
    const double milliseconds = std::round(std::max(0.0, seconds) * 1000) / 1000;
    const auto written = std::to_chars(digits, digits + sizeof digits, milliseconds, std::chars_format::fixed, kDecimals);
    std::string text(digits, written.ptr);
    return std::string(kTimeLength > text.size() ? kTimeLength - text.size() : 0, '0') + text;
}

std::optional<double> ParseTime(std::string_view text)
{
    double seconds = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), seconds, std::chars_format::fixed);
    if (text.size() != kTimeLength || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size())
        return std::nullopt;
    return seconds;
}

} // namespace

std::string TakeFolder(const std::string& mediaPath)
{
    return mediaPath + " takes";
}

std::string TakeFileName(const TimeSpan& sentence)
{
    return TimeText(sentence.start) + "-" + TimeText(sentence.end) + kExtension;
}

std::optional<TimeSpan> SentenceOfTake(const std::string& fileName)
{
    const std::string_view name(fileName);
    const std::size_t extension = std::char_traits<char>::length(kExtension);
    if (name.size() != 2 * kTimeLength + 1 + extension || name[kTimeLength] != '-' || !name.ends_with(kExtension))
        return std::nullopt;
    std::optional<double> start = ParseTime(name.substr(0, kTimeLength));
    std::optional<double> end = ParseTime(name.substr(kTimeLength + 1, kTimeLength));
    if (!start || !end || *end <= *start)
        return std::nullopt;
    return TimeSpan{*start, *end};
}
