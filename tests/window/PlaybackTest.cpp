// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace {

constexpr ControlId kPlay = ControlId::Play;
constexpr ControlId kTopPlay = ControlId::TopPlay;
constexpr ControlId kPause = ControlId::Pause;
constexpr ControlId kRepeat = ControlId::Repeat;
constexpr ControlId kStop = ControlId::TopStop;
constexpr ControlId kMarkStart = ControlId::MarkStart;
constexpr ControlId kMarkEnd = ControlId::MarkEnd;
constexpr ControlId kStartEarlier = ControlId::StartEarlier;
constexpr ControlId kStartLater = ControlId::StartLater;
constexpr ControlId kEndEarlier = ControlId::EndEarlier;
constexpr ControlId kEndLater = ControlId::EndLater;

using Calls = std::vector<std::string>;

// A started window with a file playable as after a successful Open.
class PlaybackTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        dlg->EnablePlaybackControls(true);
    }

    void SetSegment(double start, double end) { dlg->Segment().SetSegment(start, end); }

    // Starts a repeat of [start, end] and forgets the calls it made.
    void Repeating(double start, double end)
    {
        SetSegment(start, end);
        Click(kRepeat);
        ASSERT_TRUE(dlg->IsTimerRunning(RepeatTimer));
        player->calls.clear();
    }

    bool GroupEnabled() const { return dlg->Control(kPlay)->isEnabled(); }
};

TEST_F(PlaybackTest, ArrowsMoveTheSegmentByTheStep)
{
    SetSegment(10, 10.2);
    Click(kStartLater);
    // The start passes the end, which is pushed along by one step.
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 10.5);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 10.7);
    EXPECT_EQ(Text(ControlId::StartTime), "10.5");
    EXPECT_EQ(Text(ControlId::EndTime), "10.7");

    SetSegment(10, 10.2);
    Click(kEndEarlier);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 9.7);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 9.5);
    EXPECT_EQ(Text(ControlId::StartTime), "9.5");
    EXPECT_EQ(Text(ControlId::EndTime), "9.7");

    // Meeting the other end exactly does not push it.
    SetSegment(10, 10.5);
    Click(kStartLater);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 10.5);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 10.5);
    Click(kEndLater);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 11.0);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 10.5);
    EXPECT_TRUE(player->calls.empty());
}

TEST_F(PlaybackTest, StartEarlierMayGoBelowZero)
{
    SetSegment(0.2, 5);
    Click(kStartEarlier);
    EXPECT_EQ(Text(ControlId::StartTime), "-0.3");
    EXPECT_EQ(Text(ControlId::EndTime), "5");
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), -0.3);
}

TEST_F(PlaybackTest, ArrowsUseTheStepInItsBox)
{
    SetSegment(4, 8);
    Edit(ControlId::TimeStep)->setText("2");
    Click(kStartEarlier);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 2.0);
    EXPECT_DOUBLE_EQ(dlg->Segment().Step(), 2.0);
}

TEST_F(PlaybackTest, LeavingATimeBoxTakesItsValue)
{
    SetSegment(1, 2);
    Edit(ControlId::StartTime)->setText("7.5");
    LoseFocus(ControlId::StartTime);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 7.5);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 2.0);
    Edit(ControlId::EndTime)->setText("9.25");
    LoseFocus(ControlId::EndTime);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 9.25);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 7.5);
}

TEST_F(PlaybackTest, PauseAndStopMakeThePositionTheEnd)
{
    SetSegment(3, 4);
    player->position = 33.25;
    Click(kPause);
    EXPECT_EQ(player->Commands(), Calls{"Pause"});
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 33.25);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 3.0);
    EXPECT_EQ(Text(ControlId::EndTime), "33.25");
    EXPECT_EQ(Text(ControlId::StartTime), "3");

    player->position = 40.5;
    Click(kStop);
    EXPECT_EQ(player->Commands(), (Calls{"Pause", "Stop"}));
    EXPECT_EQ(Text(ControlId::EndTime), "40.5");
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(PlaybackTest, MarkButtonsTakeThePosition)
{
    SetSegment(1, 2);
    player->position = 6.5;
    Click(kMarkStart);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 6.5);
    EXPECT_EQ(Text(ControlId::StartTime), "6.5");
    player->position = 9;
    Click(kMarkEnd);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 9.0);
    EXPECT_EQ(Text(ControlId::EndTime), "9");
    EXPECT_TRUE(player->Commands().empty());
}

