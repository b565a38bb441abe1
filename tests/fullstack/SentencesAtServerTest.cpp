// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "components/profile/CreateSoundProfiler.h"
#include "support/FileBytes.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "window/commands/WindowCommands.h"
#include "window/sentences/SentenceWork.h"

// The sentences found in spoken sound, heard at the sound server: N plays the
// first sentence whole, from its first sound to its last, and nothing of the
// next.

TEST_F(FullStackTest, NextSentencePlaysExactlyTheFirstSpokenSentence)
{
    const std::vector<std::string> sentences(EverydaySentences().begin(), EverydaySentences().begin() + 3);
    const SpokenCorpus corpus = MakeSpokenCorpus(sentences, {0.5, 0.4}, std::nullopt);
    const std::string spoken = PathIn("spoken.wav");
    WriteFileBytes(spoken, WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    const DecodedSound reference = DecodeSound(spoken);
    ASSERT_EQ(reference.problem, "");

    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(PathIn("cache")));
    window.prompts.openAnswers.push_back(spoken);
    window.Click(ControlId::Open);
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 10000));
    ASSERT_EQ(finder.Sentences().size(), 3u);
    window.Click(ControlId::TopStop);
    QTest::qWait(300);

    const std::size_t mark = Mark();
    window.dlg->Commands().CommandFor(Qt::Key_N)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 8000));
    QTest::qWait(500);

    const int rate = ServerRecording::kRate;
    const TimeSpan truth = corpus.sentences[0];
    const std::optional<HeardSpan> heard = LocateHeard(reference.samples, monitor->From(mark), std::lround(truth.start * rate),
                                                       std::lround(truth.end * rate), rate / 10);
    ASSERT_TRUE(heard) << "what was heard is not the first sentence";
    // Its first and last sound, within 5 ms of where the sentence's sound lies.
    EXPECT_NEAR(heard->first, truth.start * rate, rate / 200.0);
    EXPECT_NEAR(heard->last, truth.end * rate, rate / 200.0);
    EXPECT_NEAR(window.dlg->Segment().Start(), finder.Sentences()[0].start, 1e-9);
}
