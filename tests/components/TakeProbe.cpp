// SPDX-License-Identifier: GPL-3.0-or-later
// A process that records one take of a live tone (which never falls silent)
// into the file named on its command line, and prints "recording" once it
// runs, until it is killed (or a minute has passed). The tests kill it to see
// what a crash in the middle of a take leaves.

#include "components/takes/CreateTakeEngines.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: take_probe INPUT-DESCRIPTION FILE\n";
        return 2;
    }
    QCoreApplication application(argc, argv);
    TakeEngines engines = CreateTakeEngines(argv[1]);
    if (!engines.recorder->Record(argv[2], 60)) {
        std::cerr << engines.recorder->LastError() << '\n';
        return 1;
    }
    std::cout << "recording" << std::endl;
    QTimer::singleShot(60000, &application, &QCoreApplication::quit);
    return application.exec();
}
