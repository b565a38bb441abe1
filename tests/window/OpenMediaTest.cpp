// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QLineEdit>
#include <filesystem>

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kFilter =
    "All Files |*.*|Video CD (*.dat)|*.dat|mp3 (*.mp3)|*.mp3|wav (*.wav)|*.wav|mpg (*.mpg)|*.mpg||";
constexpr const char* kSaveQuestion =
    "暂停点已经被修改过了，并且尚未保存(如果选择保存，将可能会覆盖原来的暂停点文件)，是否要保存？";

using OpenMediaTest = WindowTest;

// Runs the test body's Open with another current directory.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path) : m_saved(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~CurrentDirectory() { std::filesystem::current_path(m_saved); }

private:
    std::filesystem::path m_saved;
};

TEST_F(OpenMediaTest, OpenPlaysTheFileWithAFreshSegmentAndItsPausePoints)
{
    Start();
    dlg->Segment().SetSegment(3, 8);

    std::string path = OpenMedia("lesson.mp3", "1.5\r\n3.25\r\n");

    EXPECT_EQ(player->Commands(), (Strings{"Stop", "SetMediaFileName(" + path + ")", "Play"}));
    EXPECT_TRUE(player->playing);
    EXPECT_EQ(Text(ControlId::MediaPath), path);
    EXPECT_EQ(dlg->Media().Path(), path);
    EXPECT_EQ(dlg->Segment().Start(), 0.0);
    EXPECT_EQ(dlg->Segment().End(), 0.0);
    EXPECT_EQ(Text(ControlId::StartTime), "0");
    EXPECT_EQ(Text(ControlId::EndTime), "0");

    EXPECT_EQ(dlg->Points().FilePath(), PathIn("lesson.txt"));
    EXPECT_EQ(Entries(), (Strings{"1.5\n", "3.25\n"}));
    EXPECT_EQ(dlg->Points().Times(), (std::vector<double>{1.5, 3.25}));
    EXPECT_EQ(dlg->Points().LastPointIndex(), 1);
    EXPECT_EQ(SelectedEntry(), 0);
    EXPECT_FALSE(dlg->Points().IsModified());
    for (ControlId id : kPlaybackControlGroup)
        EXPECT_TRUE(dlg->Control(id)->isEnabled()) << id;

    ASSERT_EQ(prompts.openDialogs.size(), 1u);
    EXPECT_EQ(prompts.openDialogs[0].initialPath, std::filesystem::current_path().string() + "/MP3File");
    EXPECT_EQ(prompts.openDialogs[0].filter, kFilter);
    EXPECT_TRUE(prompts.boxes.empty());
}

// A file dropped from a file manager opens as Open would; several files, or
// an address that is no file, are refused while they are dragged.
TEST_F(OpenMediaTest, ADroppedFileOpensAsOpenWould)
{
    Start();
    WriteFileBytes(PathIn("dropped.txt"), "2\r\n");
    auto dragOver = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dlg.get(), &enter);
        return enter.isAccepted();
    };
    EXPECT_FALSE(dragOver({QUrl("https://example.org/a.mp3")}));
    EXPECT_FALSE(dragOver({QUrl::fromLocalFile(QString::fromStdString(PathIn("a.mp3"))),
                           QUrl::fromLocalFile(QString::fromStdString(PathIn("b.mp3")))}));
    const QUrl dropped = QUrl::fromLocalFile(QString::fromStdString(PathIn("dropped.mp3")));
    ASSERT_TRUE(dragOver({dropped}));

    QMimeData data;
    data.setUrls({dropped});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dlg.get(), &drop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->playing; }, 2000));
    EXPECT_EQ(player->Commands(), (Strings{"Stop", "SetMediaFileName(" + PathIn("dropped.mp3") + ")", "Play"}));
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{2});
}

TEST_F(OpenMediaTest, DialogStartsInMp3FileOfTheCurrentDirectory)
{
    Start();
    {
        CurrentDirectory root("/");
        prompts.openAnswers.push_back(std::nullopt);
        Click(ControlId::Open);
    }
    {
        CurrentDirectory folder(dir.path().toStdString());
        prompts.openAnswers.push_back(std::nullopt);
        Click(ControlId::Open);
    }
    ASSERT_EQ(prompts.openDialogs.size(), 2u);
    EXPECT_EQ(prompts.openDialogs[0].initialPath, "/MP3File");
    EXPECT_EQ(prompts.openDialogs[1].initialPath, PathIn("MP3File"));
}

TEST_F(OpenMediaTest, MediaWithoutPausePointFileHasAnEmptyList)
{
    Start();
    OpenMedia("talk.mpeg", std::nullopt);
    EXPECT_EQ(dlg->Points().FilePath(), PathIn("talk.mtxt"));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(dlg->Points().LastPointIndex(), -1);
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(OpenMediaTest, CancelLeavesEverythingAsItWas)
{
    Start();
    std::string first = OpenMedia("lesson.mp3", "5\r\n9\r\n");
    dlg->Segment().SetSegment(2, 4);
    player->position = 6;
    Click(ControlId::AddPoint);  // Add: the points are now modified
    player->calls.clear();

    prompts.answers.push_back(BoxAnswer::No);
    prompts.openAnswers.push_back(std::nullopt);
    Click(ControlId::Open);

    EXPECT_EQ(player->Commands(), Strings{"Stop"});
    EXPECT_EQ(dlg->Media().Path(), first);
    EXPECT_EQ(Text(ControlId::MediaPath), first);
    EXPECT_EQ(dlg->Segment().Start(), 2.0);
    EXPECT_EQ(dlg->Segment().End(), 4.0);
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_TRUE(dlg->Points().IsModified());
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "5\r\n9\r\n");
}

