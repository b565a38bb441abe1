// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kReplaceQuestion = "File has been，Cover It？";
constexpr const char* kSavedText = "声音的暂停点文件保存完毕.";

// A window with "lesson.mp3" open, its points at 5, 9 and 14 seconds, and the
// player's calls of the opening forgotten.
class PausePointCommandsTest : public WindowTest {
protected:
    void OpenFiveNineFourteen()
    {
        Start();
        OpenMedia("lesson.mp3", "5.000000\r\n9.000000\r\n14.000000\r\n");
        player->calls.clear();
    }

    void SetInfinitely(bool checked) { static_cast<QAbstractButton*>(dlg->Control(ControlId::Infinitely))->setChecked(checked); }
};

TEST_F(PausePointCommandsTest, NextPlaysTheFollowingSegmentAndTheCheckStopsItAtItsEnd)
{
    OpenFiveNineFourteen();
    ASSERT_EQ(SelectedEntry(), 0);
    dlg->StartTimer(RepeatTimer);

    Click(ControlId::NextPoint);

    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(9.000000)", "Play"}));
    EXPECT_TRUE(dlg->IsTimerRunning(PointTimer));
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));  // Next leaves it alone

    player->position = 13.9;
    dlg->Tick(PointTimer);
    EXPECT_TRUE(player->playing);
    EXPECT_TRUE(dlg->IsTimerRunning(PointTimer));

    player->position = 14.0;
    dlg->Tick(PointTimer);
    EXPECT_FALSE(player->playing);
    EXPECT_FALSE(dlg->IsTimerRunning(PointTimer));
    EXPECT_EQ(player->Commands().back(), "Stop");
}

TEST_F(PausePointCommandsTest, NextOnTheLastEntryDoesNothingAndWithoutSelectionStartsAtTheFirst)
{
    OpenFiveNineFourteen();
    SelectEntry(2);
    Click(ControlId::NextPoint);
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_FALSE(dlg->IsTimerRunning(PointTimer));
    EXPECT_EQ(SelectedEntry(), 2);

    SelectEntry(-1);
    Click(ControlId::NextPoint);
    EXPECT_EQ(SelectedEntry(), 0);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(5.000000)", "Play"}));
}

TEST_F(PausePointCommandsTest, AddAppendsThePositionLessTheLeadIn)
{
    OpenFiveNineFourteen();
    player->position = 12.5;
    Click(ControlId::AddPoint);
    EXPECT_EQ(Entries().back(), "12.170000");
    EXPECT_EQ(Entries().size(), 4u);
    EXPECT_DOUBLE_EQ(dlg->Points().Times().back(), 12.17);
    EXPECT_EQ(dlg->Points().LastPointIndex(), 3);
    EXPECT_EQ(SelectedEntry(), 3);
    EXPECT_TRUE(dlg->Points().IsModified());

    // New points go to the end whatever their time; the lead-in is read from its box.
    Edit(ControlId::LeadIn)->setText("1");
    player->position = 0.5;
    Click(ControlId::AddPoint);
    EXPECT_EQ(Entries().back(), "-0.500000");
    EXPECT_EQ(SelectedEntry(), 4);
}

TEST_F(PausePointCommandsTest, AddBeyondThreeHundredPointsKeepsEveryOne)
{
    Start();
    OpenMedia("lesson.mp3", std::nullopt);
    for (int i = 0; i < 320; ++i) {
        player->position = i + 0.33;
        Click(ControlId::AddPoint);
    }
    ASSERT_EQ(dlg->Points().Times().size(), 320u);
    EXPECT_EQ(Entries().size(), 320u);
    EXPECT_EQ(Entries()[319], "319.000000");

    // Saved and opened again, all of them come back.
    Click(ControlId::SavePoints);
    OpenMedia("lesson.mp3", std::nullopt);
    ASSERT_EQ(dlg->Points().Times().size(), 320u);
    EXPECT_EQ(Entries()[319], "319.000000\n");
}

