// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/segment/FaultReport.h"

#include <gtest/gtest.h>

// Addresses print with as many digits as a pointer holds: 16 on this platform.
static_assert(sizeof(std::uintptr_t) == 8, "the expected texts below assume 64-bit addresses");

TEST(FaultReport, ShowsCodeInLowerAndAddressInPaddedUpperCaseHex)
{
    EXPECT_EQ(FormatFaultReport(0x80004005, 0x4012ab), "Code = 80004005, Address = 00000000004012AB");
    EXPECT_EQ(FormatFaultReport(0x1f, 0), "Code = 1f, Address = 0000000000000000");
    EXPECT_EQ(FormatFaultReport(0xC0000094, 0xFFFFFFFFFFFFFFFF), "Code = c0000094, Address = FFFFFFFFFFFFFFFF");
}

TEST(FaultReport, OtherCodesIgnoreTheInformationWords)
{
    EXPECT_EQ(FormatFaultReport(0xC0000006, 0x10, 1, 0x20), "Code = c0000006, Address = 0000000000000010");
}

TEST(FaultReport, AccessViolationNamesTheAccessDirectlyAfterTheAddress)
{
    EXPECT_EQ(FormatFaultReport(kAccessViolation, 0xDEADBEEF, 0, 0),
              "Code = c0000005, Address = 00000000DEADBEEFAttempt to read data at address 0000000000000000");
    EXPECT_EQ(FormatFaultReport(kAccessViolation, 0xDEADBEEF, 1, 0x1234),
              "Code = c0000005, Address = 00000000DEADBEEFAttempt to write data at address 0000000000001234");
    // Any non-zero first word means a write.
    std::string write = FormatFaultReport(kAccessViolation, 0x10, 8, 0);
    EXPECT_NE(write.find("Attempt to write data"), std::string::npos) << write;
}