TEST_F(OpenMediaTest, ModifiedPointsAreOfferedForSavingBeforeTheDialog)
{
    Start();
    OpenMedia("first.mp3", "5\r\n");
    player->position = 8.33;
    Click(ControlId::AddPoint);
    prompts.events.clear();

    prompts.answers.push_back(BoxAnswer::Yes);
    OpenMedia("second.mp3", "1\r\n2\r\n");

    EXPECT_EQ(prompts.events, (Strings{std::string("box:") + kSaveQuestion, "open-dialog"}));
    EXPECT_EQ(prompts.boxes.back().caption, "Kestwin Software Inc");
    EXPECT_EQ(prompts.boxes.back().icon, BoxIcon::None);
    EXPECT_EQ(prompts.boxes.back().buttons, BoxButtons::YesNo);
    EXPECT_EQ(ReadFileBytes(PathIn("first.txt")), "5.000000\r\n8.000000\r\n");
    EXPECT_EQ(Entries(), (Strings{"1\n", "2\n"}));
    EXPECT_FALSE(dlg->Points().IsModified());
}

TEST_F(OpenMediaTest, PointsThatCouldNotBeSavedStayInsteadOfBeingReplaced)
{
    Start();
    // A folder where the pause-point file should be: it cannot be replaced.
    std::filesystem::create_directory(PathIn("first.txt"));
    OpenMedia("first.mp3", std::nullopt);
    player->position = 3;
    Click(ControlId::AddPoint);

    prompts.answers.push_back(BoxAnswer::Yes);
    prompts.openAnswers.push_back(PathIn("second.mp3"));
    Click(ControlId::Open);

    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[1].text, "Cannot save the pause points in \"" + PathIn("first.txt") + "\": Is a directory");
    EXPECT_TRUE(prompts.openDialogs.size() == 1u);  // only the first Open's
    EXPECT_EQ(dlg->Media().Path(), PathIn("first.mp3"));
    EXPECT_EQ(Entries(), Strings{"2.670000"});
    EXPECT_TRUE(dlg->Points().IsModified());
}

TEST_F(OpenMediaTest, PlayerFaultOnLoadEndsOpenThere)
{
    Start();
    player->failOn = {FakePlayer::kLoad};
    dlg->Segment().SetSegment(2, 0);
    std::string path = OpenMedia("broken.mp3", "1\r\n");

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(prompts.boxes[0].text, "SetMediaFileName failed");
    EXPECT_EQ(dlg->Media().Path(), path);
    EXPECT_EQ(dlg->Segment().Start(), 2.0);
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(dlg->Control(ControlId::Play)->isEnabled());
}

TEST_F(OpenMediaTest, CloseOffersModifiedPointsAfterStoppingThePlayer)
{
    Start();
    OpenMedia("lesson.mp3", "1.5\r\n3.25\r\n7");
    player->position = 10.33;
    Click(ControlId::AddPoint);
    Strings commandsAtQuestion;
    prompts.whileBoxOpen = [&] { commandsAtQuestion = player->Commands(); };
    prompts.answers.push_back(BoxAnswer::Yes);

    dlg->close();

    EXPECT_EQ(prompts.BoxTexts(), Strings{kSaveQuestion});
    ASSERT_FALSE(commandsAtQuestion.empty());
    EXPECT_EQ(commandsAtQuestion.back(), "Stop");
    EXPECT_EQ(ReadFileBytes(PathIn("lesson.txt")), "1.500000\r\n3.250000\r\n7.000000\r\n10.000000\r\n");
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(OpenMediaTest, CloseStaysOpenWhenTheModifiedPointsCannotBeSaved)
{
    Start();
    OpenMedia("lesson.mp3", std::nullopt);
    player->position = 10.33;
    Click(ControlId::AddPoint);
    // A folder where the pause-point file belongs makes the save fail.
    ASSERT_TRUE(QDir(QString::fromStdString(PathIn(""))).mkdir("lesson.txt"));
    prompts.answers.push_back(BoxAnswer::Yes);

    dlg->close();

    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[0].text, kSaveQuestion);
    EXPECT_NE(prompts.boxes[1].text.find("lesson.txt"), std::string::npos) << prompts.boxes[1].text;
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->Points().IsModified());
    EXPECT_EQ(dlg->Points().Times(), std::vector<double>{10.0});
}

TEST_F(OpenMediaTest, UnmodifiedPointsAreNotOffered)
{
    Start();
    OpenMedia("lesson.mp3", "1.5\r\n");
    dlg->close();
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_FALSE(dlg->isVisible());
}

} // namespace
