// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/TranscriptFile.h"
#include "support/EncodedText.h"
#include "support/FileBytes.h"
#include "support/OrdinaryUser.h"
#include "support/WindowTest.h"
#include "window/QtPrompts.h"
#include "window/align/AlignPanel.h"
#include "window/align/TextAlignWork.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QAction>
#include <QCryptographicHash>
#include <QListView>
#include <QPushButton>
#include <filesystem>
#include <gmock/gmock.h>
#include <sys/stat.h>

// "Align text..." with the fake aligner: a lesson of 10 s whose speech lies
// at 1-3, 4-6.5 and 7.5-9 s (its pauses found as the transcript tests find
// them), and a text of three sentences, the third a paragraph of its own,
// which the aligner times a little off their sound.

namespace {

using testing::HasSubstr;

constexpr const char* kText = "First sentence. Second sentence.\n\nThird sentence.\n";

TimedSentence Sentence(const char* text, double start, double end, bool startsParagraph = false)
{
    return TimedSentence{text, startsParagraph, TimeSpan{start, end}};
}

std::vector<TimedSentence> Timed()
{
    return {Sentence("First sentence.", 1.1, 2.9), Sentence("Second sentence.", 4.2, 6.4),
            Sentence("Third sentence.", 7.6, 8.8, true)};
}

// The tag that names a text and its voice in the LRC written for them.
std::string KeyTag(const std::string& text, const std::string& voice)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(text + "\n" + voice),
                                                     QCryptographicHash::Sha256);
    return "[re:ardeno-recorder align " + hash.toHex().toStdString() + "]";
}

class AlignTextTest : public WindowTest {
protected:
    void SetUp() override { Start(); }

    // Opens the lesson `name` and lets its sound be found.
    void OpenLesson(const std::string& name = "lesson.mp3")
    {
        player->length = 10;
        OpenMedia(name);
        profiler->Speak({{1, 3}, {4, 6.5}, {7.5, 9}}, 10);
    }
    // "Align text..." on the file `name` holding `bytes`, the language as
    // the chooser offers it unless a test scripts another.
    void AlignFile(const std::string& name, const std::string& bytes = kText)
    {
        WriteFileBytes(PathIn(name), bytes);
        prompts.openAnswers.push_back(PathIn(name));
        MenuCommand("Align text...")->trigger();
    }
    void Report(std::vector<TimedSentence> sentences, bool finished, const std::string& problem = {})
    {
        AlignmentReport report;
        report.total = 3;
        report.fraction = finished ? 1 : double(sentences.size()) / 3;
        report.secondsLeft = finished ? 0 : 3.2;
        report.sentences = std::move(sentences);
        report.finished = finished;
        report.problem = problem;
        aligner->Report(std::move(report));
    }
    void Finish() { Report(Timed(), true); }

    AlignPanel& Panel() const { return *dlg->Alignment().Panel(); }
    const TranscriptWork& Work() const { return dlg->Transcript(); }
    QString Row(int row) const { return Work().Window()->List().model()->index(row, 0).data().toString(); }
    int Rows() const { return Work().Window()->List().model()->rowCount(); }
};

// Usable once media with sound is loaded; the Transcript window opens for it
// without a transcript; the text chosen and the voice go to the aligner.
TEST_F(AlignTextTest, TheCommandSendsTheChosenTextAndVoiceToTheAligner)
{
    EXPECT_FALSE(MenuCommand("Align text...")->isEnabled());
    OpenLesson();
    ASSERT_TRUE(MenuCommand("Align text...")->isEnabled());
    AlignFile("chapter.txt");

    ASSERT_NE(Work().Window(), nullptr);
    EXPECT_TRUE(Work().Window()->isVisible());
    ASSERT_EQ(prompts.openDialogs.size(), 2u);
    EXPECT_EQ(QtNameFilters(prompts.openDialogs.back().filter), QStringLiteral("Text files (*.txt *.text);;All files (*)"));
    ASSERT_EQ(prompts.choicesOffered.size(), 1u);
    EXPECT_EQ(prompts.choicesOffered[0].choices,
              (std::vector<std::string>{"German", "English", "Chinese (Mandarin)"}));
    EXPECT_EQ(prompts.choicesOffered[0].current, 1u) << "English by default";
    ASSERT_EQ(aligner->calls.size(), 1u);
    EXPECT_EQ(aligner->calls[0].mediaPath, PathIn("lesson.mp3"));
    EXPECT_EQ(aligner->calls[0].text, kText);
    EXPECT_EQ(aligner->calls[0].voiceId, "en");
    EXPECT_TRUE(Panel().IsRunning());

    // The Transcript window's button is the same command.
    ASSERT_TRUE(Panel().AlignButton().isEnabled());
    prompts.openAnswers.push_back(PathIn("chapter.txt"));
    Panel().AlignButton().click();
    ASSERT_EQ(aligner->calls.size(), 2u);
    EXPECT_EQ(aligner->calls[1].text, kText);
}

