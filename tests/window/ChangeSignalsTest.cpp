// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QSignalSpy>

// The segment, the pause points and the loaded media announce their changes,
// so that a view can follow them without asking the window.

namespace {

class ChangeSignalsTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        dlg->EnablePlaybackControls(true);
    }

    // The segments announced since the spy was made, as (start, end).
    static std::vector<std::pair<double, double>> Segments(const QSignalSpy& spy)
    {
        std::vector<std::pair<double, double>> segments;
        for (const QList<QVariant>& arguments : spy)
            segments.emplace_back(arguments.at(0).toDouble(), arguments.at(1).toDouble());
        return segments;
    }
};

TEST_F(ChangeSignalsTest, EveryCommandThatMovesTheSegmentAnnouncesItOnce)
{
    QSignalSpy spy(&dlg->Segment(), &SegmentRepeat::segmentChanged);
    dlg->Segment().SetSegment(10, 12);
    Click(ControlId::EndLater);
    Click(ControlId::StartEarlier);
    player->position = 15;
    Click(ControlId::Pause);
    player->position = 11;
    Click(ControlId::MarkStart);
    Edit(ControlId::EndTime)->setText("20");
    LoseFocus(ControlId::EndTime);
    Click(ControlId::TopPlay); // plays on: the start becomes the end
    using Segment = std::pair<double, double>;
    EXPECT_EQ(Segments(spy), (std::vector<Segment>{{10, 12}, {10, 12.5}, {9.5, 12.5}, {9.5, 15}, {11, 15},
                                                  {11, 20}, {20, 20}}));

    // What changes nothing announces nothing: a repeat, a failed exchange.
    spy.clear();
    Click(ControlId::Repeat);
    Edit(ControlId::StartTime)->setText("x");
    LoseFocus(ControlId::StartTime);
    EXPECT_TRUE(spy.isEmpty());
}

TEST_F(ChangeSignalsTest, OpenAnnouncesTheMediaTheFreshSegmentAndItsPoints)
{
    dlg->Segment().SetSegment(3, 4);
    QSignalSpy media(&dlg->Opening(), &MediaSession::mediaLoaded);
    QSignalSpy segment(&dlg->Segment(), &SegmentRepeat::segmentChanged);
    QSignalSpy points(&dlg->Points(), &PausePoints::pointsChanged);

    std::string path = OpenMedia("lesson.mp3", "5\r\n9\r\n");

    ASSERT_EQ(media.size(), 1);
    EXPECT_EQ(media.at(0).at(0).value<std::string>(), path);
    EXPECT_EQ(Segments(segment), (std::vector<std::pair<double, double>>{{0, 0}}));
    ASSERT_EQ(points.size(), 1);
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{5, 9}));

    // A load that fails announces no media.
    player->failOn = {FakePlayer::kLoad};
    OpenMedia("broken.mp3");
    EXPECT_EQ(media.size(), 1);
}

TEST_F(ChangeSignalsTest, EditingThePointsAnnouncesEachChange)
{
    OpenMedia("lesson.mp3", "5\r\n9\r\n");
    QSignalSpy spy(&dlg->Points(), &PausePoints::pointsChanged);
    player->position = 7.33;
    Click(ControlId::AddPoint);
    EXPECT_EQ(spy.size(), 1);
    Click(ControlId::PointLater);
    EXPECT_EQ(spy.size(), 2);
    Click(ControlId::DeletePoint);
    EXPECT_EQ(spy.size(), 3);
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{5, 9}));
    // Replaying a point changes none.
    Click(ControlId::ReplayPoint);
    EXPECT_EQ(spy.size(), 3);
}

TEST_F(ChangeSignalsTest, TheRememberedMediaIsAnnouncedWhenItLoadsAtStartUp)
{
    const std::string media = PathIn("lesson.mp3");
    WriteFileBytes(environment.settingsPath, "1\r\n2\r\n0.5\r\n0.5\r\n0.33\r\n" + media);
    Create();
    QSignalSpy spy(&dlg->Opening(), &MediaSession::mediaLoaded);
    dlg->OnInitDialog();
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<std::string>(), media);
}

} // namespace

namespace {

TEST_F(ChangeSignalsTest, TheSelectedPausePointIsAnnouncedWhenAnotherIs)
{
    QSignalSpy spy(&dlg->Points(), &PausePoints::selectionChanged);
    OpenMedia("lesson.mp3", "5\r\n9\r\n");
    Click(ControlId::NextPoint);
    Click(ControlId::NextPoint); // the last one is selected: nothing moves
    Click(ControlId::DeletePoint);
    Click(ControlId::DeletePoint);
    std::vector<int> selected;
    for (const QList<QVariant>& arguments : spy)
        selected.push_back(arguments.at(0).toInt());
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 0, -1}));

    // A file without points selects none, and says so only when that is news.
    spy.clear();
    OpenMedia("other.mp3");
    EXPECT_TRUE(spy.isEmpty());
}

TEST_F(ChangeSignalsTest, ThePlayerControlAnnouncesPlaybackAlsoWhenItEndsByItself)
{
    CMediaplayer1& control = dlg->Player();
    QSignalSpy states(&control, &CMediaplayer1::stateChanged);
    QSignalSpy seeks(&control, &CMediaplayer1::seeked);
    dlg->Segment().SetSegment(2, 5);

    Click(ControlId::TopPlay); // loads (paused), seeks to the end, plays
    Click(ControlId::Pause);
    Click(ControlId::TopStop);
    std::vector<PlaybackState> announced;
    for (const QList<QVariant>& arguments : states)
        announced.push_back(arguments.at(0).value<PlaybackState>());
    EXPECT_EQ(announced, (std::vector<PlaybackState>{PlaybackState::Paused, PlaybackState::Playing,
                                                     PlaybackState::Paused, PlaybackState::Stopped}));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_DOUBLE_EQ(seeks.at(0).at(0).toDouble(), 5);

    // Playback that halts by itself (the end of the media) is noticed too.
    Click(ControlId::TopPlay);
    states.clear();
    player->playing = false;
    player->stopped = true;
    ASSERT_TRUE(states.wait(1000));
    EXPECT_EQ(states.at(0).at(0).value<PlaybackState>(), PlaybackState::Stopped);
}

} // namespace
