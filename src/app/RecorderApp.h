#pragma once

// The application: starts the media framework and runs the main window.
class CRecorderApp {
public:
    // Runs the main window modally; returns false once it has ended, so that
    // no message loop of the application's own follows.
    bool InitInstance();
};
