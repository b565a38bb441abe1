// SPDX-License-Identifier: GPL-3.0-or-later
// Replaces a pause-point file and a settings file over and over, each time
// with the other of two versions, until it is killed; says "writing" once
// both have been written. The interrupted-save
// test kills it at random moments.
// Usage: replacing_writer <pause-point file> <settings file>

#include "SaveVersions.h"
#include "window/text/TextFile.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <pause-point file> <settings file>\n", argv[0]);
        return 2;
    }
    const std::string points[] = {PointFileVersion(false), PointFileVersion(true)};
    const std::string settings[] = {SettingsFileVersion(false), SettingsFileVersion(true)};
    for (unsigned round = 0;; ++round) {
        for (const auto& [path, text] : {std::pair{argv[1], points[round % 2]}, std::pair{argv[2], settings[round % 2]}}) {
            if (std::optional<std::string> failure = ReplaceTextFile(path, text)) {
                std::fprintf(stderr, "cannot write %s: %s\n", path, failure->c_str());
                return 1;
            }
        }
        if (round == 0) {
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}
