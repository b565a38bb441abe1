// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FullDisk.h"
#include "support/CommaDecimalLocale.h"
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kDefaultSettings =
    "0.000000\r\n0.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\nD:\\AllMediaFile.mp3";

class SettingsTest : public WindowTest {
protected:
    std::string Settings() const { return ReadFileBytes(environment.settingsPath); }
    void WriteSettings(const std::string& bytes) const { WriteFileBytes(environment.settingsPath, bytes); }

    void ExpectGroupEnabled(bool enabled) const
    {
        for (ControlId id : kPlaybackControlGroup)
            EXPECT_EQ(dlg->Control(id)->isEnabled(), enabled) << id;
    }
};

TEST_F(SettingsTest, CloseSavesTheSegmentAndTheNextStartReopensTheMediaStopped)
{
    Start();
    std::string media = OpenMedia("lesson.mp3", "5\r\n9\r\n");
    dlg->Segment().SetSegment(4.5, 9.25);
    Edit(ControlId::TimeStep)->setText("0.25");
    Edit(ControlId::PointStep)->setText("0.75");
    Edit(ControlId::LeadIn)->setText("0.1");
    dlg->close();
    EXPECT_EQ(Settings(), "4.500000\r\n9.250000\r\n0.250000\r\n0.750000\r\n0.100000\r\n" + media);

    prompts.boxes.clear();
    Start();
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(" + media + ")", "Stop"}));
    EXPECT_FALSE(player->playing);
    EXPECT_EQ(Text(ControlId::MediaPath), media);
    EXPECT_EQ(Text(ControlId::StartTime), "4.5");
    EXPECT_EQ(Text(ControlId::EndTime), "9.25");
    EXPECT_EQ(Text(ControlId::TimeStep), "0.25");
    EXPECT_EQ(Text(ControlId::PointStep), "0.75");
    EXPECT_EQ(Text(ControlId::LeadIn), "0.1");
    EXPECT_EQ(dlg->Segment().Start(), 4.5);
    EXPECT_EQ(dlg->Segment().End(), 9.25);
    ExpectGroupEnabled(true);
    EXPECT_EQ(dlg->Points().FilePath(), PathIn("lesson.txt"));
    EXPECT_EQ(Entries(), (Strings{"5\n", "9\n"}));
    EXPECT_EQ(SelectedEntry(), 0);
    EXPECT_FALSE(dlg->Points().IsModified());
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(SettingsTest, FirstCloseWithoutMediaWritesTheDefaultsWhichTheNextStartLoads)
{
    Start();
    dlg->close();
    EXPECT_EQ(Settings(), kDefaultSettings);

    Start();
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(D:\\AllMediaFile.mp3)", "Stop"}));
    ExpectGroupEnabled(true);
    EXPECT_EQ(dlg->Points().FilePath(), "D:\\AllMediaFile.txt");
    EXPECT_EQ(Text(ControlId::MediaPath), "D:\\AllMediaFile.mp3");
}

TEST_F(SettingsTest, FiveLinesGiveTheDefaults)
{
    WriteSettings("4.5\r\n9.25\r\n2\r\n3\r\n1\r\n");
    Start();
    EXPECT_EQ(dlg->Segment().Start(), 0.0);
    EXPECT_EQ(dlg->Segment().Step(), 0.5);
    EXPECT_EQ(dlg->Points().LeadIn(), 0.33);
    EXPECT_EQ(Text(ControlId::MediaPath), "D:\\AllMediaFile.mp3");
    EXPECT_TRUE(player->Commands().empty());
    ExpectGroupEnabled(false);
}

TEST_F(SettingsTest, PathWithALineEndAfterItNamesTheRealFiles)
{
    std::string media = PathIn("a.mp3");
    WriteFileBytes(PathIn("a.txt"), "2.5\r\n");
    WriteSettings("0\r\n0\r\n0.5\r\n0.5\r\n0.33\r\n" + media + "\r\n");
    Start();
    EXPECT_EQ(dlg->Media().Path(), media);
    EXPECT_EQ(player->loadedPath, media);
    EXPECT_EQ(dlg->Points().FilePath(), PathIn("a.txt"));
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{2.5});
}

TEST_F(SettingsTest, MediaThatFailsToLoadKeepsTheOtherSettings)
{
    std::string media = PathIn("broken.mp3");
    WriteFileBytes(PathIn("broken.txt"), "3\r\n");
    WriteSettings("4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + media);
    Create();
    player->failOn = {FakePlayer::kLoad};
    dlg->OnInitDialog();

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "SetMediaFileName failed");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(Text(ControlId::MediaPath), media);
    EXPECT_EQ(Text(ControlId::StartTime), "4.5");
    EXPECT_EQ(Text(ControlId::EndTime), "9.25");
    EXPECT_EQ(dlg->Points().PointStep(), 0.75);
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{3});
    ExpectGroupEnabled(false);
    EXPECT_EQ(prompts.urls.size(), 1u);  // start-up went on to its end
}

