// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/Transcript.h"
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "window/sentences/SentenceWork.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <cmath>

// The transcript with the fake player and profile: a lesson of 10 s whose
// speech lies at 1-3, 4-6.5 and 7.5-9 s (found with their pauses, as the
// sentence tests find them: 0.89-3.11, 3.89-6.61, 7.39-9.11), and an LRC
// file beside it whose times are 300 ms late, as such files often are.

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kLesson = "[ti:Lesson one]\n"
                                "[00:01.30]First line\n"
                                "[00:01.30]第一行\n"
                                "[00:04.30]Second line\n"
                                "[00:07.80]Third line\n";

class TranscriptTest : public WindowTest {
protected:
    void SetUp() override { Start(); }

    // Opens the lesson, with `transcript` as the bytes of its LRC file
    // unless there is none, and lets its sound be found.
    void OpenLesson(const std::optional<std::string>& transcript = kLesson)
    {
        if (transcript)
            WriteFileBytes(PathIn("lesson.lrc"), *transcript);
        player->length = 10;
        OpenMedia("lesson.mp3");
        profiler->Speak({{1, 3}, {4, 6.5}, {7.5, 9}}, 10);
        player->calls.clear();
    }

    TranscriptWork& Work() const { return dlg->Transcript(); }
    QListView& List() const { return Work().Window()->List(); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Control(ControlId::StartTime), key, modifiers);
    }
    void ExpectSegment(double start, double end) const
    {
        EXPECT_NEAR(dlg->Segment().Start(), start, 1e-9);
        EXPECT_NEAR(dlg->Segment().End(), end, 1e-9);
    }
    QString Caption() const
    {
        auto* caption = dlg->findChild<QLabel*>(QStringLiteral("transcriptCaption"));
        return caption && caption->isVisible() ? caption->text() : QString();
    }
};

// Found by its name, shown in its own window with its title and the
// translation under its line; its lines, snapped into the pauses around
// their sound, are the sentences N and P step through.
TEST_F(TranscriptTest, ATranscriptBesideTheMediaIsShownAndItsLinesAreTheSentences)
{
    OpenLesson();
    ASSERT_NE(Work().Window(), nullptr);
    EXPECT_TRUE(Work().Window()->isVisible());
    EXPECT_EQ(Work().Window()->Headline(), QStringLiteral("lesson.lrc — Lesson one"));
    EXPECT_TRUE(Work().Window()->Problem().isEmpty());
    ASSERT_EQ(List().model()->rowCount(), 3);
    EXPECT_EQ(List().model()->index(0, 0).data().toString(), QStringLiteral("First line"));
    EXPECT_EQ(List().model()->index(0, 0).data(TranscriptLineModel::TranslationRole).toString(), QStringLiteral("第一行"));
    EXPECT_EQ(List().model()->index(1, 0).data(TranscriptLineModel::TimeRole).toString(), QStringLiteral("0:04.30"));

    Press(Qt::Key_N);
    ExpectSegment(0.89, 3.11);
    Press(Qt::Key_N);
    ExpectSegment(3.89, 6.61);
    Press(Qt::Key_N);
    ExpectSegment(7.39, 9.11);
    Press(Qt::Key_P);
    ExpectSegment(3.89, 6.61);

    // Snapping off: the lines play as the file times them.
    MenuCommand("Snap lines to pauses")->trigger();
    EXPECT_NEAR(Work().LineSpans()[0].start, 1.3, 1e-9);
    EXPECT_NEAR(Work().LineSpans()[0].end, 4.3, 1e-9);
}

// A click on a line makes it the segment and plays it; as the sound moves on,
// the line being heard is highlighted and shown in the player area.
TEST_F(TranscriptTest, AClickOnALinePlaysItAndTheHighlightFollowsTheSound)
{
    OpenLesson();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Work().Window()));
    const QRect second = List().visualRect(List().model()->index(1, 0));
    ASSERT_FALSE(second.isEmpty());
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->Commands().empty(); }, 2000));
    ExpectSegment(3.89, 6.61);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(3.890000)", "Play"}));

    player->position = 5;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Work().HeardLine() == 1; }, 1000));
    EXPECT_TRUE(List().model()->index(1, 0).data(TranscriptLineModel::HeardRole).toBool());
    EXPECT_EQ(Caption(), QStringLiteral("Second line"));
    // In the pause between two lines no line is heard.
    player->position = 7;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Work().HeardLine() == -1; }, 1000));
    EXPECT_TRUE(Caption().isEmpty());
    player->position = 2;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Work().HeardLine() == 0; }, 1000));
    EXPECT_EQ(Caption(), QStringLiteral("First line\n第一行"));
}

