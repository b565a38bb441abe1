// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt Widgets dialog of a given size and title, and nothing else: what
// any Qt program of one window costs to start and to keep. `make bench` runs
// it under window_probe beside the real program, in the same X server, so
// that the program's start-up and memory are measured against it.
//
// bare_dialog TITLE WIDTHxHEIGHT

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Positional: Qt takes "-title" and such for itself, with one dash or two.
    const QStringList arguments = QCoreApplication::arguments();
    const QStringList widthAndHeight = arguments.size() == 3 ? arguments[2].split(u'x') : QStringList();
    if (widthAndHeight.size() != 2) {
        std::fprintf(stderr, "usage: bare_dialog TITLE WIDTHxHEIGHT\n");
        return 2;
    }
    QDialog dialog;
    dialog.setWindowTitle(arguments[1]);
    dialog.setFixedSize(widthAndHeight[0].toInt(), widthAndHeight[1].toInt());
    // A close request rejects the dialog and ends the program with 0.
    return dialog.exec();
}
