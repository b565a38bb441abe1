// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "window/commands/WindowCommands.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QAction>
#include <QListView>

// The text streams inside the media as transcripts, with the fake reader:
// the first one shown when no file is beside the media, the submenu picking
// another, a file beside winning, and a save beside the media.

namespace {

SubtitleStream Stream(const std::string& language, const std::string& title,
                      const std::vector<std::pair<double, std::string>>& cues)
{
    SubtitleStream stream{language, title, {}};
    stream.transcript.format = TranscriptFormat::Srt;
    for (const auto& [start, text] : cues)
        stream.transcript.lines.push_back({start, start + 1.5, text, {}, {}, 0});
    return stream;
}

class SubtitleStreamTest : public WindowTest {
protected:
    void SetUp() override { Start(); }

    // Opens the lesson; its reading ends with three streams: English,
    // Chinese without a title, and one without tags.
    std::string OpenLesson()
    {
        player->length = 10;
        const std::string path = OpenMedia("lesson.mkv");
        EXPECT_EQ(subtitles->read, std::vector<std::string>{path});
        subtitles->Report({Stream("en", "English", {{1, "First line"}, {4, "Second line"}}),
                           Stream("zh", "", {{2, "第一行"}}), Stream("", "", {{3, "Untagged"}})});
        return path;
    }

    TranscriptWork& Work() const { return dlg->Transcript(); }
    std::vector<QString> ShownRows() const
    {
        std::vector<QString> rows;
        if (!Work().Window())
            return rows;
        const QAbstractItemModel& model = *Work().Window()->List().model();
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back(model.index(row, 0).data().toString());
        return rows;
    }
};

using Rows = std::vector<QString>;

} // namespace

TEST_F(SubtitleStreamTest, TheFirstStreamIsShownAndTheSubmenuPicksAnother)
{
    OpenLesson();
    ASSERT_NE(Work().Window(), nullptr);
    EXPECT_TRUE(Work().Window()->isVisible());
    EXPECT_EQ(Work().Window()->Headline(), QStringLiteral("lesson.mkv, subtitle stream English (en)"));
    EXPECT_EQ(ShownRows(), (Rows{"First line", "Second line"}));
    EXPECT_NEAR(Work().LineSpans()[1].start, 4, 0.2);
    // Named by title and language, by language alone, by number.
    QAction* english = MenuCommand("English (en)");
    QAction* chinese = MenuCommand("zh");
    ASSERT_TRUE(english && chinese && MenuCommand("Stream 3"));
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(chinese->isChecked());

    MenuCommand("zh")->trigger();
    EXPECT_EQ(ShownRows(), (Rows{"第一行"}));
    EXPECT_TRUE(MenuCommand("zh")->isChecked());
    EXPECT_FALSE(MenuCommand("English (en)")->isChecked());
    EXPECT_EQ(Work().Window()->Headline(), QStringLiteral("lesson.mkv, subtitle stream zh"));
}

TEST_F(SubtitleStreamTest, AFileBesideTheMediaWinsAndTheStreamsAreStillOffered)
{
    WriteFileBytes(PathIn("lesson.srt"), "1\n00:00:05,000 --> 00:00:06,000\nFrom the file\n");
    OpenLesson();
    EXPECT_EQ(ShownRows(), (Rows{"From the file"}));
    EXPECT_EQ(Work().Window()->Headline(), QStringLiteral("lesson.srt"));
    ASSERT_NE(MenuCommand("English (en)"), nullptr);
    EXPECT_FALSE(MenuCommand("English (en)")->isChecked());

    MenuCommand("English (en)")->trigger();
    EXPECT_EQ(ShownRows(), (Rows{"First line", "Second line"}));
    // Opening a file afterwards replaces the stream again.
    prompts.openAnswers.push_back(PathIn("lesson.srt"));
    MenuCommand("Open transcript...")->trigger();
    EXPECT_EQ(ShownRows(), (Rows{"From the file"}));
    EXPECT_FALSE(MenuCommand("English (en)")->isChecked());
}

TEST_F(SubtitleStreamTest, SaveWritesTheStreamBesideTheMediaAsSrtAndAsksBeforeReplacing)
{
    OpenLesson();
    MenuCommand("Save transcript")->trigger();
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.srt")),
              "1\n00:00:01,000 --> 00:00:02,500\nFirst line\n\n2\n00:00:04,000 --> 00:00:05,500\nSecond line\n\n");

    // Another stream over the file saved: asked, and kept on No.
    MenuCommand("zh")->trigger();
    prompts.answers.push_back(BoxAnswer::No);
    MenuCommand("Save transcript")->trigger();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_NE(prompts.boxes.back().text.find("exists. Replace it with the subtitle stream?"), std::string::npos);
    EXPECT_NE(ReadFileBytes(PathIn("lesson.srt")).find("First line"), std::string::npos);
    prompts.answers.push_back(BoxAnswer::Yes);
    MenuCommand("Save transcript")->trigger();
    EXPECT_NE(ReadFileBytes(PathIn("lesson.srt")).find("第一行"), std::string::npos);
}

TEST_F(SubtitleStreamTest, ANewFileForgetsTheStreamsAndALateReportOfTheOldOneIsIgnored)
{
    const std::string lesson = OpenLesson();
    const std::string other = OpenMedia("other.mkv");
    EXPECT_EQ(subtitles->read, (std::vector<std::string>{lesson, other}));
    EXPECT_EQ(dlg->Commands().CommandNamed("English (en)"), nullptr);
    EXPECT_TRUE(ShownRows().empty());

    emit subtitles->streamsRead(SubtitleReading{lesson, {Stream("en", "Old", {{1, "Old line"}})}, {}});
    EXPECT_TRUE(ShownRows().empty());
    // A reading that stopped early names why in the submenu.
    subtitles->Report({}, "cannot read the subtitle streams of \"other.mkv\": demuxer: broken");
    EXPECT_NE(dlg->Commands().CommandNamed(
                  "Not all streams could be read: cannot read the subtitle streams of \"other.mkv\": demuxer: broken"),
              nullptr);
}
