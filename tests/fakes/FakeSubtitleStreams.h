// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/SubtitleStreams.h"

#include <string>
#include <vector>

// A reader of text streams that reads nothing: a test reads which files it
// was asked for and hands the window the streams a real one would find
// (Report), when it likes.
class FakeSubtitleStreams : public SubtitleStreams {
public:
    void Read(const std::string& path) override { read.push_back(path); }
    void Cancel() override { ++cancels; }

    // The reading of the last file asked for ends with `streams`.
    void Report(std::vector<SubtitleStream> streams, const std::string& problem = {})
    {
        emit streamsRead(SubtitleReading{read.empty() ? std::string() : read.back(), std::move(streams), problem});
    }

    std::vector<std::string> read;
    int cancels = 0;
};
