// SPDX-License-Identifier: GPL-3.0-or-later
// Pause-point and settings files as users and other programs leave them:
// binary bytes, a 10 MB line, a million lines, no line ends, CR-only line
// ends. Each loads by the file rules, the window stays usable, the file on
// disk is not touched by loading, and memory stays bounded.

#include "MemoryUse.h"
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

constexpr std::size_t kPiece = 79;
constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
// Loading grows with the file: a million one-line entries in the list take
// about 300 MiB, a 10 MB line about 100 MiB. A copy of the file per line or
// per piece would take far more.
constexpr double kMemoryBoundMiB = 512;

std::string MillionLines()
{
    std::string text;
    text.reserve(1'000'000 * 11);
    for (int i = 0; i < 1'000'000; ++i)
        text += std::to_string(i) + ".5\r\n";
    return text;
}

class HostilePausePointFileTest : public WindowTest {
protected:
    // Opens lesson.mp3 with `bytes` as its pause-point file; returns the file's path.
    std::string OpenWithPointFile(const std::string& bytes)
    {
        Start();
        OpenMedia("lesson.mp3", bytes);
        return PathIn("lesson.txt");
    }

    void ExpectUntouched(const std::string& path, const std::string& bytes) const
    {
        EXPECT_EQ(ReadFileBytes(path), bytes) << "loading changed " << path;
        EXPECT_FALSE(dlg->Points().IsModified());
        EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    }
};

TEST_F(HostilePausePointFileTest, BinaryBytesStayInTheirEntriesAndGiveTimeZero)
{
    const std::string bytes = "1.5\0\xff\xfe junk\r\n\x01\x02\x7f\r\n2.5"s;
    const std::string path = OpenWithPointFile(bytes);

    ASSERT_EQ(dlg->Points().Times(), (std::vector<double>{1.5, 0, 2.5}));
    EXPECT_EQ(PointList()->count(), 3);
    EXPECT_EQ(PointList()->item(0)->text().size(), 12); // "1.5", NUL, two bytes that are no UTF-8, " junk", LF
    EXPECT_EQ(SelectedEntry(), 0);
    ExpectUntouched(path, bytes);

    // Saved, each point becomes a clean line.
    ASSERT_TRUE(dlg->Points().WritePausePoints());
    EXPECT_EQ(ReadFileBytes(path), "1.500000\r\n0.000000\r\n2.500000\r\n");
}

TEST_F(HostilePausePointFileTest, TenMegabyteLineBecomesEntriesOf79Characters)
{
    const std::string bytes = "12.5" + std::string(kTenMegabytes, 'x') + "\r\n3\r\n";
    PeakMemoryGrowth memory;
    const std::string path = OpenWithPointFile(bytes);

    const std::size_t lineEntries = (4 + kTenMegabytes + 1 + kPiece - 1) / kPiece;
    ASSERT_EQ(dlg->Points().Times().size(), lineEntries + 1);
    EXPECT_DOUBLE_EQ(dlg->Points().Times().front(), 12.5);
    EXPECT_EQ(PointList()->item(0)->text().size(), static_cast<int>(kPiece));
    EXPECT_DOUBLE_EQ(dlg->Points().Times().back(), 3);
    EXPECT_LT(memory.PeakGrowthMiB(), kMemoryBoundMiB);
    ExpectUntouched(path, bytes);
}