// Shifted times stay in the program until Save transcript writes them, in
// the file's own format; a file another program changed meanwhile is
// replaced only when the user says so.
TEST_F(TranscriptTest, ShiftedTimesAreWrittenOnlyBySaveAndNotOverAnotherProgramsChange)
{
    OpenLesson();
    Press(Qt::Key_Right, Qt::AltModifier);
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(List().model()->index(1, 0).data(TranscriptLineModel::TimeRole).toString(), QStringLiteral("0:04.40"));
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.lrc")), kLesson);

    MenuCommand("Save transcript")->trigger();
    const std::string saved = ReadFileBytes(PathIn("lesson.lrc"));
    EXPECT_NE(saved.find("[00:04.40]Second line"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[ti:Lesson one]"), std::string::npos) << saved;

    const std::string theirs = "[00:09.00]Their line\n";
    WriteFileBytes(PathIn("lesson.lrc"), theirs);
    Press(Qt::Key_Left, Qt::AltModifier);
    prompts.answers.push_back(BoxAnswer::No);
    MenuCommand("Save transcript")->trigger();
    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_NE(prompts.boxes.back().text.find("was changed by another program"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.lrc")), theirs);
}

// A line's edge dragged on the waveform stays where it was put, through new
// findings of the sound; the other lines stay snapped, and Save writes it.
TEST_F(TranscriptTest, ALineStartDraggedOnTheWaveformStaysWhereItWasPut)
{
    OpenLesson();
    WaveformView& view = dlg->Waveform();
    const auto at = [&](double seconds) {
        return QPoint(int(std::lround(view.Axis().XOf(seconds))), view.SoundArea().center().y());
    };
    const std::vector<TimeSpan> snapped = Work().LineSpans();
    ASSERT_EQ(snapped.size(), 3u);
    const auto drag = [&](QPoint from, QPoint to) {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&view, (from + to) / 2);
        QTest::mouseMove(&view, to);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    };
    const QPoint to = at(4.5);
    drag(at(snapped[1].start), to);

    const double placed = std::round(view.Axis().SecondsAt(to.x()) * 1000) / 1000;
    EXPECT_NEAR(Work().LineSpans()[1].start, placed, 1e-9);
    EXPECT_NEAR(Work().LineSpans()[1].end, snapped[1].end, 1e-9);
    EXPECT_NEAR(Work().LineSpans()[0].end, snapped[0].end, 1e-9) << "the line before keeps its snapped end";
    EXPECT_EQ(dlg->Segment().Start(), dlg->Segment().End()) << "a line's edge is not the segment's";

    // An end dragged into the next line stops at its start.
    drag(at(snapped[1].end), at(8.5));
    EXPECT_NEAR(Work().LineSpans()[1].end, snapped[2].start, 1e-9);

    profiler->Speak({{1, 3}, {4, 6.5}, {7.5, 9}}, 10);
    EXPECT_NEAR(Work().LineSpans()[1].start, placed, 1e-9);
    MenuCommand("Save transcript")->trigger();
    const Transcript saved = ReadTranscriptText(ReadFileBytes(PathIn("lesson.lrc")), TranscriptFormat::Lrc);
    ASSERT_EQ(saved.lines.size(), 3u);
    EXPECT_NEAR(saved.lines[1].start, placed, 1e-9);
    EXPECT_NEAR(saved.lines[0].end, placed, 1e-9) << "the first line ends where the second now starts";
}

// What cannot be read is named in one line (file, line, what); the rest is
// shown. Without a transcript nothing of it shows, and nothing is offered.
TEST_F(TranscriptTest, ABadLineIsNamedAndWithoutATranscriptNothingShows)
{
    OpenLesson(std::string("[00:01.30]First line\n[00:0x:zz]broken\n[00:04.30]Second line\n"));
    ASSERT_NE(Work().Window(), nullptr);
    const QString problem = Work().Window()->Problem();
    EXPECT_TRUE(problem.contains(QStringLiteral("lesson.lrc, line 2: "))) << problem.toStdString();
    EXPECT_EQ(List().model()->rowCount(), 2);
    Work().Window()->close();

    std::remove(PathIn("lesson.lrc").c_str());
    OpenLesson(std::nullopt);
    EXPECT_FALSE(Work().Window()->isVisible());
    EXPECT_EQ(List().model()->rowCount(), 0);
    EXPECT_FALSE(MenuCommand("Save transcript")->isEnabled());
    // The sentences are the sound's own again.
    EXPECT_EQ(dlg->Sentences().Finder().Sentences().size(), 3u);
    Press(Qt::Key_N);
    ExpectSegment(0.89, 3.11);
}

} // namespace