TEST_F(PausePointCommandsTest, DeleteSelectsTheEntryThatTookItsPlaceOrTheNewLast)
{
    OpenFiveNineFourteen();
    SelectEntry(1);
    Click(ControlId::DeletePoint);
    EXPECT_EQ(Entries(), (Strings{"5.000000\n", "14.000000\n"}));
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{5, 14}));
    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_TRUE(dlg->Points().IsModified());

    OpenFiveNineFourteen();  // a new run with the three points of the file
    SelectEntry(2);
    Click(ControlId::DeletePoint);
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{5, 9}));
    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_TRUE(dlg->Points().IsModified());

    SelectEntry(-1);
    Click(ControlId::DeletePoint);
    EXPECT_EQ(dlg->Points().Times().size(), 2u);
}

TEST_F(PausePointCommandsTest, DeletingTheOnlyEntryLeavesNoSelectionAndTheFlagAsItWas)
{
    Start();
    OpenMedia("lesson.mp3", "7\r\n");
    ASSERT_FALSE(dlg->Points().IsModified());
    Click(ControlId::DeletePoint);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(dlg->Points().LastPointIndex(), -1);
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_FALSE(dlg->Points().IsModified());
}

TEST_F(PausePointCommandsTest, NudgesMoveTheSelectedPointByTheStepWithoutSorting)
{
    OpenFiveNineFourteen();
    Edit(ControlId::PointStep)->setText("6");
    SelectEntry(1);
    Click(ControlId::PointLater);
    EXPECT_EQ(Entries(), (Strings{"5.000000\n", "15.000000", "14.000000\n"}));
    EXPECT_EQ(dlg->Points().Times()[1], 15.0);
    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_TRUE(dlg->Points().IsModified());

    SelectEntry(0);
    Click(ControlId::PointEarlier);
    EXPECT_EQ(Entries()[0], "-1.000000");
    EXPECT_EQ(SelectedEntry(), 0);

    SelectEntry(-1);
    Click(ControlId::PointEarlier);
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{-1, 15, 14}));
}

TEST_F(PausePointCommandsTest, ReplayPlaysTheSelectedSegmentFromTheButtonAndTheList)
{
    OpenFiveNineFourteen();
    dlg->StartTimer(RepeatTimer);
    SelectEntry(1);
    Click(ControlId::ReplayPoint);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(9.000000)", "Play"}));
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_TRUE(dlg->IsTimerRunning(PointTimer));

    // A double-click selects the entry, then reports itself.
    player->calls.clear();
    SelectEntry(2);
    auto* list = static_cast<QListWidget*>(Control(ControlId::PointList));
    emit list->itemDoubleClicked(list->item(2));
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(14.000000)", "Play"}));

    player->calls.clear();
    SelectEntry(-1);
    Click(ControlId::ReplayPoint);
    EXPECT_TRUE(player->Commands().empty());
}

TEST_F(PausePointCommandsTest, AfterRecordPlaybackStopsAtTheNextPointHoweverItStarted)
{
    Start();
    OpenMedia("lesson.mp3", "5\r\n9\r\n");
    Edit(ControlId::OutputFile)->setText(QString::fromStdString(PathIn("talk.mp3")));
    Click(ControlId::Record);  // Record: its timer runs until Exit,
    Click(ControlId::StopRecording);  // also after the recording stopped
    ASSERT_TRUE(dlg->IsTimerRunning(RecordTimer));

    for (ControlId playButton : {ControlId::TopPlay, ControlId::Repeat}) {
        Click(playButton);
        ASSERT_TRUE(player->playing) << playButton;
        player->position = 8.95;
        dlg->Tick(RecordTimer);
        EXPECT_TRUE(player->playing) << playButton;
        player->position = 9.0;
        dlg->Tick(RecordTimer);
        EXPECT_FALSE(player->playing) << playButton;
        EXPECT_EQ(player->Commands().back(), "Stop");
    }
}