TEST_F(HostilePausePointFileTest, MillionLinesAllLoadInOrder)
{
    const std::string bytes = MillionLines();
    PeakMemoryGrowth memory;
    const std::string path = OpenWithPointFile(bytes);

    ASSERT_EQ(dlg->Points().Times().size(), 1'000'000u);
    EXPECT_DOUBLE_EQ(dlg->Points().Times()[0], 0.5);
    EXPECT_DOUBLE_EQ(dlg->Points().Times()[999'999], 999'999.5);
    EXPECT_EQ(PointList()->item(999'999)->text().toStdString(), "999999.5\n");
    EXPECT_LT(memory.PeakGrowthMiB(), kMemoryBoundMiB);
    ExpectUntouched(path, bytes);
}

TEST_F(HostilePausePointFileTest, NoLineEndsGiveOneEntryPer79Characters)
{
    std::string bytes;
    while (bytes.size() < 200)
        bytes += "4.25 ";
    const std::string path = OpenWithPointFile(bytes);

    // 200 characters: two full pieces and the rest, which has no line end.
    ASSERT_EQ(dlg->Points().Times().size(), 3u);
    EXPECT_EQ(Entries()[0], bytes.substr(0, kPiece));
    EXPECT_EQ(Entries()[2], bytes.substr(2 * kPiece));
    EXPECT_DOUBLE_EQ(dlg->Points().Times()[0], 4.25);
    ExpectUntouched(path, bytes);
}

TEST_F(HostilePausePointFileTest, CrOnlyLineEndsAreNoLineEnds)
{
    // Text mode ends lines at LF only: the whole file is one line, whose
    // number is the first one.
    const std::string bytes = "1.5\r2.5\r3.5\r";
    const std::string path = OpenWithPointFile(bytes);

    ASSERT_EQ(dlg->Points().Times(), std::vector<double>{1.5});
    EXPECT_EQ(Entries()[0], bytes);
    ExpectUntouched(path, bytes);
}

class HostileSettingsFileTest : public WindowTest {
protected:
    void StartWithSettings(const std::string& bytes)
    {
        WriteFileBytes(environment.settingsPath, bytes);
        Start();
    }

    void ExpectDefaults() const
    {
        EXPECT_EQ(dlg->Segment().Start(), 0);
        EXPECT_EQ(dlg->Segment().Step(), 0.5);
        EXPECT_EQ(dlg->Points().LeadIn(), 0.33);
        EXPECT_EQ(dlg->Media().Path(), "D:\\AllMediaFile.mp3");
        EXPECT_EQ(player->loadedPath, "");
    }
};

TEST_F(HostileSettingsFileTest, BinaryBytesGiveZeroTimesAndAPathKeptByteForByte)
{
    const std::string path = "/media/\xff\xfe\0odd\x01.mp3"s;
    StartWithSettings("\xff\xfe\r\n\0\r\n0.75\x01\r\n\x7f\r\n1.5\r\n"s + path);

    EXPECT_EQ(dlg->Segment().Start(), 0);
    EXPECT_EQ(dlg->Segment().End(), 0);
    EXPECT_EQ(dlg->Segment().Step(), 0.75);
    EXPECT_EQ(dlg->Points().PointStep(), 0);
    EXPECT_EQ(dlg->Points().LeadIn(), 1.5);
    EXPECT_EQ(dlg->Media().Path(), path);
    EXPECT_TRUE(prompts.boxes.empty());

    dlg->close();
    const std::string saved = ReadFileBytes(environment.settingsPath);
    EXPECT_EQ(saved, "0.000000\r\n0.000000\r\n0.750000\r\n0.000000\r\n1.500000\r\n" + path);
}

TEST_F(HostileSettingsFileTest, TenMegabyteFirstLineFillsTheValuesInPiecesAndTheRestIsThePath)
{
    const std::string line = "4.5" + std::string(kTenMegabytes, 'x');
    PeakMemoryGrowth memory;
    StartWithSettings(line + "\r\n1\r\n2\r\n3\r\n4\r\n/m.mp3");

    // Five pieces of 79 characters go to the five times; the path is the
    // rest of the line, however long (nothing is cut).
    EXPECT_EQ(dlg->Segment().Start(), 4.5);
    EXPECT_EQ(dlg->Media().Path().size(), line.size() - 5 * kPiece);
    EXPECT_LT(memory.PeakGrowthMiB(), kMemoryBoundMiB);
    // No pause-point file can have such a name: the list stays empty, quietly.
    EXPECT_EQ(PointList()->count(), 0);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(HostileSettingsFileTest, MillionLinesUseTheFirstSix)
{
    const std::string media = PathIn("lesson.mp3");
    StartWithSettings("1\r\n2\r\n3\r\n4\r\n5\r\n" + media + "\r\n" + MillionLines());

    EXPECT_EQ(dlg->Segment().Start(), 1);
    EXPECT_EQ(dlg->Points().LeadIn(), 5);
    EXPECT_EQ(dlg->Media().Path(), media);
    EXPECT_EQ(player->loadedPath, media);
}

TEST_F(HostileSettingsFileTest, NoLineEndsOrCrOnlyLineEndsAreTooFewLinesAndGiveTheDefaults)
{
    for (const std::string bytes : {"4.5 9.25 0.5 0.5 0.33 /m.mp3", "4.5\r9.25\r0.5\r0.5\r0.33\r/m.mp3"}) {
        SCOPED_TRACE(bytes);
        StartWithSettings(bytes);
        ExpectDefaults();
        EXPECT_TRUE(prompts.boxes.empty());
        // The user's file stays as it was until the window is closed.
        EXPECT_EQ(ReadFileBytes(environment.settingsPath), bytes);
        prompts.boxes.clear();
    }
}

} // namespace
