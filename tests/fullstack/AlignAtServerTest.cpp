// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "components/align/CreateTextAligner.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/transcript/TranscriptFile.h"
#include "support/FileBytes.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "window/sentences/SentenceWork.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QListView>

#include <filesystem>

// A plain text aligned by the real aligner to a reading that begins with an
// introduction the text lacks: the LRC written beside the media times every
// sentence, and a click on the second line is heard at the sound server from
// that sentence's first sound to its last.

TEST_F(FullStackTest, AnAlignedTextsLinePlaysItsSentenceWhole)
{
    const std::vector<std::string> text(EverydaySentences().begin() + 3, EverydaySentences().begin() + 7);
    std::vector<std::string> read = {"Lesson four. Listen and repeat."};
    read.insert(read.end(), text.begin(), text.end());
    const SpokenCorpus corpus = MakeSpokenCorpus(read, {0.8, 0.4, 0.6, 0.45}, std::nullopt);
    const std::string spoken = PathIn("lesson.wav");
    WriteFileBytes(spoken, WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    std::string plain;
    for (const std::string& sentence : text)
        plain += sentence + " ";
    WriteFileBytes(PathIn("lesson text.txt"), plain);
    const DecodedSound reference = DecodeSound(spoken);
    ASSERT_EQ(reference.problem, "");

    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(PathIn("cache")), {}, CreateTextAligner());
    window.prompts.openAnswers.push_back(spoken);
    window.Click(ControlId::Open);
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 10000));
    window.Click(ControlId::TopStop);

    window.prompts.openAnswers.push_back(PathIn("lesson text.txt"));
    window.MenuCommand("Align text...")->trigger();
    TranscriptWork& transcript = window.dlg->Transcript();
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(PathIn("lesson.lrc")); }, 30000))
        << "no transcript written beside the media";
    ASSERT_EQ(transcript.LineSpans().size(), text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const TimeSpan truth = corpus.sentences[i + 1];
        // Each line holds its sentence's sound and none of its neighbours'.
        EXPECT_LE(transcript.LineSpans()[i].start, truth.start + 0.05) << i;
        EXPECT_GE(transcript.LineSpans()[i].end, truth.end - 0.05) << i;
        EXPECT_GT(transcript.LineSpans()[i].start, corpus.sentences[i].end) << i;
        if (i + 2 < corpus.sentences.size()) {
            EXPECT_LT(transcript.LineSpans()[i].end, corpus.sentences[i + 2].start) << i;
        }
    }
    const TranscriptReadResult saved = ReadTranscriptFile(PathIn("lesson.lrc"));
    ASSERT_TRUE(saved.transcript) << saved.error;
    ASSERT_EQ(saved.transcript->lines.size(), text.size());
    EXPECT_EQ(saved.transcript->lines[1].text, text[1]);

    const TimeSpan truth = corpus.sentences[2];
    const std::optional<HeardSpan> heard = HeardAfterClickingLine(transcript, 1, reference, truth);
    const int rate = ServerRecording::kRate;
    ASSERT_TRUE(heard) << "what was heard is not the second sentence of the text";
    EXPECT_NEAR(heard->first, truth.start * rate, rate / 200.0);
    EXPECT_NEAR(heard->last, truth.end * rate, rate / 200.0);
}
