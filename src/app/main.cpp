// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/InterfaceLanguage.h"
#include "app/RecorderApp.h"
#include "app/VideoCdTrack.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // --help, --version and a refused command line are answered before Qt
    // starts, so they need no display; otherwise Qt reads the arguments too.
    const CommandLine commandLine(argc, argv);
    if (commandLine.Asked() != CommandLine::Request::RunWindow)
        return commandLine.AnswerInTerminal(stdout, stderr);

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(ARDENO_APP_ID));
    const InterfaceLanguage language;
    CRecorderApp recorderApp(commandLine.FileToOpen().empty() ? "" : VideoCdTrack(commandLine.FileToOpen()));
    recorderApp.InitInstance();
    return 0;
}
