// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowTest.h"
#include "window/commands/WindowCommands.h"
#include "window/speed/PlaybackSpeed.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <stdexcept>

// The keys of the window's commands, pressed on whatever control has the
// focus, as real key events.

namespace {

using Strings = std::vector<std::string>;

// A started window on screen with the playback controls enabled, as after an
// Open, and the player's calls so far forgotten.
class KeysTest : public WindowTest {
protected:
    void SetUp() override
    {
        Start();
        dlg->EnablePlaybackControls(true);
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        player->calls.clear();
    }

    void FocusOn(ControlId id)
    {
        Control(id)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), Control(id));
    }

    // A key pressed and released on the control that has the focus.
    static void Press(QKeyCombination key)
    {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        // Letters type their lower case; the other keys type nothing.
        QString text = key.key() < Qt::Key_Escape && !(key.keyboardModifiers() & Qt::ControlModifier)
                           ? QString(QChar(key.key())).toLower()
                           : QString();
        QTest::sendKeyEvent(QTest::Click, focused, key.key(), text, key.keyboardModifiers());
    }

    void SetSegment(double start, double end) { dlg->Segment().SetSegment(start, end); }
    double SegmentStart() const { return dlg->Segment().Start(); }
    double SegmentEnd() const { return dlg->Segment().End(); }

    // The texts of a menu's commands, their keys after a tab.
    static Strings Texts(const QMenu& menu)
    {
        Strings texts;
        for (QAction* action : menu.actions()) {
            if (!action->isSeparator())
                texts.push_back(action->text().toStdString());
        }
        return texts;
    }
};

TEST_F(KeysTest, SpacePlaysAndPausesWhenAButtonHasTheFocus)
{
    // A Stop button that took Space for a click would stop instead.
    FocusOn(ControlId::TopStop);
    SetSegment(2, 5);

    Press(Qt::Key_Space);
    EXPECT_EQ(player->Commands(), (Strings{"SetMediaFileName(D:\\AllMediaFile.mp3)", "SetCurrentPosition(5.000000)", "Play"}));
    EXPECT_DOUBLE_EQ(SegmentStart(), 5);

    player->calls.clear();
    player->position = 7.5;
    Press(Qt::Key_Space);
    EXPECT_EQ(player->Commands(), Strings{"Pause"});
    EXPECT_DOUBLE_EQ(SegmentEnd(), 7.5);
    EXPECT_EQ(Text(ControlId::EndTime), "7.5");

    // The media key does the same.
    player->calls.clear();
    Press(Qt::Key_MediaTogglePlayPause);
    EXPECT_EQ(player->Commands().back(), "Play");
    Press(Qt::Key_MediaTogglePlayPause);
    EXPECT_EQ(player->Commands().back(), "Pause");
}

