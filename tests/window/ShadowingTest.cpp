// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "window/commands/WindowCommands.h"
#include "window/sentences/DrillDialog.h"
#include "window/sentences/SentenceWork.h"
#include "window/shadowing/Shadowing.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>
#include <filesystem>

// Shadowing with the fake player, profile and take engines: two sentences,
// found at 0.39-1.51 and 1.69-2.81 s. The test plays each sentence to its end
// by moving the fake player past it and letting the repeat's check see it,
// and ends each take and its playback as the engines would.

namespace {

using Strings = std::vector<std::string>;
using Outcome = TakeRecorder::Outcome;
using Phase = Shadowing::Phase;

const TimeSpan kFirst{0.39, 1.51};
const TimeSpan kSecond{1.69, 2.81};

class ShadowingTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        media = OpenMedia("lesson.mp3");
        profiler->Speak({{0.5, 1.4}, {1.8, 2.7}}, 3);
        player->calls.clear();
    }

    Shadowing& Shadow() const { return dlg->Shadow(); }
    bool Drilling() const { return dlg->Sentences().Drilling().IsRunning(); }
    std::string TakeOf(const TimeSpan& sentence) const { return Shadow().TakePath(sentence); }

    void Drill(DrillSettings settings)
    {
        prompts.drillAnswers.push_back(settings);
        MenuCommand("Drill...")->trigger();
        ASSERT_TRUE(Drilling());
    }

    // The sentence playing now reaches its end.
    void PlayToTheEnd()
    {
        player->position = dlg->Segment().End();
        dlg->Tick(RepeatTimer);
    }

    // The positions the player was sent to since the last call.
    Strings Starts()
    {
        Strings starts = player->Seeks();
        player->calls.clear();
        return starts;
    }

    std::string media;
};

// Play, record, silence, playback, the sentence again, next.
TEST_F(ShadowingTest, EachPlayIsFollowedByATakeItsPlaybackAndTheSentenceAgain)
{
    Drill(DrillSettings{1, 1, true, true, true});
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(0.390000)"});
    // Nothing is recorded while the sentence plays, and the pause gives way
    // to the take.
    QTest::qWait(50);
    EXPECT_TRUE(takeRecorder->calls.empty());
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::Idle);

    PlayToTheEnd();
    EXPECT_EQ(takeRecorder->calls, Strings{"Record(" + media + " takes/000000.390-000001.510.mp3, 4.240000)"});
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::Recording);
    EXPECT_EQ(dlg->Waveform().Notice(), QString("Your turn: say the sentence"));

    takeRecorder->End(Outcome::Kept);
    EXPECT_TRUE(dlg->Waveform().Notice().isEmpty());
    EXPECT_EQ(takePlayer->calls, Strings{"Play(" + TakeOf(kFirst) + ")"});
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::PlayingTake);
    EXPECT_EQ(Shadow().Takes(), std::vector<TimeSpan>{kFirst});
    EXPECT_TRUE(Starts().empty());

    takePlayer->Finish();
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::ReplayingSentence);
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(0.390000)"});
    PlayToTheEnd();
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::Idle);
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(1.690000)"});

    // Nothing said: nothing to play back, and no take is kept.
    PlayToTheEnd();
    ASSERT_EQ(takeRecorder->calls.size(), 2u);
    EXPECT_EQ(takeRecorder->calls[1], "Record(" + TakeOf(kSecond) + ", 4.240000)");
    takeRecorder->End(Outcome::NoSpeech);
    EXPECT_EQ(takePlayer->calls.size(), 1u);
    EXPECT_EQ(Shadow().Takes(), std::vector<TimeSpan>{kFirst});
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(1.690000)"});
    PlayToTheEnd();
    EXPECT_FALSE(Drilling());
    EXPECT_TRUE(prompts.boxes.empty());
}

// Without "again", the next play follows the take's playback at once; each
// sentence is recorded after each of its plays. A take may last twice as long
// as the sentence was heard, at the speed it played, and 2 s.
TEST_F(ShadowingTest, RepeatsRecordATakeAfterEachPlay)
{
    dlg->Speed().SetSpeed(0.5);
    Drill(DrillSettings{2, 0, false, true, false});
    for (int play = 0; play < 2; ++play) {
        EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(0.390000)"});
        PlayToTheEnd();
        takeRecorder->End(Outcome::Kept);
        takePlayer->Finish();
    }
    EXPECT_FALSE(Drilling());
    EXPECT_EQ(takeRecorder->calls, Strings(2, "Record(" + TakeOf(kFirst) + ", 6.480000)"));
    EXPECT_EQ(takePlayer->calls.size(), 2u);
}

// However fast a short sentence was heard, the learner has 4 s to say it.
TEST_F(ShadowingTest, ATakeOfAShortSentenceHeardFastMayStillLastFourSeconds)
{
    dlg->Speed().SetSpeed(1.5);
    Drill(DrillSettings{1, 0, false, true, false});
    PlayToTheEnd();
    EXPECT_EQ(takeRecorder->calls, Strings{"Record(" + TakeOf(kFirst) + ", 4.000000)"});
    dlg->Sentences().Drilling().Stop();
}

// A key of the user's ends the drill and the turn: the take being recorded
// is not kept.
TEST_F(ShadowingTest, AKeyEndsTheTurnWithoutKeepingTheTake)
{
    Drill(DrillSettings{1, 1, true, true, false});
    PlayToTheEnd();
    ASSERT_EQ(Shadow().CurrentPhase(), Phase::Recording);
    QTest::keyClick(Control(ControlId::StartTime), Qt::Key_S);
    EXPECT_FALSE(Drilling());
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::Idle);
    EXPECT_EQ(takeRecorder->calls.back(), "Cancel");
    // A take that ends late is not played back.
    takeRecorder->End(Outcome::Kept);
    EXPECT_TRUE(takePlayer->calls.empty());
}

