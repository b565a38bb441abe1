#include "app/RecorderApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(ARDENO_APP_ID));
    CRecorderApp recorderApp;
    recorderApp.InitInstance();
    return 0;
}