TEST_F(PausePointCommandsTest, CheckWithoutSelectionComparesWithTheFirstPointAndNeverLoops)
{
    OpenFiveNineFourteen();
    SetInfinitely(true);
    SelectEntry(-1);
    player->playing = true;
    player->position = 4.9;
    dlg->Tick(PointTimer);
    EXPECT_TRUE(player->Commands().empty());

    player->position = 5.0;
    dlg->Tick(PointTimer);
    // No segment is selected to play again, so playback ends.
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
}

TEST_F(PausePointCommandsTest, CheckWithInfinitelyPlaysTheSelectedSegmentAgain)
{
    OpenFiveNineFourteen();
    SetInfinitely(true);
    dlg->StartTimer(PointTimer);
    player->position = 9.0;
    dlg->Tick(PointTimer);
    EXPECT_EQ(player->Commands(), Strings{"SetCurrentPosition(5.000000)"});
    EXPECT_TRUE(dlg->IsTimerRunning(PointTimer));
}

TEST_F(PausePointCommandsTest, CheckReadsNothingWhenTheLastOrNoPointIsSelected)
{
    OpenFiveNineFourteen();
    SelectEntry(2);
    player->position = 100;
    dlg->Tick(PointTimer);
    EXPECT_TRUE(player->calls.empty());

    Start();
    OpenMedia("empty.mp3", "");
    player->calls.clear();
    dlg->Tick(PointTimer);
    dlg->Tick(RecordTimer);
    EXPECT_TRUE(player->calls.empty());
}

TEST_F(PausePointCommandsTest, SaveFileAsksBeforeReplacingAndNoWritesNothing)
{
    OpenFiveNineFourteen();
    Click(ControlId::AddPoint);
    prompts.answers.push_back(BoxAnswer::No);
    Click(ControlId::SavePoints);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, kReplaceQuestion);
    EXPECT_EQ(prompts.boxes[0].caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::None);
    EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "5.000000\r\n9.000000\r\n14.000000\r\n");
    EXPECT_TRUE(dlg->Points().IsModified());

    prompts.answers.push_back(BoxAnswer::Yes);
    Click(ControlId::SavePoints);
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "5.000000\r\n9.000000\r\n14.000000\r\n-0.330000\r\n");
    ASSERT_EQ(prompts.boxes.size(), 3u);
    EXPECT_EQ(prompts.boxes[2].text, kSavedText);
    EXPECT_EQ(prompts.boxes[2].caption, environment.appName);
    EXPECT_EQ(prompts.boxes[2].icon, BoxIcon::None);
    EXPECT_EQ(prompts.boxes[2].buttons, BoxButtons::Ok);
    EXPECT_FALSE(dlg->Points().IsModified());
}

TEST_F(PausePointCommandsTest, SaveFileWithoutAFileAsksNothing)
{
    Start();
    OpenMedia("lesson.mp3", std::nullopt);
    player->position = 1.33;
    Click(ControlId::AddPoint);
    Click(ControlId::SavePoints);
    EXPECT_EQ(prompts.BoxTexts(), Strings{kSavedText});
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "1.000000\r\n");
}

TEST_F(PausePointCommandsTest, FailedSaveFileShowsTheReasonInsteadOfSuccess)
{
    Start();
    std::filesystem::create_directory(PathIn("lesson.txt"));
    OpenMedia("lesson.mp3", std::nullopt);
    Click(ControlId::AddPoint);
    prompts.answers.push_back(BoxAnswer::Yes);
    Click(ControlId::SavePoints);
    EXPECT_EQ(prompts.BoxTexts(),
              (Strings{kReplaceQuestion, "Cannot save the pause points in \"" + PathIn("lesson.txt") + "\": Is a directory"}));
    EXPECT_EQ(prompts.boxes[1].icon, BoxIcon::Exclamation);
    EXPECT_TRUE(dlg->Points().IsModified());
}

} // namespace