// A failure ends shadowing with a box that says why; the drill goes on, without
// recording, only when the user says so.
TEST_F(ShadowingTest, AFailureAsksWhetherTheDrillGoesOnWithoutRecording)
{
    const std::string noFolder = "Cannot make the folder for takes \"" + media + " takes\": Permission denied.";
    takeRecorder->startSucceeds = false;
    takeRecorder->startFailure = noFolder;
    prompts.answers = {BoxAnswer::No};
    Drill(DrillSettings{1, 0, true, true, false});
    PlayToTheEnd();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text,
              noFolder + "\n\nShadowing has stopped. Go on with the drill without recording?");
    EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_FALSE(Drilling());
    EXPECT_EQ(Shadow().CurrentPhase(), Phase::Idle);

    // A full disk in the middle of a take; this time the drill goes on, as
    // a drill without takes.
    takeRecorder->startSucceeds = true;
    prompts.answers = {BoxAnswer::Yes};
    Drill(DrillSettings{1, 0, true, true, false});
    Starts();
    PlayToTheEnd();
    const std::string fullDisk = "Writing \"" + TakeOf(kFirst) + "\" failed: No space left on device.";
    takeRecorder->End(Outcome::Failed, fullDisk);
    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[1].text.substr(0, fullDisk.size()), fullDisk);
    EXPECT_TRUE(Drilling());
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(1.690000)"});
    PlayToTheEnd();
    EXPECT_EQ(takeRecorder->calls.size(), 2u) << "recorded again after the user chose to go on without";
    EXPECT_TRUE(Shadow().Takes().empty());

    // A take that cannot be played back says so too.
    prompts.answers = {BoxAnswer::No};
    Drill(DrillSettings{1, 0, true, true, false});
    PlayToTheEnd();
    takeRecorder->End(Outcome::Kept);
    takePlayer->Finish("Playing the take failed: pulsesink: Failed to connect.");
    ASSERT_EQ(prompts.boxes.size(), 3u);
    EXPECT_EQ(prompts.boxes[2].text.rfind("Playing the take failed: pulsesink: Failed to connect.", 0), 0u);
    EXPECT_FALSE(Drilling());
}

// T plays the take of the sentence the segment covers; the waveform marks the
// sentences with takes, found in the folder when the media is opened.
TEST_F(ShadowingTest, PlayMyTakePlaysTheTakeOfTheCurrentSegment)
{
    const std::string folder = media + " takes";
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder + "/000001.690-000002.810.mp3", "take");
    // What is not a complete take is no take.
    WriteFileBytes(folder + "/.000000.390-000001.510.mp3.part", "half a take");
    WriteFileBytes(folder + "/notes.mp3", "");
    OpenMedia("lesson.mp3");
    EXPECT_EQ(Shadow().Takes(), std::vector<TimeSpan>{kSecond});

    dlg->Segment().SetSegment(1.7, 2.9);
    QTest::keyClick(Control(ControlId::StartTime), Qt::Key_T);
    EXPECT_EQ(takePlayer->calls, Strings{"Play(" + TakeOf(kSecond) + ")"});
    // Another command silences it.
    QTest::keyClick(Control(ControlId::StartTime), Qt::Key_S);
    EXPECT_EQ(takePlayer->calls.back(), "Stop");

    dlg->Segment().SetSegment(0.39, 1.51);
    MenuCommand("Play my take")->trigger();
    EXPECT_EQ(takePlayer->calls.size(), 2u);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text,
              "This segment has no take yet. Takes are recorded by a drill with \"Record my repetition\".");
}

// The drill's shadowing choices are remembered; without them the drill plays
// as before and records nothing.
TEST_F(ShadowingTest, TheChoicesAreRememberedAndOffRecordsNothing)
{
    Drill(DrillSettings{1, 0, false, true, true});
    dlg->Sentences().Drilling().Stop();
    prompts.drillAnswers.push_back(DrillSettings{1, 0, false});
    MenuCommand("Drill...")->trigger();
    ASSERT_EQ(prompts.drillOffered.size(), 2u);
    EXPECT_EQ(prompts.drillOffered[1], (DrillSettings{1, 0, false, true, true}));
    PlayToTheEnd();
    EXPECT_TRUE(takeRecorder->calls.empty());

    dlg->Sentences().Drilling().Stop();
    prompts.drillAnswers.push_back(std::nullopt);
    MenuCommand("Drill...")->trigger();
    ASSERT_EQ(prompts.drillOffered.size(), 3u);
    EXPECT_EQ(prompts.drillOffered[2], (DrillSettings{1, 0, false, false, false}));
}

// The drill's dialog offers shadowing; playing the sentence again is a choice
// only while the repetition is recorded.
TEST_F(ShadowingTest, TheDrillDialogOffersShadowing)
{
    DrillDialog dialog(DrillSettings{2, 0.5, true, false, true});
    QCheckBox* record = nullptr;
    QCheckBox* again = nullptr;
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == "Record my repetition")
            record = box;
        if (box->text() == "Play the sentence again after my take")
            again = box;
    }
    ASSERT_TRUE(record && again);
    EXPECT_FALSE(record->isChecked());
    EXPECT_FALSE(again->isEnabled());
    EXPECT_EQ(dialog.Settings(), (DrillSettings{2, 0.5, true, false, true}));
    record->click();
    EXPECT_TRUE(again->isEnabled());
    again->click();
    EXPECT_EQ(dialog.Settings(), (DrillSettings{2, 0.5, true, true, false}));
}

} // namespace
