// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "components/profile/CreateSoundProfiler.h"
#include "support/FileBytes.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "window/sentences/SentenceWork.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QListView>

#include <cstdio>

// A transcript beside spoken sound, its times 300 ms late as LRC files often
// are, heard at the sound server: a click on its second line plays that
// sentence from its first sound to its last, and nothing of its neighbours.

namespace {

std::string LrcTime(double seconds)
{
    char tag[32];
    std::snprintf(tag, sizeof tag, "[%02d:%05.2f]", int(seconds) / 60, seconds - 60 * (int(seconds) / 60));
    return tag;
}

} // namespace

TEST_F(FullStackTest, AClickOnATranscriptLinePlaysItsSentenceWhole)
{
    const std::vector<std::string> sentences(EverydaySentences().begin(), EverydaySentences().begin() + 3);
    const SpokenCorpus corpus = MakeSpokenCorpus(sentences, {0.5, 0.4}, std::nullopt);
    const std::string spoken = PathIn("spoken.wav");
    WriteFileBytes(spoken, WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    std::string lrc;
    for (std::size_t index = 0; index < sentences.size(); ++index)
        lrc += LrcTime(corpus.sentences[index].start + 0.3) + sentences[index] + "\n";
    WriteFileBytes(PathIn("spoken.lrc"), lrc);
    const DecodedSound reference = DecodeSound(spoken);
    ASSERT_EQ(reference.problem, "");

    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(PathIn("cache")));
    window.prompts.openAnswers.push_back(spoken);
    window.Click(ControlId::Open);
    TranscriptWork& transcript = window.dlg->Transcript();
    ASSERT_TRUE(QTest::qWaitFor([&] { return transcript.Window() && transcript.Window()->isVisible(); }, 5000));
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 10000));
    ASSERT_EQ(transcript.LineSpans().size(), 3u);
    window.Click(ControlId::TopStop);
    QTest::qWait(300);

    const TimeSpan truth = corpus.sentences[1];
    const std::optional<HeardSpan> heard = HeardAfterClickingLine(transcript, 1, reference, truth);
    const int rate = ServerRecording::kRate;
    ASSERT_TRUE(heard) << "what was heard is not the second sentence";
    // Its first and last sound, within 5 ms of where the sentence's sound lies:
    // the late time was moved back into the pause before it.
    EXPECT_NEAR(heard->first, truth.start * rate, rate / 200.0);
    EXPECT_NEAR(heard->last, truth.end * rate, rate / 200.0);
    EXPECT_LT(window.dlg->Segment().Start(), truth.start);
    EXPECT_GT(window.dlg->Segment().End(), truth.end);
    EXPECT_GT(window.dlg->Segment().Start(), corpus.sentences[0].end);
    EXPECT_LT(window.dlg->Segment().End(), corpus.sentences[2].start);
}
