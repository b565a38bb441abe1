// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The application: runs the main window with the real engines.
class CRecorderApp {
public:
    // `fileToOpen`: a media file named on the command line, opened in place
    // of the settings' last media; empty for none.
    explicit CRecorderApp(std::string fileToOpen) : m_fileToOpen(std::move(fileToOpen)) {}

    // Runs the main window modally; returns false once it has ended, so that
    // no message loop of the application's own follows.
    bool InitInstance();

private:
    std::string m_fileToOpen;
};