// A file named on the command line ("Open with") plays in place of the
// settings' last media, which is not loaded at all; the rest of the settings
// hold.
TEST_F(SettingsTest, AFileNamedOnTheCommandLinePlaysInPlaceOfTheLastMedia)
{
    WriteFileBytes(PathIn("named.txt"), "7\r\n");
    WriteSettings("4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + PathIn("last.mp3"));
    environment.fileToOpen = PathIn("named.mp3");
    Start();
    EXPECT_EQ(player->Commands(), (Strings{"Stop", "SetMediaFileName(" + PathIn("named.mp3") + ")", "Play"}));
    EXPECT_EQ(Text(ControlId::MediaPath), PathIn("named.mp3"));
    EXPECT_EQ(Text(ControlId::TimeStep), "0.25");
    EXPECT_EQ(dlg->Points().PointStep(), 0.75);
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{7});
    ExpectGroupEnabled(true);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(SettingsTest, CloseWritesSettingsBeforeOfferingThePausePoints)
{
    Start();
    OpenMedia("lesson.mp3", std::nullopt);
    Click(ControlId::AddPoint);
    std::string settingsAtQuestion;
    prompts.whileBoxOpen = [&] { settingsAtQuestion = Settings(); };
    prompts.answers.push_back(BoxAnswer::No);
    dlg->close();
    EXPECT_EQ(settingsAtQuestion, "0.000000\r\n0.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\n" + PathIn("lesson.mp3"));
}

TEST_F(SettingsTest, FailedWriteIsReportedKeepsTheOldFileAndCloseGoesOn)
{
    WriteSettings("1\r\n2\r\n0.5\r\n0.5\r\n0.33\r\n/old.mp3");
    Start();
    {
        FullDisk disk(8);
        dlg->close();
    }
    EXPECT_EQ(Settings(), "1\r\n2\r\n0.5\r\n0.5\r\n0.33\r\n/old.mp3");
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Cannot save the settings in \"" + environment.settingsPath + "\": File too large");
    EXPECT_EQ(prompts.boxes[0].caption, "Kestwin Software Inc");
    EXPECT_FALSE(dlg->isVisible());

    // A settings folder that cannot be made: its parent is a regular file.
    environment.settingsPath = PathIn("ardeno-recorder.ini/inside/ardeno-recorder.ini");
    prompts.boxes.clear();
    Start();
    dlg->close();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Cannot save the settings in \"" + environment.settingsPath + "\": Not a directory");
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(SettingsTest, PerUserSettingsFolderIsMadeOnFirstClose)
{
    environment.settingsPath = PathIn("config/ardeno-recorder/ardeno-recorder.ini");
    Start();
    dlg->close();
    EXPECT_EQ(Settings(), kDefaultSettings);
}

// The settings beside an installed program start a user who has none; the
// user's own file is written, and read from then on.
TEST_F(SettingsTest, SettingsBesideAnInstalledProgramStartANewUserWhoseOwnFileIsWritten)
{
    const std::string beside = PathIn("usr-bin/ardeno-recorder.ini");
    const std::string besideText = "4.5\r\n9.25\r\n0.25\r\n0.75\r\n0.1\r\n" + PathIn("lesson.mp3");
    std::filesystem::create_directories(PathIn("usr-bin"));
    WriteFileBytes(beside, besideText);
    environment.initialSettingsPath = beside;
    environment.settingsPath = PathIn("config/ardeno-recorder/ardeno-recorder.ini");

    Start();
    EXPECT_EQ(Text(ControlId::StartTime), "4.5");
    EXPECT_EQ(dlg->Media().Path(), PathIn("lesson.mp3"));
    dlg->Segment().SetSegment(1, 2);
    dlg->close();
    EXPECT_EQ(Settings(), "1.000000\r\n2.000000\r\n0.250000\r\n0.750000\r\n0.100000\r\n" + PathIn("lesson.mp3"));
    EXPECT_EQ(ReadFileBytes(beside), besideText);

    Start();
    EXPECT_EQ(Text(ControlId::StartTime), "1");
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(SettingsTest, SameFileUnderACommaLocale)
{
    std::string media = PathIn("lesson.mp3");
    std::string saved = "4.500000\r\n9.250000\r\n0.250000\r\n0.125000\r\n0.330000\r\n" + media;
    WriteSettings(saved);
    CommaDecimalLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << CommaDecimalLocale::kMissing;

    Start();
    EXPECT_EQ(Text(ControlId::StartTime), "4.5");
    EXPECT_EQ(Text(ControlId::EndTime), "9.25");
    EXPECT_EQ(dlg->Points().PointStep(), 0.125);
    dlg->close();
    EXPECT_EQ(Settings(), saved);
}

} // namespace