TEST_F(KeysTest, EnterAndRRepeatWhenAButtonHasTheFocus)
{
    // An Exit button that took Enter for a click would end the window.
    FocusOn(ControlId::Exit);
    SetSegment(2, 5);
    const QKeyCombination keypadEnter(Qt::KeypadModifier, Qt::Key_Enter);
    for (QKeyCombination key : {QKeyCombination(Qt::Key_Return), keypadEnter, QKeyCombination(Qt::Key_R),
                                QKeyCombination(Qt::Key_MediaPrevious)}) {
        player->calls.clear();
        dlg->KillTimer(RepeatTimer);
        Press(key);
        EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(2.000000)", "Play"})) << key.key();
        EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer)) << key.key();
    }
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(KeysTest, ArrowsAndLettersReachTheirCommandsFromAFocusedTimeBox)
{
    FocusOn(ControlId::StartTime);
    SetSegment(10, 10.2);
    Press(Qt::Key_Left); // end earlier, pushing the start
    EXPECT_DOUBLE_EQ(SegmentEnd(), 9.7);
    EXPECT_DOUBLE_EQ(SegmentStart(), 9.5);
    Press(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(SegmentEnd(), 10.2);
    Press(Qt::ShiftModifier | Qt::Key_Right); // start later
    EXPECT_DOUBLE_EQ(SegmentStart(), 10.0);
    Press(Qt::ShiftModifier | Qt::Key_Left);
    EXPECT_DOUBLE_EQ(SegmentStart(), 9.5);

    player->position = 3.25;
    Press(Qt::Key_A);
    EXPECT_DOUBLE_EQ(SegmentStart(), 3.25);
    player->position = 4.5;
    Press(Qt::Key_B);
    EXPECT_DOUBLE_EQ(SegmentEnd(), 4.5);
    // The box shows the mark, with no letter typed into it.
    EXPECT_EQ(Text(ControlId::StartTime), "3.25");
    EXPECT_EQ(Text(ControlId::EndTime), "4.5");

    player->calls.clear();
    Press(Qt::Key_S);
    Press(Qt::Key_MediaStop);
    EXPECT_EQ(player->Commands(), (Strings{"Stop", "Stop"}));
    EXPECT_EQ(QApplication::focusWidget(), Control(ControlId::StartTime)) << "the focus stays where the user put it";
}

TEST_F(KeysTest, OpenAndTheRecordingCommandsHaveKeysOfTheirOwn)
{
    prompts.openAnswers.push_back(PathIn("lesson.mp3"));
    Press(Qt::ControlModifier | Qt::Key_O);
    EXPECT_EQ(player->loadedPath, PathIn("lesson.mp3"));

    Press(Qt::ControlModifier | Qt::Key_R);
    EXPECT_EQ(prompts.BoxTexts(), Strings{"Please Input Save File Name!"});

    prompts.saveAnswers.push_back(PathIn("talk"));
    Press(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S);
    Press(Qt::ControlModifier | Qt::Key_R);
    Press(Qt::ControlModifier | Qt::Key_P);
    Press(Qt::ControlModifier | Qt::Key_E);
    EXPECT_EQ(recorder->calls,
              (Strings{"SetFileName(" + PathIn("talk.mp3") + ")", "StartRec", "PauseRec", "StopRec"}));

    // While recording, Save... is disabled, and so is its key.
    Press(Qt::ControlModifier | Qt::Key_R);
    prompts.saveAnswers.push_back(PathIn("other"));
    Press(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S);
    EXPECT_EQ(prompts.saveDialogs, 1);
}

TEST_F(KeysTest, BracketsStepTheSpeedAndBackspaceReturnsToTheMediasOwn)
{
    FocusOn(ControlId::Repeat);
    PlaybackSpeed& speed = dlg->Speed();
    Press(Qt::Key_BracketRight);
    EXPECT_DOUBLE_EQ(speed.Speed(), 1.1);
    EXPECT_EQ(player->speed, 1.1);
    for (double expected : {1.25, 1.5, 1.5}) {
        Press(Qt::Key_BracketRight);
        EXPECT_DOUBLE_EQ(speed.Speed(), expected);
    }
    for (double expected : {1.25, 1.1, 1.0, 0.9, 0.8, 0.75, 0.7, 0.6, 0.5, 0.5}) {
        Press(Qt::Key_BracketLeft);
        EXPECT_DOUBLE_EQ(speed.Speed(), expected);
    }
    Press(Qt::Key_Backspace);
    EXPECT_DOUBLE_EQ(speed.Speed(), 1.0);
    // The player follows the last speed chosen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->speed == 1.0 && player->calls.size() > 1; }, 1000));
    EXPECT_EQ(QApplication::focusWidget(), Control(ControlId::Repeat));
}

// The time boxes are the program's to fill: Backspace there is the speed's too.
TEST_F(KeysTest, TheSpeedKeysActFromAFocusedTimeBox)
{
    FocusOn(ControlId::EndTime);
    SetSegment(2, 5);
    Press(Qt::Key_BracketLeft);
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 0.9);
    Press(Qt::Key_Backspace);
    EXPECT_DOUBLE_EQ(dlg->Speed().Speed(), 1.0);
    EXPECT_EQ(Text(ControlId::EndTime), "5");
}