TEST_F(PlaybackTest, RepeatPlaysTheSegmentOnceAndStopsAtItsEnd)
{
    dlg->StartTimer(PointTimer);
    SetSegment(10, 12.5);
    Click(kRepeat);
    EXPECT_EQ(player->Commands(), (Calls{"SetCurrentPosition(10.000000)", "Play"}));
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_FALSE(dlg->IsTimerRunning(PointTimer));

    player->calls.clear();
    player->position = 12.4;
    dlg->Tick(RepeatTimer);
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));

    player->position = 12.5;
    dlg->Tick(RepeatTimer);
    EXPECT_EQ(player->Commands(), Calls{"Stop"});
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));

    // Play goes on from the old end.
    player->calls.clear();
    Click(kTopPlay);
    EXPECT_EQ(player->Commands(),
              (Calls{"SetMediaFileName(D:\\AllMediaFile.mp3)", "SetCurrentPosition(12.500000)", "Play"}));
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 12.5);
    EXPECT_EQ(Text(ControlId::StartTime), "12.5");
    EXPECT_TRUE(player->playing);
}

TEST_F(PlaybackTest, InfinitelyLoopsTheSegment)
{
    static_cast<QAbstractButton*>(dlg->Control(ControlId::Infinitely))->setChecked(true);
    Repeating(2, 3);
    player->position = 3.05;
    dlg->Tick(RepeatTimer);
    EXPECT_EQ(player->Commands(), Calls{"SetCurrentPosition(2.000000)"});
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
}

TEST_F(PlaybackTest, PauseWhileRepeatingStopsAtTheNextTick)
{
    Repeating(5, 20);
    player->position = 8;
    Click(kPause);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 8.0);
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));

    dlg->Tick(RepeatTimer);
    EXPECT_EQ(player->Commands(), (Calls{"Pause", "Stop"}));
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));

    player->calls.clear();
    Click(kPlay);
    EXPECT_EQ(player->Commands(),
              (Calls{"SetMediaFileName(D:\\AllMediaFile.mp3)", "SetCurrentPosition(8.000000)", "Play"}));
    EXPECT_EQ(Text(ControlId::StartTime), "8");
}

TEST_F(PlaybackTest, ANewFileWhileRepeatingStopsAtTheNextTick)
{
    Repeating(5, 20);
    // What opening a file does to the segment and the player.
    SetSegment(0, 0);
    player->SetMediaFileName("/media/other.mp3");
    player->Play();
    player->calls.clear();

    dlg->Tick(RepeatTimer);
    EXPECT_EQ(player->Commands(), Calls{"Stop"});
    EXPECT_FALSE(player->playing);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
}

TEST_F(PlaybackTest, PlayKillsTheRepeatAndPointTimers)
{
    Repeating(1, 2);
    dlg->StartTimer(PointTimer);
    Click(kPlay);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_FALSE(dlg->IsTimerRunning(PointTimer));
}

// A fault at each player step of Play: what has changed by then, the two boxes
// in order, the group disabled only after them.
class PlayFaultTest : public PlaybackTest, public testing::WithParamInterface<const char*> {};

TEST_P(PlayFaultTest, ReportsThenDisablesTheGroup)
{
    const std::string failing = GetParam();
    Repeating(3, 7);
    dlg->StartTimer(PointTimer);
    player->failOn = {failing};
    player->faultCode = 0xe0a00002;
    player->faultAddress = 0x40402;
    std::vector<bool> groupEnabledDuringBoxes;
    prompts.whileBoxOpen = [&] { groupEnabledDuringBoxes.push_back(GroupEnabled()); };

    Click(kPlay);

    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_FALSE(dlg->IsTimerRunning(PointTimer));
    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[0].caption, "Exception");
    EXPECT_EQ(prompts.boxes[0].text, "Code = e0a00002, Address = 0000000000040402");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(prompts.boxes[1].caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes[1].text, "Error Media Types");
    EXPECT_EQ(prompts.boxes[1].icon, BoxIcon::Stop);
    EXPECT_EQ(groupEnabledDuringBoxes, (std::vector<bool>{true, true}));
    for (ControlId id : kPlaybackControlGroup)
        EXPECT_FALSE(dlg->Control(id)->isEnabled()) << id;
    for (ControlId id : {ControlId::Open, ControlId::TopPlay, ControlId::TopStop, ControlId::StartEarlier, ControlId::MarkStart, ControlId::Record})
        EXPECT_TRUE(dlg->Control(id)->isEnabled()) << id;

    // The start box is filled in only after Play succeeded.
    EXPECT_EQ(Text(ControlId::StartTime), "3");
    if (failing == FakePlayer::kLoad)
        EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 3.0);
    else
        EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 7.0);
}

