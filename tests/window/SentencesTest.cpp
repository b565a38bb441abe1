// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"
#include "window/commands/WindowCommands.h"
#include "window/sentences/SentenceWork.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QKeySequence>
#include <QToolButton>
#include <map>
#include <algorithm>

// The sentence commands with a fake profile of known speech and the fake
// player: three sentences whose sound lies at 1-3, 4-6.5 and 7.5-9 s. Each
// is found a block wider on each side and given 0.1 s of margin, so the
// segments they give are 0.89-3.11, 3.89-6.61 and 7.39-9.11.

namespace {

using Strings = std::vector<std::string>;

class SentencesTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        OpenMedia("lesson.mp3");
        player->calls.clear();
    }

    void Speak() { profiler->Speak({{1, 3}, {4, 6.5}, {7.5, 9}}, 10); }

    void Press(Qt::Key key) { QTest::keyClick(Control(ControlId::StartTime), key); }

    void ExpectSegment(double start, double end) const
    {
        EXPECT_NEAR(dlg->Segment().Start(), start, 1e-9);
        EXPECT_NEAR(dlg->Segment().End(), end, 1e-9);
    }
};

TEST_F(SentencesTest, NextAndPreviousPlayTheSentencesAsRepeatDoes)
{
    Speak();
    Press(Qt::Key_N);
    ExpectSegment(0.89, 3.11);
    EXPECT_EQ(Text(ControlId::StartTime), "0.89");
    EXPECT_EQ(Text(ControlId::EndTime), "3.11");
    EXPECT_EQ(player->calls, (Strings{"SetSegmentEnd(3.110000)", "SetCurrentPosition(0.890000)", "Play"}));
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));

    Press(Qt::Key_N);
    ExpectSegment(3.89, 6.61);
    Press(Qt::Key_P);
    ExpectSegment(0.89, 3.11);
    // Nothing comes before the first sentence.
    player->calls.clear();
    Press(Qt::Key_P);
    ExpectSegment(0.89, 3.11);
    EXPECT_TRUE(player->calls.empty());

    // A segment that ends inside a sentence goes on to the one after it; one
    // before the first sentence goes to the first.
    dlg->Segment().SetSegment(2, 5);
    Press(Qt::Key_N);
    ExpectSegment(7.39, 9.11);
    dlg->Segment().SetSegment(0.1, 0.5);
    MenuCommand("Next sentence")->trigger();
    ExpectSegment(0.89, 3.11);
}

// Asked before the profile has reached it, a sentence plays once it is found.
TEST_F(SentencesTest, ASentenceNotFoundYetPlaysOnceTheSoundHasBeenAnalysedThatFar)
{
    std::vector<LevelBlock> silence(150, LevelBlock{-3, 3, 3});
    std::vector<LevelBlock> speech(200, LevelBlock{-9000, 9000, 4000});
    profiler->Grow(silence);
    Press(Qt::Key_N);
    EXPECT_TRUE(player->calls.empty());
    EXPECT_EQ(dlg->Waveform().Notice(), QString("Finding sentences…"));

    profiler->Grow(speech);
    profiler->Grow(silence);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->calls.empty(); }, 3000)) << "the waiting step never played";
    ExpectSegment(1.39, 3.61);
    EXPECT_TRUE(dlg->Waveform().Notice().isEmpty());
}

TEST_F(SentencesTest, WithoutSoundTheCommandsAreOff)
{
    profiler->Fail("the file has no sound");
    EXPECT_FALSE(MenuCommand("Next sentence")->isEnabled());
    EXPECT_FALSE(MenuCommand("Drill...")->isEnabled());
    Press(Qt::Key_N);
    EXPECT_TRUE(player->calls.empty());
}