// The sentences timed so far are the transcript's lines, snapped as any
// transcript's are; Cancel stops the aligner and nothing more appears.
TEST_F(AlignTextTest, LinesAppearAsTheyAreTimedAndCancelStopsWithNothingWritten)
{
    OpenLesson();
    AlignFile("chapter.txt");
    Report({Timed()[0], Timed()[1]}, false);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(1), QStringLiteral("Second sentence."));
    EXPECT_NEAR(Work().LineSpans()[0].start, 0.89, 1e-9);
    EXPECT_NEAR(Panel().Fraction(), 2.0 / 3, 1e-3);
    EXPECT_EQ(Panel().TimeLeft(), QStringLiteral("about 4 s left"));

    Panel().CancelButton().click();
    EXPECT_EQ(aligner->cancels, 1);
    EXPECT_FALSE(Panel().IsRunning());
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr("cancelled"));
    Finish();
    EXPECT_EQ(Rows(), 2);
    EXPECT_FALSE(std::filesystem::exists(PathIn("lesson.lrc")));
}

TEST_F(AlignTextTest, OpeningOtherMediaCancelsTheAlignment)
{
    OpenLesson();
    AlignFile("chapter.txt");
    OpenLesson("other.mp3");
    EXPECT_EQ(aligner->cancels, 1);
    EXPECT_FALSE(Panel().IsRunning());
    Finish();
    EXPECT_FALSE(std::filesystem::exists(PathIn("lesson.lrc")));
    EXPECT_FALSE(std::filesystem::exists(PathIn("other.lrc")));
}

// Each edge in the pause beside its sound; a line ends where the next one of
// its paragraph begins, a paragraph's last line at its own end (a line with
// no text); the text and voice named in a tag.
TEST_F(AlignTextTest, TheFinishedAlignmentIsWrittenBesideTheMediaAsSnappedLrc)
{
    OpenLesson();
    AlignFile("chapter.txt");
    Finish();

    const std::string written = ReadFileBytes(PathIn("lesson.lrc"));
    EXPECT_EQ(written, KeyTag(kText, "en") + "\n"
                           "[00:00.89]First sentence.\n"
                           "[00:03.89]Second sentence.\n"
                           "[00:06.61]\n"
                           "[00:07.39]Third sentence.\n"
                           "[00:09.11]\n");
    const TranscriptReadResult read = ReadTranscriptFile(PathIn("lesson.lrc"));
    ASSERT_TRUE(read.transcript) << read.error;
    ASSERT_EQ(read.transcript->lines.size(), 3u);
    EXPECT_NEAR(read.transcript->lines[1].end, 6.61, 1e-9);
    EXPECT_NEAR(read.transcript->lines[2].start, 7.39, 1e-9);
    EXPECT_TRUE(read.transcript->problems.empty());

    // The window shows the file written.
    EXPECT_EQ(Work().Document().Path(), PathIn("lesson.lrc"));
    EXPECT_FALSE(Work().Document().FromStream());
    EXPECT_EQ(Rows(), 3);
    EXPECT_FALSE(Panel().IsRunning());
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr(PathIn("lesson.lrc")));
}

// "No" keeps the old file and shows the result unsaved, for Save transcript.
TEST_F(AlignTextTest, AnExistingTranscriptIsReplacedOnlyWhenTheUserSaysSo)
{
    const std::string old = "[00:01.00]Old line\n";
    WriteFileBytes(PathIn("lesson.lrc"), old);
    OpenLesson();
    AlignFile("chapter.txt");
    prompts.answers.push_back(BoxAnswer::No);
    Finish();
    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_EQ(prompts.boxes.back().buttons, BoxButtons::YesNo);
    EXPECT_THAT(prompts.boxes.back().text, HasSubstr(PathIn("lesson.lrc")));
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.lrc")), old);
    EXPECT_EQ(Rows(), 3);
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr("Save transcript"));

    prompts.answers.push_back(BoxAnswer::Yes);
    MenuCommand("Save transcript")->trigger();
    EXPECT_THAT(prompts.boxes.back().text, HasSubstr("chapter.txt"));
    EXPECT_THAT(ReadFileBytes(PathIn("lesson.lrc")), HasSubstr("[00:07.39]Third sentence."));

    // "Yes" replaces it at once.
    prompts.chooseAnswers.push_back(0);
    AlignFile("chapter.txt");
    prompts.answers.push_back(BoxAnswer::Yes);
    Finish();
    EXPECT_THAT(ReadFileBytes(PathIn("lesson.lrc")), HasSubstr(KeyTag(kText, "de")));
}

