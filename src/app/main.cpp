#include "app/RecorderApp.h"
#include "components/MediaFramework.h"

#include <QApplication>
#include <thread>

int main(int argc, char** argv)
{
    // The media framework reads its plugin registry (about 20 ms) while Qt
    // connects to the display; the start-up waits for it where it needs it.
    std::jthread preparingMediaFramework(InitialiseMediaFramework);
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(ARDENO_APP_ID));
    CRecorderApp recorderApp;
    recorderApp.InitInstance();
    return 0;
}
