// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"

#include <QLineEdit>

TEST_F(WindowTest, FirstStartShowsTheDefaults)
{
    Start();
    EXPECT_EQ(Text(ControlId::MediaPath), "D:\\AllMediaFile.mp3");
    EXPECT_EQ(Text(ControlId::StartTime), "0");
    EXPECT_EQ(Text(ControlId::EndTime), "0");
    EXPECT_EQ(Text(ControlId::TimeStep), "0.5");
    EXPECT_EQ(Text(ControlId::PointStep), "0.5");
    EXPECT_EQ(Text(ControlId::LeadIn), "0.33");
    EXPECT_EQ(dlg->Segment().Step(), 0.5);
    EXPECT_EQ(dlg->Points().PointStep(), 0.5);
    EXPECT_EQ(dlg->Points().LeadIn(), 0.33);
    EXPECT_EQ(dlg->Points().LastPointIndex(), -1);
    EXPECT_FALSE(dlg->Points().IsModified());
    EXPECT_EQ(dlg->Points().FilePath(), "D:\\AllMediaFile1.txt");

    for (ControlId id : kPlaybackControlGroup)
        EXPECT_FALSE(dlg->Control(id)->isEnabled()) << id;
    for (ControlId id : {ControlId::Open, ControlId::TopPlay, ControlId::TopStop, ControlId::StartEarlier, ControlId::StartLater, ControlId::EndEarlier, ControlId::EndLater, ControlId::MarkStart, ControlId::MarkEnd, ControlId::SaveAs, ControlId::Record, ControlId::PauseRecording, ControlId::StopRecording, ControlId::Exit, ControlId::About})
        EXPECT_TRUE(dlg->Control(id)->isEnabled()) << id;

    // The player is given no file, and the home page is asked for once.
    EXPECT_TRUE(player->Commands().empty());
    ASSERT_EQ(prompts.urls.size(), 1u);
    EXPECT_EQ(prompts.urls[0], environment.homePageUrl);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(WindowTest, StartsWithNoTimerAndEmptyRecordingLabels)
{
    Start();
    for (int id : {RecordTimer, RepeatTimer, PointTimer})
        EXPECT_FALSE(dlg->IsTimerRunning(id)) << id;
    EXPECT_TRUE(dlg->Control(ControlId::RecTime)->property("text").toString().isEmpty());
    EXPECT_TRUE(dlg->Control(ControlId::FileSize)->property("text").toString().isEmpty());
}

TEST_F(WindowTest, HiddenControlsExistButAreNotShown)
{
    Start();
    for (ControlId id : {ControlId::TimeStep, ControlId::PointStep, ControlId::LeadIn, ControlId::PointList, ControlId::SavePoints, ControlId::AddPoint, ControlId::DeletePoint, ControlId::PointEarlier, ControlId::PointLater, ControlId::ReplayPoint, ControlId::NextPoint, ControlId::Infinitely}) {
        ASSERT_NE(dlg->Control(id), nullptr) << id;
        EXPECT_FALSE(dlg->Control(id)->isVisible()) << id;
    }
    for (ControlId id : {ControlId::Player, ControlId::MediaPath, ControlId::StartTime, ControlId::EndTime, ControlId::Open, ControlId::Play, ControlId::TopPlay, ControlId::TopStop, ControlId::About, ControlId::Exit})
        EXPECT_TRUE(dlg->Control(id)->isVisible()) << id;
    EXPECT_EQ(dlg->windowTitle(), QString("Ardeno Audio Recorder"));
}