INSTANTIATE_TEST_SUITE_P(EachStep, PlayFaultTest,
                         testing::Values(FakePlayer::kLoad, FakePlayer::kSetPosition, FakePlayer::kPlay));

TEST_F(PlaybackTest, FaultInPauseKeepsTheRepeatRunningWhileBoxesAreOpen)
{
    Repeating(1, 5);
    player->position = 6;
    player->failOn = {FakePlayer::kPause};
    // A tick arrives while the first box is open: the segment-end check runs.
    prompts.whileBoxOpen = [&] {
        prompts.whileBoxOpen = nullptr;
        dlg->Tick(RepeatTimer);
    };

    Click(kPause);

    EXPECT_EQ(prompts.events, (Calls{"box:Code = 80004005, Address = 0000000000001234", "box:Error Media Types"}));
    EXPECT_EQ(prompts.boxes[1].icon, BoxIcon::Information);
    EXPECT_EQ(player->Commands(), (Calls{"Pause", "Stop"}));
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 5.0);
    EXPECT_FALSE(GroupEnabled());
}

TEST_F(PlaybackTest, FaultInStopLeavesTheRepeatTimerRunning)
{
    Repeating(1, 5);
    player->failOn = {FakePlayer::kStop};
    Click(kStop);
    EXPECT_EQ(prompts.BoxTexts(), (Calls{"Code = 80004005, Address = 0000000000001234", "Error Media Types"}));
    EXPECT_EQ(prompts.boxes[1].icon, BoxIcon::Information);
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_FALSE(GroupEnabled());
}

TEST_F(PlaybackTest, FaultInRepeatKillsItsTimerBeforeTheOnlyBox)
{
    SetSegment(2, 4);
    player->failOn = {FakePlayer::kPlay};
    std::vector<bool> timerRunningDuringBox;
    prompts.whileBoxOpen = [&] { timerRunningDuringBox.push_back(dlg->IsTimerRunning(RepeatTimer)); };

    Click(kRepeat);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes[0].text, "Error Media Types");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(timerRunningDuringBox, std::vector<bool>{false});
    EXPECT_FALSE(GroupEnabled());
}

TEST_F(PlaybackTest, FaultInAMarkButtonIsIgnored)
{
    SetSegment(1, 2);
    player->failOn = {FakePlayer::kGetPosition};
    Click(kMarkStart);
    Click(kMarkEnd);
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), 1.0);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 2.0);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_TRUE(GroupEnabled());
}

TEST_F(PlaybackTest, FaultInTheSegmentEndCheckIsReportedOnce)
{
    Repeating(1, 5);
    player->failOn = {FakePlayer::kGetPosition};
    // Ticks keep arriving while the box is open (a few, so that a fault kept
    // alive fails the test instead of nesting boxes without end).
    int ticksWhileOpen = 0;
    prompts.whileBoxOpen = [&] {
        if (dlg->IsTimerRunning(RepeatTimer) && ticksWhileOpen++ < 3)
            dlg->Tick(RepeatTimer);
    };

    dlg->Tick(RepeatTimer);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "GetCurrentPosition failed");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
}

// While a segment plays the player knows its end, set before the seek that
// starts it; the timer's check still stops it, and then the end is gone.
TEST_F(PlaybackTest, RepeatGivesThePlayerTheSegmentEndUntilTheCheckStops)
{
    SetSegment(10, 12.5);
    Click(kRepeat);
    EXPECT_EQ(player->calls,
              (Calls{"SetSegmentEnd(12.500000)", "SetCurrentPosition(10.000000)", "Play"}));
    EXPECT_EQ(player->segmentEnd, 12.5);

    // The player holds at the end, reading it exactly.
    player->position = 12.5;
    dlg->Tick(RepeatTimer);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_EQ(player->segmentEnd, std::nullopt);
    EXPECT_EQ(player->Commands(), (Calls{"SetCurrentPosition(10.000000)", "Play", "Stop"}));
}

