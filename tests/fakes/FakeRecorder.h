// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/recorder/Recorder.h"

#include <cstring>
#include <string>
#include <vector>

// A recorder that records the operations it is given and reports the values
// tests give it.
class FakeRecorder : public IRecorder {
public:
    void SetFileName(char* path) override
    {
        calls.push_back(std::string("SetFileName(") + path + ")");
        if (shortenNameTo < std::strlen(path))
            path[shortenNameTo] = '\0';
        fileName = path;
    }
    bool StartRec() override
    {
        calls.push_back("StartRec");
        recording = startSucceeds;
        if (startSucceeds)
            error.clear();
        return startSucceeds;
    }
    void PauseRec() override { calls.push_back("PauseRec"); }
    void StopRec() override
    {
        calls.push_back("StopRec");
        recording = false;
    }
    std::int32_t GetRSec() override
    {
        ++readings;
        return seconds;
    }
    std::int64_t GetFileSize() override
    {
        ++readings;
        return bytes;
    }
    bool IsRecording() const override { return recording; }
    std::string LastError() const override { return error; }

    // Makes a running recording fail as a full disk would.
    void FailWhileRecording(const std::string& reason)
    {
        recording = false;
        error = reason;
    }

    std::vector<std::string> calls;
    std::string fileName;
    // SetFileName cuts the name in place to this many characters, as an engine may.
    std::size_t shortenNameTo = std::string::npos;
    bool startSucceeds = true;
    bool recording = false;
    std::string error;
    std::int32_t seconds = 0;
    std::int64_t bytes = 0;
    int readings = 0;
};
