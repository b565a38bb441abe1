// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/recording/RecordingFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(FormatDuration, ShowsEachUnitFromItsThresholdUp)
{
    EXPECT_EQ(FormatDuration(0), "0 s");
    EXPECT_EQ(FormatDuration(59), "59 s");
    EXPECT_EQ(FormatDuration(60), "1 : 0 s");
    EXPECT_EQ(FormatDuration(61), "1 : 1 s");
    EXPECT_EQ(FormatDuration(3599), "59 : 59 s");
    EXPECT_EQ(FormatDuration(3725), "1 : 2 : 5 s");
    EXPECT_EQ(FormatDuration(86399), "23 : 59 : 59 s");
    EXPECT_EQ(FormatDuration(90061), "1 D1 : 1 : 1 s");
    EXPECT_EQ(FormatDuration(604799), "6 D23 : 59 : 59 s");
    EXPECT_EQ(FormatDuration(694861), "1 W1 D1 : 1 : 1 s");
}

TEST(FormatDuration, DropsEmptyLowerUnitsOnlyAboveMinutes)
{
    // An hour with no minutes left shows like one minute: the minutes part is
    // written only when some remain.
    EXPECT_EQ(FormatDuration(3600), "1 : 0 s");
    EXPECT_EQ(FormatDuration(3605), "1 : 5 s");
    EXPECT_EQ(FormatDuration(86400), "1 D0 s");
    EXPECT_EQ(FormatDuration(604800), "1 W0 s");
}

TEST(FormatDuration, ShowsNegativeAndLargestValuesWhole)
{
    EXPECT_EQ(FormatDuration(-1), "-1 s");
    EXPECT_EQ(FormatDuration(-90061), "-90061 s");
    EXPECT_EQ(FormatDuration(INT32_MIN), "-2147483648 s");
    // 2147483647 s = 3550 weeks, 5 days, 3 h 14 min 7 s.
    EXPECT_EQ(FormatDuration(INT32_MAX), "3550 W5 D3 : 14 : 7 s");
}

TEST(FormatSize, ShowsBytesBelowOneKibibyteElseKibibytes)
{
    EXPECT_EQ(FormatSize(0), "0 Byte");
    EXPECT_EQ(FormatSize(1023), "1023 Byte");
    EXPECT_EQ(FormatSize(1024), "1 KB");
    EXPECT_EQ(FormatSize(2047), "1 KB");
    EXPECT_EQ(FormatSize(1048575), "1023 KB");
}

TEST(FormatSize, PutsWholeMebibytesInFront)
{
    EXPECT_EQ(FormatSize(1048576), "1 M 0 Byte");
    EXPECT_EQ(FormatSize(1048576 + 1023), "1 M 1023 Byte");
    EXPECT_EQ(FormatSize(1048576 + 1024), "1 M 1 KB");
    EXPECT_EQ(FormatSize(5500000), "5 M 251 KB");
    EXPECT_EQ(FormatSize(INT32_MAX), "2047 M 1023 KB");
}

// A recording of 37 hours passes 2 GiB: the mebibytes count on, in the same
// text, where a 32-bit size would have stopped or turned negative.
TEST(FormatSize, CountsMebibytesOnPastTwoGibibytes)
{
    constexpr std::int64_t kGibibyte = 1073741824;
    EXPECT_EQ(FormatSize(2 * kGibibyte), "2048 M 0 Byte");
    EXPECT_EQ(FormatSize(2 * kGibibyte + 1048576 + 2048), "2049 M 2 KB");
    EXPECT_EQ(FormatSize(5 * kGibibyte + 1500), "5120 M 1 KB");
    EXPECT_EQ(FormatSize(INT64_MAX), "8796093022207 M 1023 KB");
}

TEST(FormatSize, ShowsNegativeValuesAsBytes)
{
    EXPECT_EQ(FormatSize(-1), "-1 Byte");
    EXPECT_EQ(FormatSize(INT32_MIN), "-2147483648 Byte");
}
