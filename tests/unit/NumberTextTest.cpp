// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/text/NumberText.h"

#include <clocale>
#include <gtest/gtest.h>

TEST(NumberText, ShownTimesUseShortestFifteenDigitForm)
{
    EXPECT_EQ(FormatShownTime(0), "0");
    EXPECT_EQ(FormatShownTime(4.5), "4.5");
    EXPECT_EQ(FormatShownTime(9.25), "9.25");
    EXPECT_EQ(FormatShownTime(0.2 - 0.5), "-0.3");
    EXPECT_EQ(FormatShownTime(10.2 + 0.5), "10.7");
    EXPECT_EQ(FormatShownTime(1e20), "1e+20");
    EXPECT_EQ(FormatShownTime(123456789012345678.0), "1.23456789012346e+17");
}

TEST(NumberText, FileTimesHaveSixDecimals)
{
    EXPECT_EQ(FormatFileTime(12.5), "12.500000");
    EXPECT_EQ(FormatFileTime(12.5 - 0.33), "12.170000");
    EXPECT_EQ(FormatFileTime(0), "0.000000");
    EXPECT_EQ(FormatFileTime(-0.3), "-0.300000");
    EXPECT_EQ(FormatFileTime(1e300).size(), 301u + 7u);
}

TEST(NumberText, LeadingNumberFollowsScanfRules)
{
    EXPECT_EQ(ParseLeadingNumber("4.5"), 4.5);
    EXPECT_EQ(ParseLeadingNumber("  \t7"), 7.0);
    EXPECT_EQ(ParseLeadingNumber("3.25 seconds"), 3.25);
    EXPECT_EQ(ParseLeadingNumber("-0.3"), -0.3);
    EXPECT_EQ(ParseLeadingNumber("+2e1x"), 20.0);
    EXPECT_EQ(ParseLeadingNumber("1.5\n"), 1.5);
    EXPECT_FALSE(ParseLeadingNumber(""));
    EXPECT_FALSE(ParseLeadingNumber("   "));
    EXPECT_FALSE(ParseLeadingNumber("abc"));
    EXPECT_FALSE(ParseLeadingNumber(". 5"));
    EXPECT_EQ(LeadingNumberOrZero("no number"), 0.0);
    EXPECT_EQ(LeadingNumberOrZero("12.170000\n"), 12.17);
}

TEST(NumberText, CommaDecimalLocaleChangesNothing)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma-decimal locale installed";
    EXPECT_EQ(FormatFileTime(12.5), "12.500000");
    EXPECT_EQ(FormatShownTime(4.5), "4.5");
    EXPECT_EQ(ParseLeadingNumber("12.5"), 12.5);
    EXPECT_EQ(ParseLeadingNumber("12,5"), 12.0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}
