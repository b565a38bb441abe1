// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpeechTextAligner.h"
#include "components/align/SpokenAlignment.h"
#include "support/ScratchFolder.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

// The real aligner on a WAV file it decodes: a reading by espeak-ng's
// default voice and pace under pink noise, with an introduction the text
// lacks, timed by the aligner's own (other) voice.

namespace {

// An introduction the text lacks, then the first `count` everyday sentences,
// read; the text has a paragraph break after the sentence `paragraphAfter`.
struct Lesson {
    std::vector<std::string> read = {"This recording is in the public domain. Read by a volunteer."};
    std::string text;

    explicit Lesson(std::size_t count, std::size_t paragraphAfter = std::string::npos)
    {
        for (std::size_t i = 0; i < count; ++i) {
            read.push_back(EverydaySentences()[i]);
            text += EverydaySentences()[i] + (i == paragraphAfter ? "\n\n" : " ");
        }
    }
};

class TextAlignerTest : public testing::Test {
protected:
    TextAlignerTest()
    {
        QObject::connect(&aligner, &TextAligner::progressed,
                         [this](const AlignmentReport& report) { reports.push_back(report); });
    }

    // Waits for the alignment's end and gives its report.
    AlignmentReport Finished()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !reports.empty() && reports.back().finished; }, 60000));
        return reports.empty() ? AlignmentReport{} : reports.back();
    }

    ScratchFolder folder;
    SpeechTextAligner aligner;
    std::vector<AlignmentReport> reports;
};

TEST_F(TextAlignerTest, EachSentenceOfTheTextIsTimedWhereTheRecordingSaysIt)
{
    const Lesson lesson(6, 2);
    const SpokenCorpus corpus = MakeSpokenCorpus(lesson.read, CorpusPauses(lesson.read.size()), 20.0);
    const std::string media = folder.PathOf("chapter.wav");
    std::ofstream(media, std::ios::binary) << WavBytes(corpus.samples, corpus.rate);

    aligner.Align(media, lesson.text, "en-us");
    const AlignmentReport report = Finished();
    EXPECT_EQ(report.problem, "");
    EXPECT_EQ(report.mediaPath, media);
    ASSERT_EQ(report.sentences.size(), 6u);
    EXPECT_EQ(report.total, 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const TimedSentence& sentence = report.sentences[i];
        EXPECT_EQ(sentence.text, EverydaySentences()[i]);
        EXPECT_EQ(sentence.startsParagraph, i == 0 || i == 3) << i;
        EXPECT_NEAR(sentence.span.start, corpus.sentences[i + 1].start, 0.1) << i;
        EXPECT_NEAR(sentence.span.end, corpus.sentences[i + 1].end, 0.1) << i;
    }
    // It said how far it was before it was done, never going back.
    ASSERT_GE(reports.size(), 2u);
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_GE(reports[i].fraction, reports[i - 1].fraction);
}

// The features' floor is absolute: a recording 20 or 40 dB quieter than the
// synthesiser once lost its soft sounds under it, and then its sentences.
TEST_F(TextAlignerTest, AQuietRecordingIsTimedAsWellAsALoudOne)
{
    const Lesson lesson(6);
    const SpokenCorpus corpus = MakeSpokenCorpus(lesson.read, CorpusPauses(lesson.read.size()), 30.0);
    std::vector<TimeSpan> loud;
    for (float gain : {1.0f, 0.1f, 0.01f}) {
        std::vector<float> samples = corpus.samples;
        for (float& sample : samples)
            sample *= gain;
        const std::string media = folder.PathOf("quiet.wav");
        std::ofstream(media, std::ios::binary) << WavBytes(samples, corpus.rate);
        reports.clear();
        aligner.Align(media, lesson.text, "en-us");
        const AlignmentReport report = Finished();
        ASSERT_EQ(report.sentences.size(), 6u) << "at " << gain << ": " << report.problem;
        for (std::size_t i = 0; i < 6; ++i) {
            const TimeSpan span = report.sentences[i].span;
            EXPECT_NEAR(span.start, corpus.sentences[i + 1].start, 0.05) << i << " at " << gain;
            if (gain == 1.0f)
                loud.push_back(span);
            else
                EXPECT_NEAR(span.start, loud[i].start, 0.02) << i << " at " << gain;
        }
    }
}

