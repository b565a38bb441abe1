// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "window/pausepoints/PausePointText.h"
#include "window/text/TextFile.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(PausePointPath, ReplacesTheLastThreeCharactersWithoutLookingForADot)
{
    EXPECT_EQ(PausePointPathFor("/a/lesson.mp3"), "/a/lesson.txt");
    EXPECT_EQ(PausePointPathFor("clip.dat"), "clip.txt");
    EXPECT_EQ(PausePointPathFor("talk.mpeg"), "talk.mtxt");
    EXPECT_EQ(PausePointPathFor("D:\\AllMediaFile.mp3"), "D:\\AllMediaFile.txt");
    EXPECT_EQ(PausePointPathFor("/a.mp3\n"), "/a.mtxt");
    // Shorter paths lose what they have; nothing is read before their start.
    EXPECT_EQ(PausePointPathFor("abc"), "txt");
    EXPECT_EQ(PausePointPathFor("ab"), "txt");
    EXPECT_EQ(PausePointPathFor(""), "txt");
    std::string longPath = "/" + std::string(5000, 'd') + "/x.mp3";
    EXPECT_EQ(PausePointPathFor(longPath), longPath.substr(0, longPath.size() - 3) + "txt");
}

class PausePointFileTest : public testing::Test {
protected:
    PausePointFileContents Read(const std::string& bytes)
    {
        WriteFileBytes(path, bytes);
        return ReadPausePointFile(path);
    }

    QTemporaryDir dir;
    std::string path = dir.filePath("lesson.txt").toStdString();
};

MATCHER_P2(Entry, text, seconds, "")
{
    return arg.text == text && arg.seconds == seconds;
}

TEST_F(PausePointFileTest, ThreeLinesGiveThreeEntriesKeepingTheirLineEnds)
{
    PausePointFileContents contents = Read("1.5\r\n3.25\r\n7");
    EXPECT_TRUE(contents.opened);
    EXPECT_THAT(contents.entries, testing::ElementsAre(Entry("1.5\n", 1.5), Entry("3.25\n", 3.25), Entry("7", 7.0)));
    EXPECT_EQ(contents.readError, "");
    EXPECT_EQ(PausePointFileText({1.5, 3.25, 7}), "1.500000\n3.250000\n7.000000\n");
}

TEST_F(PausePointFileTest, LfOnlyAndCrLfFilesReadTheSame)
{
    EXPECT_THAT(Read("12.500000\n-0.33\n").entries, testing::ElementsAre(Entry("12.500000\n", 12.5), Entry("-0.33\n", -0.33)));
    EXPECT_THAT(Read("12.500000\r\n-0.33\r\n").entries, testing::ElementsAre(Entry("12.500000\n", 12.5), Entry("-0.33\n", -0.33)));
}

TEST_F(PausePointFileTest, EmptyAndMissingFilesGiveNoEntries)
{
    PausePointFileContents empty = Read("");
    EXPECT_TRUE(empty.opened);
    EXPECT_TRUE(empty.entries.empty());

    PausePointFileContents missing = ReadPausePointFile(dir.filePath("other.txt").toStdString());
    EXPECT_FALSE(missing.opened);
    EXPECT_TRUE(missing.entries.empty());
    EXPECT_EQ(missing.readError, "");
    EXPECT_EQ(PausePointFileText({}), "");
}

TEST_F(PausePointFileTest, LineWithoutANumberIsAPointAtZero)
{
    EXPECT_THAT(Read("chapter two\r\n  4.5 s\r\n\r\n").entries,
                testing::ElementsAre(Entry("chapter two\n", 0.0), Entry("  4.5 s\n", 4.5), Entry("\n", 0.0)));
}

TEST_F(PausePointFileTest, LongLineBecomesSeveralEntries)
{
    std::string line = "8.5" + std::string(76, ' ') + "9.75" + std::string(80, 'x') + "\r\n";
    EXPECT_THAT(Read(line + "1\r\n").entries,
                testing::ElementsAre(Entry("8.5" + std::string(76, ' '), 8.5), Entry("9.75" + std::string(75, 'x'), 9.75),
                                     Entry("xxxxx\n", 0.0), Entry("1\n", 1.0)));
}

TEST_F(PausePointFileTest, ThousandPointsRoundTripWhole)
{
    std::vector<double> points;
    for (int i = 0; i < 1000; ++i)
        points.push_back(i * 1.25 - 3.5);
    ASSERT_EQ(ReplaceTextFile(path, PausePointFileText(points)), std::nullopt);

    PausePointFileContents contents = ReadPausePointFile(path);
    ASSERT_EQ(contents.entries.size(), 1000u);
    std::vector<double> read;
    for (const PausePointEntry& entry : contents.entries)
        read.push_back(entry.seconds);
    EXPECT_EQ(read, points);
    EXPECT_EQ(contents.entries[999].text, "1245.250000\n");
    EXPECT_EQ(PausePointFileText(read), PausePointFileText(points));
}

} // namespace
