#include "FullStackFixture.h"

#include "components/profile/CreateSoundProfiler.h"
#include "components/takes/CreateTakeEngines.h"
#include "support/FileBytes.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "window/sentences/SentenceWork.h"
#include "window/shadowing/Shadowing.h"

#include <QAction>
#include <QMenu>

// Shadowing in the whole program at the sound server: after the drill plays a
// sentence, a spoken sentence is played into the server's sink, whose
// monitor is the default input. It comes back as the take, whole, and its
// playback is heard whole, from its first sound to its last.

namespace {

QAction* Command(CRecorderDlg& dialog, const QString& text)
{
    for (QAction* action : dialog.SystemMenu()->actions()) {
        if (action->text().section('\t', 0, 0) == text)
            return action;
    }
    return nullptr;
}

TEST_F(FullStackTest, ASpokenRepetitionComesBackAsTheTakeAndIsHeardWhole)
{
    const SpokenCorpus lesson =
        MakeSpokenCorpus({EverydaySentences()[0], EverydaySentences()[1]}, {0.5}, std::nullopt);
    const std::string media = PathIn("lesson.wav");
    WriteFileBytes(media, WavBytes(AtTwiceTheRate(lesson.samples), 2 * lesson.rate));
    const SpokenCorpus repetition = MakeSpokenCorpus({EverydaySentences()[2]}, {}, std::nullopt, 0.3);
    const std::string spoken = PathIn("repetition.wav");
    WriteFileBytes(spoken, WavBytes(AtTwiceTheRate(repetition.samples), 2 * repetition.rate));
    const DecodedSound reference = DecodeSound(spoken);
    ASSERT_EQ(reference.problem, "");

    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(PathIn("cache")), CreateTakeEngines());
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 10000));
    ASSERT_EQ(finder.Sentences().size(), 2u);
    window.Click(ControlId::TopStop);
    const TimeSpan sentence = finder.Sentences()[0];
    window.dlg->Segment().SetSegment(sentence.start, sentence.end);

    Shadowing& shadowing = window.dlg->Shadow();
    std::size_t playbackMark = 0;
    QObject::connect(&shadowing, &Shadowing::phaseChanged, [&](Shadowing::Phase phase) {
        if (phase == Shadowing::Phase::PlayingTake)
            playbackMark = monitor->Size();
    });
    window.prompts.drillAnswers.push_back(DrillSettings{1, 0, false, true, false});
    Command(*window.dlg, "Drill...")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shadowing.CurrentPhase() == Shadowing::Phase::Recording; }, 10000));
    server.PlayFile(spoken);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.dlg->Sentences().Drilling().IsRunning(); }, 20000));
    EXPECT_TRUE(window.prompts.boxes.empty()) << window.prompts.boxes.front().text;
    ASSERT_GT(playbackMark, 0u) << "the take was never played back";
    QTest::qWait(300);

    // The take holds the whole sentence: its sound as long as the spoken one's.
    ASSERT_EQ(shadowing.Takes(), std::vector<TimeSpan>{sentence});
    const DecodedSound take = DecodeSound(shadowing.TakePath(sentence));
    ASSERT_EQ(take.problem, "");
    const int rate = ServerRecording::kRate;
    const TimeSpan truth = repetition.sentences[0];
    const std::optional<HeardSpan> inTake = LocateHeard(reference.samples, take.samples, std::lround(truth.start * rate),
                                                        std::lround(truth.end * rate), rate / 5);
    ASSERT_TRUE(inTake) << "the take is not the spoken sentence";
    // Nothing of it missing (1 ms of leeway); the MP3 smears its edges by a
    // few milliseconds.
    EXPECT_LE(inTake->first, truth.start * rate + rate / 1000.0);
    EXPECT_GE(inTake->first, truth.start * rate - rate / 50.0);
    EXPECT_GE(inTake->last, truth.end * rate - rate / 1000.0);
    EXPECT_LE(inTake->last, truth.end * rate + rate / 50.0);

    // Its playback, heard at the server: the same sentence from its first
    // sound to its last.
    const std::optional<HeardSpan> heard = LocateHeard(reference.samples, monitor->From(playbackMark),
                                                       std::lround(truth.start * rate), std::lround(truth.end * rate),
                                                       rate / 5);
    ASSERT_TRUE(heard) << "the take's playback was not heard";
    EXPECT_NEAR(heard->first, inTake->first, rate / 1000.0);
    EXPECT_NEAR(heard->last, inTake->last, rate / 1000.0);
}

} // namespace
