// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/recording/RecordingFormat.h"

namespace {

constexpr std::int32_t kSecondsPerWeek = 604800;
constexpr std::int32_t kSecondsPerDay = 86400;
constexpr std::int32_t kSecondsPerHour = 3600;
constexpr std::int32_t kSecondsPerMinute = 60;
constexpr std::int64_t kBytesPerMebibyte = 1048576;
constexpr std::int64_t kBytesPerKibibyte = 1024;

// Appends `value / unit` followed by `suffix` when the value reaches the unit,
// and keeps the remainder. Negative values never reach a unit.
template <typename Integer>
void AppendWholeUnits(std::string& text, Integer& value, Integer unit, const char* suffix)
{
    if (value < unit)
        return;
    text += std::to_string(value / unit) + suffix;
    value %= unit;
}

} // namespace

std::string FormatDuration(std::int32_t seconds)
{
    std::string text;
    AppendWholeUnits(text, seconds, kSecondsPerWeek, " W");
    AppendWholeUnits(text, seconds, kSecondsPerDay, " D");
    AppendWholeUnits(text, seconds, kSecondsPerHour, " : ");
    AppendWholeUnits(text, seconds, kSecondsPerMinute, " : ");
    return text + std::to_string(seconds) + " s";
}

std::string FormatSize(std::int64_t bytes)
{
    std::string text;
    AppendWholeUnits(text, bytes, kBytesPerMebibyte, " M ");
    if (bytes < kBytesPerKibibyte)
        return text + std::to_string(bytes) + " Byte";
    return text + std::to_string(bytes / kBytesPerKibibyte) + " KB";
}