TEST_F(KeysTest, TheHiddenPausePointCommandsWorkFromTheirKeys)
{
    OpenMedia("lesson.mp3", "5.000000\r\n9.000000\r\n");
    player->calls.clear();

    Press(Qt::ControlModifier | Qt::Key_Down);
    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(9.000000)", "Play"}));

    player->calls.clear();
    Press(Qt::ControlModifier | Qt::Key_Return);
    EXPECT_EQ(player->Commands(), (Strings{"SetCurrentPosition(9.000000)", "Play"}));
    EXPECT_TRUE(dlg->IsTimerRunning(PointTimer));

    player->position = 12.5;
    Press(Qt::Key_Insert);
    // (Entries read from the file keep their line ends.)
    EXPECT_EQ(Entries(), (Strings{"5.000000\n", "9.000000\n", "12.170000"}));
    Press(Qt::ControlModifier | Qt::Key_Right);
    Press(Qt::ControlModifier | Qt::Key_Right);
    Press(Qt::ControlModifier | Qt::Key_Left);
    EXPECT_EQ(Entries().back(), "12.670000");
    SelectEntry(0);
    Press(Qt::ControlModifier | Qt::Key_Delete);
    EXPECT_EQ(Entries(), (Strings{"9.000000\n", "12.670000"}));

    prompts.answers.push_back(BoxAnswer::Yes); // the file exists: replace it
    Press(Qt::ControlModifier | Qt::Key_S);
    EXPECT_EQ(prompts.BoxTexts().back(), "声音的暂停点文件保存完毕.");
    EXPECT_FALSE(dlg->Points().IsModified());
}

// The keys of the buttons in the playback group do nothing while the group
// is disabled (before the first media, after a fault), as the buttons do.
TEST_F(KeysTest, AKeyDoesNothingWhileItsButtonIsDisabled)
{
    dlg->EnablePlaybackControls(false);
    SetSegment(2, 5);
    for (QKeyCombination key : {QKeyCombination(Qt::Key_R), QKeyCombination(Qt::Key_Return),
                                QKeyCombination(Qt::ControlModifier | Qt::Key_Down), QKeyCombination(Qt::Key_N),
                                QKeyCombination(Qt::Key_Insert), QKeyCombination(Qt::Key_MediaPause)})
        Press(key);
    EXPECT_TRUE(player->Commands().empty());
    EXPECT_FALSE(dlg->IsTimerRunning(RepeatTimer));

    // Outside the group the keys still act.
    Press(Qt::Key_S);
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
    dlg->EnablePlaybackControls(true);
    Press(Qt::Key_R);
    EXPECT_TRUE(dlg->IsTimerRunning(RepeatTimer));
}

TEST_F(KeysTest, NoKeyRunsACommandWhileABoxIsOpen)
{
    QMessageBox box(QMessageBox::Information, "Kestwin Software Inc", "a box", QMessageBox::Ok, dlg.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &box);
    // Neither the keys the box gets nor any that reach the window.
    QTest::keyClick(&box, Qt::Key_S);
    QTest::keyClick(Control(ControlId::TopStop), Qt::Key_S);
    QTest::keyClick(Control(ControlId::StartTime), Qt::Key_Space);
    EXPECT_TRUE(player->Commands().empty());
    box.close();

    // Nor while a command waits in a box of its own.
    prompts.whileBoxOpen = [this] { QTest::keyClick(Control(ControlId::StartTime), Qt::Key_S); };
    Press(Qt::ControlModifier | Qt::Key_R); // no file to record into: a box
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_TRUE(player->Commands().empty());

    prompts.whileBoxOpen = nullptr;
    Press(Qt::Key_S);
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
}

