// A process that records a live test tone into the file named on its command
// line and prints the seconds recorded ten times a second, until it is killed
// (or a minute has passed). The tests kill it to see what a crash leaves.

#include "components/recorder/CMP3Enc.h"

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: recorder_probe INPUT-DESCRIPTION FILE\n";
        return 2;
    }
    CMP3Enc engine(argv[1]);
    std::string path = argv[2];
    engine.SetFileName(path.data());
    if (!engine.StartRec()) {
        std::cerr << engine.LastError() << '\n';
        return 1;
    }
    for (int tick = 0; tick < 600; ++tick) {
        std::cout << engine.GetRSec() << std::endl;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}
