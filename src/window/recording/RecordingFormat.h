// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Texts of the recording panel's two labels.

// Recorded time as weeks, days, hours, minutes and seconds, each part only
// from its unit up: 61 gives "1 : 1 s", 90061 gives "1 D1 : 1 : 1 s".
std::string FormatDuration(std::int32_t seconds);

// Output size in mebibytes and kibibytes, or bytes below one kibibyte:
// 5500000 gives "5 M 251 KB", 1023 gives "1023 Byte". Past 2 GiB the
// mebibytes count on: 2 GiB gives "2048 M 0 Byte".
std::string FormatSize(std::int64_t bytes);