TEST_F(KeysTest, AKeyHeldDownRunsItsCommandOnce)
{
    SetSegment(10, 11);
    FocusOn(ControlId::EndTime);
    for (bool repeated : {false, true, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), repeated);
        QApplication::sendEvent(Control(ControlId::EndTime), &press);
    }
    EXPECT_DOUBLE_EQ(SegmentEnd(), 11.5);
}

TEST_F(KeysTest, EscapeStillEndsTheRunWithoutTheCloseSteps)
{
    FocusOn(ControlId::Play);
    QTimer::singleShot(0, [] { Press(Qt::Key_Escape); });
    EXPECT_EQ(dlg->exec(), 0);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(player->Commands().empty());
}

TEST_F(KeysTest, TheContextMenuListsTheCommandsWithTheirKeysAndRunsThem)
{
    QMenu* menu = dlg->SystemMenu();
    Strings texts = Texts(*menu);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Play/Pause\tSpace, Toggle Media Play/Pause");
    EXPECT_EQ(texts.back(), "关于 Ardeno Audio Recorder(&A)...");
    auto has = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
    EXPECT_TRUE(has("Repeat\tReturn, Enter, R, Media Previous"));
    EXPECT_TRUE(has("End Earlier\tLeft"));
    EXPECT_TRUE(has("Start Later\tShift+Right"));
    EXPECT_TRUE(has("Open...\tCtrl+O"));
    EXPECT_TRUE(has("Record\tCtrl+R"));

    QAction* points = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == "Pause Points")
            points = action;
        else if (action->text().startsWith("Stop\t"))
            action->trigger();
    }
    EXPECT_EQ(player->Commands(), Strings{"Stop"});
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(Texts(*points->menu()),
              (Strings{"Add Pause Point\tIns", "Delete Pause Point\tCtrl+Del", "Pause Point Earlier\tCtrl+Left",
                       "Pause Point Later\tCtrl+Right", "Replay Pause Point\tCtrl+Return", "Next Pause Point\tCtrl+Down",
                       "Save Pause Points\tCtrl+S"}));
}

// What a feature that brings its own commands relies on.
TEST_F(KeysTest, AFeatureAddsItsCommandsInOneCallEach)
{
    WindowCommands& commands = dlg->Commands();
    std::vector<bool> toggles;
    QMenu* speed = commands.AddSubmenu("Speed");
    QAction* slow = commands.AddCheckable("Slow", {Qt::Key_F7}, false, [&](bool on) { toggles.push_back(on); }, speed);
    int runs = 0;
    commands.Add("Count", {Qt::Key_F8}, [&] { ++runs; }, speed);

    Press(Qt::Key_F7);
    Press(Qt::Key_F8);
    Press(Qt::Key_F7);
    EXPECT_EQ(toggles, (std::vector<bool>{true, false}));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Texts(*speed), (Strings{"Slow\tF7", "Count\tF8"}));

    // Refused while a box is open: the checkable command keeps its state.
    QMessageBox box(QMessageBox::Information, "", "", QMessageBox::Ok, dlg.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QTest::keyClick(dlg.get(), Qt::Key_F7);
    EXPECT_FALSE(slow->isChecked());
    EXPECT_EQ(toggles.size(), 2u);
    box.close();

    // A key runs one command only.
    EXPECT_THROW(commands.Add("Another", {Qt::Key_Space}, [] {}), std::logic_error);

    // A command's fault is shown as every command's is.
    commands.Add("Fail", {Qt::Key_F9}, [] { throw std::runtime_error("the feature failed"); });
    Press(Qt::Key_F9);
    EXPECT_EQ(prompts.BoxTexts(), Strings{"the feature failed"});
    EXPECT_EQ(prompts.boxes.back().icon, BoxIcon::Stop);
}

} // namespace
