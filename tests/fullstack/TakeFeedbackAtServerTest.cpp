// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "support/ShadowingScene.h"
#include "window/feedback/TakeFeedback.h"
#include "window/feedback/TakeScores.h"
#include "window/shadowing/Shadowing.h"
#include "window/waveform/WaveformView.h"

// Feedback on a take in the whole program at the sound server: the learner
// says the drilled sentence in another voice, one word far slower. Once the take
// plays, its scores are shown and kept, the slow stretches are marked, and a
// click on a mark is heard as that stretch of the sentence and then of the
// take, nothing more.

namespace {

TEST_F(FullStackTest, AMarkOfASlowWordIsHeardInTheSentenceAndThenInTheTake)
{
    ShadowingScene scene(dir.path().toStdString(), server, *monitor,
                         "The train to the coast leaves at <prosody rate=\"x-slow\">nine</prosody> in the morning.",
                         SpokenReading{"espeak-ng --stdout -m -v en-us -p 70", {}});
    const ShadowingScene::Turn turn = scene.DrillTheFirstSentence();
    ASSERT_GT(turn.playbackMark, 0u) << "the take was never played back";
    CRecorderDlg& dlg = *scene.window.dlg;
    const WaveformView& view = dlg.Waveform();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Notice().isEmpty(); }, 5000)) << "no feedback came";
    ASSERT_TRUE(view.Notice().startsWith("Melody ")) << view.Notice().toStdString();
    const std::string takePath = dlg.Shadow().TakePath(scene.sentence);
    EXPECT_EQ(ReadTakeScores(takePath).size(), 1u);

    const auto& marks = dlg.Feedback().Marks();
    const auto slow = std::find_if(marks.begin(), marks.end(), [](const TakeFeedback::Mark& mark) {
        return mark.original.end - mark.original.start >= 0.15 && mark.take.end - mark.take.start >= 0.15;
    });
    ASSERT_NE(slow, marks.end()) << "a word said far slower is not marked";
    const TakeFeedback::Mark mark = *slow;
    // The take is longer than the sentence there.
    EXPECT_GT(mark.take.end - mark.take.start, 1.2 * (mark.original.end - mark.original.start));

    const double middle = (mark.original.start + mark.original.end) / 2;
    const std::size_t clicked = Mark();
    QTest::mouseClick(&dlg.Waveform(), Qt::LeftButton, {},
                      QPoint(int(view.Axis().XOf(middle)), view.SoundArea().center().y()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.IsTimerRunning(RepeatTimer); }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.IsTimerRunning(RepeatTimer); }, 5000));
    const std::size_t sentenceHeard = Mark();
    QTest::qWait(int((mark.take.end - mark.take.start + 0.2) * 1000) + 700);

    // The sentence's stretch, with 0.1 s either side.
    const int rate = ServerRecording::kRate;
    const auto samples = [&](double seconds) { return std::lround(seconds * rate); };
    const std::vector<float> original = monitor->From(clicked);
    const std::optional<HeardSpan> inSentence =
        LocateHeard(scene.lessonSound.samples, {original.begin(), original.begin() + long(sentenceHeard - clicked)},
                    samples(mark.original.start - 0.1), samples(mark.original.end + 0.1), rate / 5);
    ASSERT_TRUE(inSentence) << "the sentence's stretch was not heard";
    EXPECT_GE(inSentence->first, samples(mark.original.start - 0.1) - rate / 50);
    EXPECT_LE(inSentence->last, samples(mark.original.end + 0.1) + rate / 50);

    // Then the take's.
    const DecodedSound take = DecodeSound(takePath);
    ASSERT_EQ(take.problem, "");
    const std::optional<HeardSpan> inTake =
        LocateHeard(take.samples, monitor->From(sentenceHeard), samples(mark.take.start - 0.1),
                    samples(mark.take.end + 0.1), rate / 5);
    ASSERT_TRUE(inTake) << "the take's stretch was not heard";
    EXPECT_GE(inTake->first, samples(mark.take.start - 0.1) - rate / 50);
    EXPECT_LE(inTake->last, samples(mark.take.end + 0.1) + rate / 50);
    // The sentence's segment is given back.
    EXPECT_DOUBLE_EQ(dlg.Segment().Start(), scene.sentence.start);
    EXPECT_DOUBLE_EQ(dlg.Segment().End(), scene.sentence.end);
}

} // namespace