TEST(TextAlignerReports, SentencesAreReportedAsTheyAreTimedInTextOrderAndNeverChanged)
{
    const Lesson lesson(16);
    const SpokenCorpus corpus = MakeSpokenCorpus(lesson.read, CorpusPauses(lesson.read.size()), 20.0);
    ScratchFolder folder;
    const std::string media = folder.PathOf("chapter.wav");
    std::ofstream(media, std::ios::binary) << WavBytes(corpus.samples, corpus.rate);

    // Windows of 10 s, the reading's ends looked for in its first and last 10 s.
    WindowSettings windows;
    windows.windowSeconds = 10;
    windows.keptSeconds = 6;
    windows.endsSeconds = 10;
    windows.unmatchedSeconds = 8;
    SpeechTextAligner aligner(windows);
    std::vector<AlignmentReport> reports;
    QObject::connect(&aligner, &TextAligner::progressed,
                     [&](const AlignmentReport& report) { reports.push_back(report); });
    aligner.Align(media, lesson.text, "en");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.empty() && reports.back().finished; }, 60000));
    const AlignmentReport& last = reports.back();
    ASSERT_EQ(last.problem, "");
    ASSERT_EQ(last.sentences.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(last.sentences[i].span.start, corpus.sentences[i + 1].start, 0.1) << i;

    // Each report holds the sentences of the one before it, unchanged, and
    // perhaps the next ones; some came before the end, but not all.
    std::size_t partial = 0;
    for (std::size_t r = 0; r < reports.size(); ++r) {
        const std::vector<TimedSentence>& sentences = reports[r].sentences;
        ASSERT_LE(sentences.size(), last.sentences.size()) << "report " << r;
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            EXPECT_EQ(sentences[i].text, last.sentences[i].text) << "report " << r << ", sentence " << i;
            EXPECT_EQ(sentences[i].span, last.sentences[i].span) << "report " << r << ", sentence " << i;
        }
        if (r > 0) {
            EXPECT_GE(sentences.size(), reports[r - 1].sentences.size()) << "report " << r;
        }
        if (!reports[r].finished)
            partial = std::max(partial, sentences.size());
    }
    EXPECT_GT(partial, 0u);
    EXPECT_LT(partial, 16u);
}

TEST_F(TextAlignerTest, WhatCannotBeAlignedIsReportedWithItsReasonAndACancelledOneNever)
{
    aligner.Align(folder.PathOf("missing.mp3"), "A sentence.", "en");
    const AlignmentReport missing = Finished();
    EXPECT_NE(missing.problem.find("missing.mp3"), std::string::npos) << missing.problem;
    EXPECT_TRUE(missing.sentences.empty());

    reports.clear();
    aligner.Align(folder.PathOf("missing.mp3"), " \n\n ", "en");
    EXPECT_NE(Finished().problem, "");

    reports.clear();
    aligner.Align(folder.PathOf("missing.mp3"), "A sentence.", "no-such-voice");
    EXPECT_NE(Finished().problem, "");

    // A recording of a tune, with no speech in it.
    std::vector<float> tune(std::size_t(8 * 22050));
    for (std::size_t i = 0; i < tune.size(); ++i) {
        const double hz = 220.0 * (1 + double((i / 22050) % 4) * 0.25);
        tune[i] = float(0.3 * std::sin(2 * std::numbers::pi * hz * double(i) / 22050));
    }
    const std::string media = folder.PathOf("tune.wav");
    std::ofstream(media, std::ios::binary) << WavBytes(tune, 22050);
    reports.clear();
    aligner.Align(media, "A sentence that is never sung. Nor is this one.", "en");
    const AlignmentReport unlike = Finished();
    EXPECT_NE(unlike.problem.find("does not seem to say this text"), std::string::npos) << unlike.problem;
    EXPECT_TRUE(unlike.sentences.empty());

    reports.clear();
    aligner.Align(folder.PathOf("missing.mp3"), "A sentence.", "en");
    const std::size_t before = reports.size();
    aligner.Cancel();
    QTest::qWait(1500);
    EXPECT_EQ(reports.size(), before);
}

