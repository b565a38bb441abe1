// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "window/feedback/TakeFeedback.h"
#include "window/feedback/TakeScores.h"
#include "window/sentences/SentenceWork.h"
#include "window/shadowing/Shadowing.h"
#include "window/speed/PlaybackSpeed.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QTest>
#include <filesystem>

// The feedback on a take with the fake player, profile, take engines and
// comparer: two sentences found at 0.39-1.51 and 1.69-2.81 s; the test gives
// the comparison the comparer would have made.

namespace {

using Strings = std::vector<std::string>;
using Outcome = TakeRecorder::Outcome;

const TimeSpan kFirst{0.39, 1.51};
const TimeSpan kSecond{1.69, 2.81};

// A take of the first sentence said 50 ms later throughout, slower from 0.3
// to 0.5 s of the sentence, with 0.8-0.9 s of it said as something else.
TakeComparison Compared()
{
    TakeComparison comparison;
    for (std::uint32_t i = 0; i < 112; ++i) {
        comparison.takeFrame.push_back(i + 5);
        comparison.originalMelody.push_back(float(i % 40) / 10);
        comparison.takeMelody.push_back(float(i % 40) / 10 - 1);
    }
    comparison.slower = {{0.3, 0.5}};
    comparison.unmatched = {{{0.8, 0.9}, {0.9, 1.1}}};
    comparison.melodyScore = 72;
    comparison.timingScore = 85.4;
    return comparison;
}

class TakeFeedbackTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        player->length = 3;
        media = OpenMedia("lesson.mp3");
        profiler->Speak({{0.5, 1.4}, {1.8, 2.7}}, 3);
        player->calls.clear();
    }

    WaveformView& View() const { return dlg->Waveform(); }
    std::string TakeOf(const TimeSpan& sentence) const { return dlg->Shadow().TakePath(sentence); }
    QPoint At(double seconds) const
    {
        return QPoint(int(std::lround(View().Axis().XOf(seconds))), View().SoundArea().center().y());
    }
    void PlayToTheEnd()
    {
        player->position = dlg->Segment().End();
        dlg->Tick(RepeatTimer);
    }
    // A take of the first sentence kept earlier, with the scores of two takes
    // before it; the media opened again finds it.
    void KeepEarlierTake()
    {
        std::filesystem::create_directories(std::filesystem::path(TakeOf(kFirst)).parent_path());
        WriteFileBytes(TakeOf(kFirst), "take");
        WriteFileBytes(TakeScoresPath(TakeOf(kFirst)),
                       "2026-12-01T09:00:00Z\t55\t60\n2026-12-02T09:00:00Z\t-\t70\n");
        OpenMedia("lesson.mp3");
        player->calls.clear();
    }
    void PlayMyTakeOfTheFirst()
    {
        dlg->Segment().SetSegment(kFirst.start, kFirst.end);
        const std::size_t asked = takeComparer->requests.size();
        MenuCommand("Play my take")->trigger();
        ASSERT_EQ(takeComparer->requests.size(), asked + 1);
        EXPECT_EQ(takeComparer->requests.back().takePath, TakeOf(kFirst));
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

// A take just recorded is compared with its sentence; its scores are shown
// and kept beside it, and all of it stays while the drill goes on, until the
// next take is recorded.
TEST_F(TakeFeedbackTest, AFreshTakeIsComparedShownAndItsScoresKept)
{
    prompts.drillAnswers.push_back(DrillSettings{1, 0, true, true, false});
    MenuCommand("Drill...")->trigger();
    PlayToTheEnd();
    takeRecorder->End(Outcome::Kept);

    ASSERT_EQ(takeComparer->requests.size(), 1u);
    const TakeToCompare& request = takeComparer->requests[0];
    EXPECT_EQ(request.mediaPath, media);
    EXPECT_EQ(request.sentence, kFirst);
    EXPECT_EQ(request.takePath, TakeOf(kFirst));

    takeComparer->Deliver(Compared());
    EXPECT_EQ(View().Notice(), QString("Melody 72, timing 85"));
    const std::vector<TakeScore> kept = ReadTakeScores(TakeOf(kFirst));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].melody, 72);
    EXPECT_EQ(kept[0].timing, 85);
    EXPECT_LE(kept[0].recorded.secsTo(QDateTime::currentDateTimeUtc()), 60);

    // The marks, in the media's time and the take's.
    const auto& marks = dlg->Feedback().Marks();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].original.start, 0.69, 1e-9);
    EXPECT_NEAR(marks[0].original.end, 0.89, 1e-9);
    EXPECT_NEAR(marks[0].take.start, 0.35, 1e-9);
    EXPECT_NEAR(marks[0].take.end, 0.55, 1e-9);
    EXPECT_NEAR(marks[1].take.start, 0.9, 1e-9);

    // The take plays back and the drill goes on to the next sentence: the
    // feedback stays; the next take's recording takes it away.
    takePlayer->Finish();
    EXPECT_EQ(View().Notice(), QString("Melody 72, timing 85"));
    PlayToTheEnd();
    EXPECT_EQ(View().Notice(), QString("Your turn: say the sentence"));
    EXPECT_TRUE(dlg->Feedback().Marks().empty());
    EXPECT_GE(takeComparer->cancels, 1);
}

