#pragma once

#include "fakes/FakePlayer.h"
#include "fakes/FakeRecorder.h"
#include "fakes/ScriptedPrompts.h"
#include "window/RecorderDlg.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class QAbstractButton;
class QLineEdit;

// A real main window with a fake player and recorder and scripted prompts,
// its settings file in a private temporary folder.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Builds the window (not yet initialised).
    void Create();
    // Builds and initialises the window, as a start of the program does.
    void Start();

    QAbstractButton* Button(int id) const;
    QLineEdit* Edit(int id) const;
    std::string BoxText(int id) const;
    void Click(int id);
    // Path of a file in the test's private folder.
    std::string PathIn(const std::string& name) const;

    QTemporaryDir dir;
    WindowEnvironment environment;
    ScriptedPrompts prompts;
    FakePlayer* player = nullptr;
    FakeRecorder* recorder = nullptr;
    std::unique_ptr<CRecorderDlg> dlg;
};