// Another text in the same language, the recording's sentences in the
// reverse order, is reported, with the figure that told it, and not timed;
// the recording's own text is timed.
TEST_F(TextAlignerTest, AnotherTextInTheSameLanguageIsReportedAsNotSaidAndTheRightOneTimed)
{
    const std::vector<std::string> read(EverydaySentences().begin(), EverydaySentences().begin() + 16);
    const SpokenCorpus corpus = MakeSpokenCorpus(read, CorpusPauses(read.size()), 20.0);
    const std::string media = folder.PathOf("chapter.wav");
    std::ofstream(media, std::ios::binary) << WavBytes(corpus.samples, corpus.rate);
    std::string right, other;
    for (std::size_t i = 0; i < read.size(); ++i) {
        right += read[i] + " ";
        other += read[read.size() - 1 - i] + " ";
    }

    aligner.Align(media, other, "en");
    const AlignmentReport wrong = Finished();
    EXPECT_NE(wrong.problem.find("does not seem to say this text"), std::string::npos) << wrong.problem;
    EXPECT_NE(wrong.problem.find("% of the 15 sentence ends"), std::string::npos) << wrong.problem;
    EXPECT_TRUE(wrong.sentences.empty());
    ASSERT_TRUE(aligner.LastFirstFit());
    EXPECT_LT(aligner.LastFirstFit()->distanceRatio, kMismatchedRatio);

    reports.clear();
    aligner.Align(media, right, "en");
    const AlignmentReport timed = Finished();
    EXPECT_EQ(timed.problem, "");
    EXPECT_EQ(timed.sentences.size(), read.size());
    ASSERT_TRUE(aligner.LastFirstFit());
    EXPECT_GE(aligner.LastFirstFit()->pausedBoundaries.value_or(0), 0.9);
}

// A lesson of a few sentences, too few boundaries for the pauses to judge
// by, with the text of other sentences in the same words: reported, not timed.
TEST_F(TextAlignerTest, ALessonReadWithTheTextOfAnotherIsReportedAsNotSaid)
{
    const Lesson lesson(6);
    const SpokenCorpus corpus = MakeSpokenCorpus(lesson.read, CorpusPauses(lesson.read.size()), 20.0);
    const std::string media = folder.PathOf("lesson.wav");
    std::ofstream(media, std::ios::binary) << WavBytes(corpus.samples, corpus.rate);
    std::string other;
    for (std::size_t i = 6; i < 12; ++i)
        other += EverydaySentences()[i] + " ";

    aligner.Align(media, other, "en");
    const AlignmentReport wrong = Finished();
    EXPECT_NE(wrong.problem.find("played backwards"), std::string::npos) << wrong.problem;
    EXPECT_TRUE(wrong.sentences.empty());
    ASSERT_TRUE(aligner.LastFirstFit());
    EXPECT_LT(aligner.LastFirstFit()->boundaries, kBoundariesToJudge);
}

TEST_F(TextAlignerTest, TheVoicesNameTheirLanguagesWithEnglishAmongThem)
{
    const std::vector<AlignVoice> voices = aligner.Voices();
    ASSERT_FALSE(voices.empty());
    EXPECT_TRUE(std::any_of(voices.begin(), voices.end(), [](const AlignVoice& voice) { return voice.id == "en"; }));
    for (const AlignVoice& voice : voices)
        EXPECT_NE(voice.name.find("(" + voice.id + ")"), std::string::npos) << voice.name;
    const auto english = std::find_if(voices.begin(), voices.end(), [](const AlignVoice& voice) { return voice.id == "en"; });
    ASSERT_NE(english, voices.end());
    EXPECT_EQ(english->name, "English (en)");
}

} // namespace