TEST_F(SentencesTest, SnappedMarksMeetTheNearestSentenceEdgeWithinReach)
{
    Speak();
    QAction* snap = MenuCommand("Snap marks to pauses");
    ASSERT_TRUE(snap->isCheckable());
    EXPECT_FALSE(snap->isChecked());
    // Off: the marks take the position as it is.
    player->position = 3.4;
    Click(ControlId::MarkEnd);
    ExpectSegment(0, 3.4);

    snap->trigger();
    Click(ControlId::MarkEnd);
    ExpectSegment(0, 3.11);
    player->position = 4.2;
    Click(ControlId::MarkStart);
    ExpectSegment(3.89, 3.11);
    player->position = 6;
    Click(ControlId::Pause);
    ExpectSegment(3.89, 6.61);
    // No edge within 0.7 s: the position itself; the arrows stay exact.
    player->position = 5.2;
    Click(ControlId::TopStop);
    ExpectSegment(3.89, 5.2);
    Click(ControlId::EndLater);
    ExpectSegment(3.89, 5.7);

    // Remembered for the next run.
    Start();
    EXPECT_TRUE(MenuCommand("Snap marks to pauses")->isChecked());
}

TEST_F(SentencesTest, PausePointsFromSentencesAskBeforeReplacingTheMediasOwn)
{
    Speak();
    player->position = 5.33;
    Click(ControlId::AddPoint);
    prompts.answers = {BoxAnswer::No};
    MenuCommand("Pause points from sentences")->trigger();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "This media has 1 pause points. Replace them with the starts of its 3 sentences?");
    EXPECT_EQ(Entries(), Strings{"5.000000"});

    prompts.answers = {BoxAnswer::Yes};
    MenuCommand("Pause points from sentences")->trigger();
    EXPECT_EQ(Entries(), (Strings{"0.890000", "3.890000", "7.390000"}));
    EXPECT_TRUE(dlg->Points().IsModified());
    EXPECT_EQ(SelectedEntry(), 0);
}

// The learning commands also have buttons over the sound, their keys in
// their tooltips; a button does what its command does.
TEST_F(SentencesTest, TheStripOverTheSoundRunsTheLearningCommands)
{
    Speak();
    auto* strip = dlg->findChild<QWidget*>(QStringLiteral("learningStrip"));
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isVisibleTo(dlg.get())) << "media with sound shows the strip";
    std::map<QString, QToolButton*> buttons;
    for (QToolButton* button : strip->findChildren<QToolButton*>())
        buttons[button->toolTip()] = button;
    ASSERT_EQ(buttons.size(), 6u);
    const QString nextTip = QStringLiteral("Next sentence (N, %1)").arg(QKeySequence(Qt::Key_MediaNext).toString(QKeySequence::NativeText));
    ASSERT_TRUE(buttons.count(nextTip)) << nextTip.toStdString();
    EXPECT_TRUE(buttons.count(QStringLiteral("Play my take (T)")));
    EXPECT_TRUE(buttons.count(QStringLiteral("Drill...")));
    ASSERT_TRUE(buttons.count(QStringLiteral("Speed")));
    EXPECT_NE(buttons.at(QStringLiteral("Speed"))->menu(), nullptr);
    buttons.at(nextTip)->click();
    ExpectSegment(0.89, 3.11);
}

// Each sentence the set number of times, then the next, to the end; the
// settings are remembered.
TEST_F(SentencesTest, TheDrillPlaysEachSentenceTheSetTimesThenTheNext)
{
    profiler->Speak({{0.5, 1.4}, {1.8, 2.7}}, 3);
    prompts.drillAnswers.push_back(DrillSettings{2, 0, true});
    MenuCommand("Drill...")->trigger();
    EXPECT_TRUE(dlg->Sentences().Drilling().IsRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg->Sentences().Drilling().IsRunning(); }, 8000));
    EXPECT_EQ(player->Seeks(), (Strings{"SetCurrentPosition(0.390000)", "SetCurrentPosition(0.390000)",
                                        "SetCurrentPosition(1.690000)", "SetCurrentPosition(1.690000)"}));

    prompts.drillAnswers.push_back(std::nullopt);
    MenuCommand("Drill...")->trigger();
    ASSERT_EQ(prompts.drillOffered.size(), 2u);
    EXPECT_EQ(prompts.drillOffered[1], (DrillSettings{2, 0, true}));
}