// "Play my take" compares the kept take again, against the take before it
// (its own scores are not kept twice); a click on a mark plays that stretch of
// the sentence and then of the take, and gives the segment back.
TEST_F(TakeFeedbackTest, AClickOnAMarkPlaysTheOriginalThenTheTake)
{
    KeepEarlierTake();
    PlayMyTakeOfTheFirst();
    EXPECT_EQ(takePlayer->calls, Strings{"Play(" + TakeOf(kFirst) + ")"});
    takeComparer->Deliver(Compared());
    EXPECT_TRUE(View().Notice().startsWith("Melody 72, timing 85  (take before, "));
    EXPECT_TRUE(View().Notice().endsWith(": 55, 60)"));
    EXPECT_EQ(ReadTakeScores(TakeOf(kFirst)).size(), 2u);
    takePlayer->calls.clear();
    player->calls.clear();

    QTest::mouseClick(&View(), Qt::LeftButton, {}, At(0.79));
    EXPECT_NEAR(dlg->Segment().Start(), 0.59, 1e-6);
    EXPECT_NEAR(dlg->Segment().End(), 0.99, 1e-6);
    EXPECT_EQ(Starts(), Strings{"SetCurrentPosition(0.590000)"});
    // The take still playing is silenced first.
    EXPECT_EQ(takePlayer->calls, Strings{"Stop"});

    PlayToTheEnd();
    EXPECT_EQ(takePlayer->calls, (Strings{"Stop", "PlayStretch(" + TakeOf(kFirst) + ", 0.250000, 0.650000)"}));
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), kFirst.start);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), kFirst.end);
    // The feedback stays for another click; elsewhere a click seeks as ever.
    EXPECT_EQ(dlg->Feedback().Marks().size(), 2u);
    player->calls.clear();
    QTest::mouseClick(&View(), Qt::LeftButton, {}, At(2.2));
    EXPECT_EQ(Starts().size(), 1u);
    EXPECT_NEAR(player->position, 2.2, 0.01);

    // A command of the user's ends it; a stretch being played gives the segment back.
    QTest::mouseClick(&View(), Qt::LeftButton, {}, At(0.79));
    EXPECT_NEAR(dlg->Segment().Start(), 0.59, 1e-6);
    MenuCommand("Play my take")->trigger();
    EXPECT_DOUBLE_EQ(dlg->Segment().Start(), kFirst.start);
    EXPECT_DOUBLE_EQ(dlg->Segment().End(), kFirst.end);
    EXPECT_EQ(takeComparer->requests.size(), 2u);
    EXPECT_TRUE(View().Notice().isEmpty());
    EXPECT_TRUE(dlg->Feedback().Marks().empty());
}

// Why a take cannot be compared is said in a line, and nothing is kept;
// a result for an earlier request is not shown.
TEST_F(TakeFeedbackTest, ATakeThatCannotBeComparedSaysWhy)
{
    KeepEarlierTake();
    PlayMyTakeOfTheFirst();
    TakeComparison whispered;
    whispered.reason = "the take is whispered: only 8 % of its sound is voiced";
    takeComparer->Deliver(whispered);
    EXPECT_EQ(View().Notice(), QString("No comparison: the take is whispered: only 8 % of its sound is voiced"));
    EXPECT_TRUE(dlg->Feedback().Marks().empty());

    PlayMyTakeOfTheFirst();
    takeComparer->Deliver({}, "Cannot read the sound of \"" + media + "\": the file is damaged.");
    EXPECT_EQ(View().Notice(), QString::fromStdString("No comparison: Cannot read the sound of \"" + media
                                                      + "\": the file is damaged."));

    // Other media: a late result of the take before is dropped.
    const std::string take = TakeOf(kFirst);
    OpenMedia("other.mp3");
    takeComparer->Deliver(Compared());
    EXPECT_TRUE(View().Notice().isEmpty());
    EXPECT_TRUE(dlg->Feedback().Marks().empty());
    EXPECT_EQ(ReadTakeScores(take).size(), 2u);
}

} // namespace
