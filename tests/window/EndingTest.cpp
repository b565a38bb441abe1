// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileBytes.h"
#include "window/AboutDlg.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QTimer>

namespace {

// Closes the next modal dialog once it is up and reports its title.
void CloseNextModal(QString* title)
{
    QTimer::singleShot(0, [title] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        ASSERT_NE(qobject_cast<CAboutDlg*>(modal), nullptr);
        *title = modal->windowTitle();
        modal->close();
    });
}

} // namespace

TEST_F(WindowTest, ExitStopsEveryTimerAndWritesNothing)
{
    Start();
    QFile settings(QString::fromStdString(environment.settingsPath));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("previous contents");
    settings.close();

    for (int id : {RecordTimer, RepeatTimer, PointTimer})
        dlg->StartTimer(id);
    int ticksAfterExit = 0;
    recorder->readings = 0;
    QTimer::singleShot(0, [&] { Click(ControlId::Exit); });
    int result = dlg->exec();
    int readingsAtExit = recorder->readings;
    // Let well over one period pass: no tick may arrive any more.
    QTimer wait;
    wait.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&wait, &QTimer::timeout, &loop, &QEventLoop::quit);
    wait.start(250);
    loop.exec();
    ticksAfterExit = recorder->readings - readingsAtExit;
    EXPECT_EQ(ticksAfterExit, 0);
    EXPECT_EQ(result, 0);
    for (int id : {RecordTimer, RepeatTimer, PointTimer})
        EXPECT_FALSE(dlg->IsTimerRunning(id));
    EXPECT_TRUE(player->Commands().empty());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), QByteArray("previous contents"));
}

TEST_F(WindowTest, EscapeEndsTheRunWithoutTheCloseSteps)
{
    Start();
    QTimer::singleShot(0, [&] { dlg->reject(); });
    dlg->exec();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(environment.settingsPath)));
}

TEST_F(WindowTest, CloseStopsThePlayerAndEndsTheRun)
{
    Start();
    QTimer::singleShot(0, [&] { dlg->close(); });
    dlg->exec();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(player->Commands(), std::vector<std::string>{"Stop"});
}

// A player that fails to stop costs the user neither the settings nor the end
// of the run.
TEST_F(WindowTest, CloseSavesTheSettingsAndEndsAlsoWhenThePlayerFaults)
{
    Start();
    player->failOn = {FakePlayer::kStop};
    dlg->Segment().SetSegment(4.5, 9.25);
    dlg->close();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(prompts.boxes[0].text, "Stop failed");
    EXPECT_EQ(ReadFileBytes(environment.settingsPath).substr(0, 20), "4.500000\r\n9.250000\r\n");
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(WindowTest, AboutOpensFromTheButtonAndFromTheMenu)
{
    Start();
    QString fromButton;
    CloseNextModal(&fromButton);
    Click(ControlId::About);
    EXPECT_EQ(fromButton, QString("About Ardeno Audio Recorder"));

    QString fromMenu;
    CloseNextModal(&fromMenu);
    ASSERT_NE(dlg->SystemMenu(), nullptr);
    QList<QAction*> actions = dlg->SystemMenu()->actions();
    ASSERT_FALSE(actions.isEmpty());
    EXPECT_EQ(actions.last()->text(), QString("关于 Ardeno Audio Recorder(&A)..."));
    actions.last()->trigger();
    EXPECT_EQ(fromMenu, QString("About Ardeno Audio Recorder"));
}

// A handler that fails with anything but a player fault (the standard library,
// memory) is reported the same way, and the window goes on working.
TEST_F(WindowTest, AnyFailureOfACommandIsShownAndTheWindowStaysOpen)
{
    Start();
    player->failOn = {FakePlayer::kLoad};
    player->failWithStandardError = true;
    OpenMedia("lesson.mp3");
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "SetMediaFileName ran out of room");
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(dlg->isVisible());

    player->failOn.clear();
    OpenMedia("lesson.mp3");
    EXPECT_TRUE(player->playing);
}