// At half speed a play lasts twice the sentence's length: the next one waits
// for it.
TEST_F(SentencesTest, TheDrillWaitsForAPlayAtTheSpeedItPlaysAt)
{
    profiler->Speak({{0.5, 1.4}, {1.8, 2.7}}, 3);
    dlg->Speed().SetSpeed(0.5);
    prompts.drillAnswers.push_back(DrillSettings{1, 0, true});
    MenuCommand("Drill...")->trigger();
    auto starts = [&] {
        const Strings calls = player->Commands();
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& call) { return call.rfind(FakePlayer::kSetPosition, 0) == 0; });
    };
    // The first sentence (0.39 to 1.51 s with its margins) plays for 2.24 s.
    QTest::qWait(1800);
    EXPECT_EQ(starts(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return starts() == 2; }, 2000));
    dlg->Sentences().Drilling().Stop();
}

// The drill counts its plays itself: with Infinitely checked a play still
// ends at the sentence's end, instead of looping through the drill's pause.
TEST_F(SentencesTest, ADrillPlayEndsAtTheSentenceEndAlsoWhenInfinitelyIsChecked)
{
    profiler->Speak({{0.5, 1.4}, {1.8, 2.7}}, 3);
    static_cast<QAbstractButton*>(dlg->Control(ControlId::Infinitely))->setChecked(true);
    prompts.drillAnswers.push_back(DrillSettings{2, 1, true});
    MenuCommand("Drill...")->trigger();
    ASSERT_TRUE(dlg->IsTimerRunning(RepeatTimer));
    const double end = dlg->Segment().End();
    player->position = end;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg->IsTimerRunning(RepeatTimer); }, 2000));
    EXPECT_EQ(player->position, end);
    dlg->Sentences().Drilling().Stop();
}

// A sliver (a Stop just after Open leaves 0..0.06) or a stretch of silence is
// no sentence: the drill begins with the sentence that follows it.
TEST_F(SentencesTest, ADrillFromASegmentWithoutASentenceBeginsWithTheNextSentence)
{
    Speak();
    for (const auto& [segment, first] : std::vector<std::pair<TimeSpan, TimeSpan>>{{{0, 0.06}, {0.89, 3.11}},
                                                                                  {{6.55, 7.35}, {7.39, 9.11}}}) {
        dlg->Segment().SetSegment(segment.start, segment.end);
        prompts.drillAnswers.push_back(DrillSettings{1, 0, true});
        MenuCommand("Drill...")->trigger();
        ASSERT_TRUE(dlg->Sentences().Drilling().IsRunning());
        ExpectSegment(first.start, first.end);
        dlg->Sentences().Drilling().Stop();
    }
    // A segment with speech is drilled as it is marked.
    dlg->Segment().SetSegment(4.2, 6);
    prompts.drillAnswers.push_back(DrillSettings{1, 0, true});
    MenuCommand("Drill...")->trigger();
    ExpectSegment(4.2, 6);
    dlg->Sentences().Drilling().Stop();
}

// Any command, button or key of the user's stops the drill where it is.
TEST_F(SentencesTest, AnyKeyOrButtonStopsTheDrill)
{
    Speak();
    for (auto stop : std::vector<std::function<void()>>{[&] { Press(Qt::Key_S); },
                                                         [&] { QTest::mouseClick(Control(ControlId::Play), Qt::LeftButton); }}) {
        prompts.drillAnswers.push_back(DrillSettings{0, 2, true});
        MenuCommand("Drill...")->trigger();
        ASSERT_TRUE(dlg->Sentences().Drilling().IsRunning());
        stop();
        EXPECT_FALSE(dlg->Sentences().Drilling().IsRunning());
    }
}

} // namespace
