#include "app/RecorderApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CRecorderApp recorderApp;
    recorderApp.InitInstance();
    return 0;
}