// The folder of the media takes no file: the transcript goes to the user's
// data folder, under a name of its own, and is found there the next time.
TEST_F(AlignTextTest, ATranscriptTheMediaFolderCannotTakeIsKeptInTheDataFolderAndFoundThere)
{
    std::filesystem::create_directories(PathIn("cd"));
    std::filesystem::create_directories(PathIn("data"));
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(chmod(PathIn("data").c_str(), 0777), 0);
    OpenLesson("cd/lesson.mp3");
    AlignFile("chapter.txt");
    ASSERT_EQ(chmod(PathIn("cd").c_str(), 0555), 0);
    {
        OrdinaryUser nobody;
        Finish();
    }
    ASSERT_EQ(chmod(PathIn("cd").c_str(), 0755), 0);
    EXPECT_FALSE(std::filesystem::exists(PathIn("cd/lesson.lrc")));
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(environment.transcriptFolder))
        kept.push_back(entry.path().filename().string());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_THAT(kept[0], testing::MatchesRegex("lesson\\.mp3-[0-9a-f]+\\.lrc"));
    const std::string spare = environment.transcriptFolder + "/" + kept[0];
    EXPECT_THAT(ReadFileBytes(spare), HasSubstr("[00:07.39]Third sentence."));

    OpenLesson("other.mp3");
    EXPECT_FALSE(Work().Document().IsLoaded());
    OpenLesson("cd/lesson.mp3");
    EXPECT_EQ(Work().Document().Path(), spare);
    EXPECT_EQ(Rows(), 3);
}

// The file written for a text and voice is read again instead of aligning
// them again; another voice is another alignment.
TEST_F(AlignTextTest, TheSameTextAndVoiceAgainUseTheSavedResult)
{
    OpenLesson();
    AlignFile("chapter.txt");
    Finish();
    OpenLesson("other.mp3");
    OpenLesson();
    AlignFile("copy of chapter.txt");
    EXPECT_EQ(aligner->calls.size(), 1u);
    EXPECT_EQ(Work().Document().Path(), PathIn("lesson.lrc"));
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr("aligned with this voice before"));

    prompts.chooseAnswers.push_back(2);
    AlignFile("chapter.txt");
    ASSERT_EQ(aligner->calls.size(), 2u);
    EXPECT_EQ(aligner->calls[1].voiceId, "zh");
}

TEST_F(AlignTextTest, AProblemIsShownAndNothingIsWritten)
{
    OpenLesson();
    AlignFile("chapter.txt");
    Report({}, true, "lesson.mp3: no speech in the sound");
    EXPECT_FALSE(Panel().IsRunning());
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr("no speech in the sound"));
    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_THAT(prompts.boxes.back().text, HasSubstr("no speech in the sound"));
    EXPECT_FALSE(std::filesystem::exists(PathIn("lesson.lrc")));

    // An end that timed no sentence is one too.
    AlignFile("chapter.txt");
    Report({}, true);
    EXPECT_THAT(Panel().Line().toStdString(), HasSubstr("no sentence"));
    EXPECT_FALSE(std::filesystem::exists(PathIn("lesson.lrc")));
}

// An empty, binary or huge file, and the media's own pause points, are
// refused with a box that names the file and why; a text in another
// encoding goes to the aligner as UTF-8.
TEST_F(AlignTextTest, WhatIsNoTextIsRefusedBeforeTheAlignerIsAsked)
{
    OpenLesson();
    AlignFile("empty.txt", " \n\n");
    AlignFile("binary.txt", std::string("PK\3\4\0\0\x14\0text", 12));
    AlignFile("huge.txt", std::string(20 * 1024 * 1024 + 1, 'a'));
    AlignFile("lesson.txt", "1.500000\n");
    EXPECT_TRUE(aligner->calls.empty());
    ASSERT_EQ(prompts.boxes.size(), 4u);
    EXPECT_THAT(prompts.boxes[0].text, HasSubstr(PathIn("empty.txt") + " holds no text"));
    EXPECT_THAT(prompts.boxes[1].text, HasSubstr(PathIn("binary.txt") + " is no text file"));
    EXPECT_THAT(prompts.boxes[2].text, HasSubstr(PathIn("huge.txt") + ": the file is 20971521 bytes"));
    EXPECT_THAT(prompts.boxes[3].text, HasSubstr("pause points"));
    EXPECT_TRUE(prompts.choicesOffered.empty());

    const std::string chinese = "今天我们学习第一课。老师说，每天读书十分钟，就会越来越好。\n\n"
                                "我们一起读课文，然后回答问题。\n";
    AlignFile("chinese.txt", EncodedText(chinese, "GB18030"));
    ASSERT_EQ(aligner->calls.size(), 1u);
    EXPECT_EQ(aligner->calls[0].text, chinese);
}

// The language chosen is offered first the next time, also in a new window.
TEST_F(AlignTextTest, TheVoiceChosenIsRememberedAcrossWindows)
{
    OpenLesson();
    prompts.chooseAnswers.push_back(2);
    AlignFile("chapter.txt");
    ASSERT_EQ(aligner->calls.size(), 1u);
    EXPECT_EQ(aligner->calls[0].voiceId, "zh");

    dlg->close();
    Start();
    OpenLesson();
    AlignFile("chapter.txt");
    EXPECT_EQ(prompts.choicesOffered.back().current, 2u);
    EXPECT_THAT(ReadFileBytes(environment.settingsPath), testing::Not(HasSubstr("zh")));
}

} // namespace
