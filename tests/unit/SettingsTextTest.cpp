// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CommaDecimalLocale.h"
#include "support/FileBytes.h"
#include "window/settings/SettingsText.h"

#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

class SettingsTextTest : public testing::Test {
protected:
    SettingsReading Read(const std::string& bytes)
    {
        WriteFileBytes(path, bytes);
        return ReadSettingsFile(path);
    }

    QTemporaryDir dir;
    std::string path = dir.filePath("ardeno-recorder.ini").toStdString();
};

TEST_F(SettingsTextTest, SixLinesGiveTheFiveTimesAndThePath)
{
    SettingsReading reading = Read("4.500000\r\n9.250000\r\n0.500000\r\n0.250000\r\n0.330000\r\n/media/a b/lesson.mp3");
    ASSERT_TRUE(reading.settings);
    EXPECT_EQ(reading.settings->startTime, 4.5);
    EXPECT_EQ(reading.settings->endTime, 9.25);
    EXPECT_EQ(reading.settings->timeStep, 0.5);
    EXPECT_EQ(reading.settings->pointStep, 0.25);
    EXPECT_EQ(reading.settings->leadIn, 0.33);
    EXPECT_EQ(reading.settings->mediaPath, "/media/a b/lesson.mp3");
}

TEST_F(SettingsTextTest, TextIsFiveTimesAndThePathWithoutALineEnd)
{
    SavedSettings settings{0, 0, 0.5, 0.5, 0.33, "D:\\AllMediaFile.mp3"};
    EXPECT_EQ(SettingsFileText(settings),
              "0.000000\n0.000000\n0.500000\n0.500000\n0.330000\nD:\\AllMediaFile.mp3");
}

TEST_F(SettingsTextTest, FewerThanSixLinesGiveNothing)
{
    EXPECT_FALSE(Read("1\r\n2\r\n3\r\n4\r\n5\r\n").settings);
    EXPECT_FALSE(Read("1\r\n2\r\n3\r\n4\r\n5").settings);
    EXPECT_FALSE(Read("").settings);
    EXPECT_FALSE(ReadSettingsFile(dir.filePath("missing.ini").toStdString()).settings);
    EXPECT_EQ(Read("").readError, "");
}

TEST_F(SettingsTextTest, LineWithoutANumberGivesZero)
{
    SettingsReading reading = Read("abc\r\n9\r\n\r\n0.5\r\n0.33\r\n/x.mp3");
    ASSERT_TRUE(reading.settings);
    EXPECT_EQ(reading.settings->startTime, 0.0);
    EXPECT_EQ(reading.settings->endTime, 9.0);
    EXPECT_EQ(reading.settings->timeStep, 0.0);
    EXPECT_EQ(reading.settings->pointStep, 0.5);
}

TEST_F(SettingsTextTest, LongLineGivesItsRestToTheNextValue)
{
    // Line 1 is 79 characters of its own and then "7.5": the end time reads
    // 7.5, and every later value moves down by one line.
    std::string line1 = "1.5" + std::string(76, ' ') + "7.5";
    SettingsReading reading = Read(line1 + "\r\n2\r\n3\r\n4\r\n5\r\n/x.mp3");
    ASSERT_TRUE(reading.settings);
    EXPECT_EQ(reading.settings->startTime, 1.5);
    EXPECT_EQ(reading.settings->endTime, 7.5);
    EXPECT_EQ(reading.settings->timeStep, 2.0);
    EXPECT_EQ(reading.settings->pointStep, 3.0);
    EXPECT_EQ(reading.settings->leadIn, 4.0);
    EXPECT_EQ(reading.settings->mediaPath, "5");
}

TEST_F(SettingsTextTest, PathLosesATrailingLineEndAndIsNeverCut)
{
    SettingsReading ended = Read("0\r\n0\r\n0.5\r\n0.5\r\n0.33\r\nD:\\a.mp3\r\n");
    ASSERT_TRUE(ended.settings);
    EXPECT_EQ(ended.settings->mediaPath, "D:\\a.mp3");

    std::string longPath = "/" + std::string(600, 'p') + "/lesson.mp3";
    SettingsReading longOne = Read("0\n0\n0.5\n0.5\n0.33\n" + longPath);
    ASSERT_TRUE(longOne.settings);
    EXPECT_EQ(longOne.settings->mediaPath, longPath);
}

TEST_F(SettingsTextTest, NumbersStayCLocaleTextUnderACommaLocale)
{
    SavedSettings settings{4.5, 9.25, 0.5, 0.125, 0.33, "/m/x.mp3"};
    std::string written = SettingsFileText(settings);
    WriteFileBytes(path, written);

    CommaDecimalLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << CommaDecimalLocale::kMissing;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");  // the locale is really in force

    EXPECT_EQ(SettingsFileText(settings), written);
    SettingsReading reading = ReadSettingsFile(path);
    ASSERT_TRUE(reading.settings);
    EXPECT_EQ(reading.settings->endTime, 9.25);
    EXPECT_EQ(reading.settings->pointStep, 0.125);
}

} // namespace