TEST_F(PlaybackTest, InfinitelyKeepsTheSegmentEnd)
{
    static_cast<QAbstractButton*>(dlg->Control(ControlId::Infinitely))->setChecked(true);
    Repeating(2, 3);
    player->position = 3;
    dlg->Tick(RepeatTimer);
    EXPECT_EQ(player->segmentEnd, 3.0);
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
}

// Every way of moving the end while the segment plays reaches the player.
TEST_F(PlaybackTest, MovingTheEndWhileRepeatingMovesThePlayersEnd)
{
    Repeating(10, 12);
    Click(kEndLater);
    EXPECT_EQ(player->segmentEnd, 12.5);
    Click(kEndEarlier);
    EXPECT_EQ(player->segmentEnd, 12.0);
    Click(kStartLater);
    EXPECT_EQ(player->segmentEnd, 12.0);
    SetSegment(11.9, 12);
    Click(kStartLater);
    EXPECT_EQ(player->segmentEnd, 12.5);

    Edit(ControlId::EndTime)->setText("13.25");
    LoseFocus(ControlId::EndTime);
    EXPECT_EQ(player->segmentEnd, 13.25);

    player->position = 11.75;
    Click(kMarkEnd);
    EXPECT_EQ(player->segmentEnd, 11.75);
    player->position = 11.5;
    Click(kPause);
    EXPECT_EQ(player->segmentEnd, 11.5);
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    // The existing playback tests see none of these calls among the commands.
    EXPECT_EQ(player->Commands(), Calls{"Pause"});
}

TEST_F(PlaybackTest, MovingTheEndWithNoSegmentPlayingLeavesThePlayerAlone)
{
    SetSegment(10, 12);
    Click(kEndLater);
    Click(kEndEarlier);
    Click(kStartLater);
    player->position = 11;
    Click(kMarkEnd);
    Click(kPause);
    Click(kStop);
    Edit(ControlId::EndTime)->setText("13.25");
    LoseFocus(ControlId::EndTime);
    EXPECT_EQ(player->segmentEnd, std::nullopt);
    for (const std::string& call : player->calls)
        EXPECT_NE(call.rfind(FakePlayer::kSetSegmentEnd, 0), 0u) << call;
}

// A failed Mark end keeps the segment; a fault in setting the end in Repeat is
// Repeat's own fault, which takes the end away again.
TEST_F(PlaybackTest, FaultsInSettingTheEnd)
{
    Repeating(1, 5);
    player->position = 3;
    player->failOn = {FakePlayer::kSetSegmentEnd};
    Click(kMarkEnd);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), 5.0);
    EXPECT_EQ(Text(ControlId::EndTime), "5");
    EXPECT_TRUE(prompts.boxes.empty());

    Click(kRepeat);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
    EXPECT_EQ(prompts.BoxTexts(), Calls{"Error Media Types"});
    EXPECT_EQ(player->segmentEnd, std::nullopt);
    EXPECT_EQ(player->Commands(), Calls{});
}

// Play and Open load the media, which forgets the end.
TEST_F(PlaybackTest, PlayWhileRepeatingPlaysOnWithoutTheEnd)
{
    Repeating(1, 2);
    Click(kPlay);
    EXPECT_EQ(player->segmentEnd, std::nullopt);
    EXPECT_TRUE(player->playing);
}

using RepeatAndPausePointsTest = WindowTest;

TEST_F(RepeatAndPausePointsTest, ReplayPointTakesTheSegmentEndAwayBeforeItSeeks)
{
    Start();
    OpenMedia("lesson.mp3", "5.000000\r\n9.000000\r\n");
    dlg->Segment().SetSegment(6, 7);
    Click(kRepeat);
    ASSERT_EQ(player->segmentEnd, 7.0);
    SelectEntry(0);
    player->calls.clear();

    Click(ControlId::ReplayPoint);
    EXPECT_EQ(player->calls, (Calls{"SetSegmentEnd()", "SetCurrentPosition(5.000000)", "Play"}));
    EXPECT_EQ(player->segmentEnd, std::nullopt);
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));
}

} // namespace
