// SPDX-License-Identifier: GPL-3.0-or-later
// A process that records a live test tone into the file named on its command
// line and prints the seconds recorded ten times a second, until it is killed
// (or a minute has passed). The tests kill it to see what a crash leaves.

#include "components/recorder/CMP3Enc.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: recorder_probe INPUT-DESCRIPTION FILE\n";
        return 2;
    }
    std::string input = argv[1];
    std::string path = argv[2];
    // The recorder handles its pipeline's messages on the event loop.
    QCoreApplication application(argc, argv);
    CMP3Enc engine(input);
    engine.SetFileName(path.data());
    if (!engine.StartRec()) {
        std::cerr << engine.LastError() << '\n';
        return 1;
    }
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        std::cout << engine.GetRSec() << std::endl;
        if (++ticks == 600)
            application.quit();
    });
    ticker.start(100);
    return application.exec();
}
