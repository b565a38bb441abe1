// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/feedback/TakeComparer.h"
#include "components/takes/TakePlayer.h"
#include "components/takes/TakeRecorder.h"
#include "support/FileBytes.h"

#include <filesystem>
#include <string>
#include <vector>

// A take recorder that records the operations it is given; a test ends each
// take as the real one would (End), and can make the start fail.
class FakeTakeRecorder : public TakeRecorder {
public:
    bool Record(const std::string& path, double longestSeconds) override
    {
        calls.push_back("Record(" + path + ", " + std::to_string(longestSeconds) + ")");
        error = startSucceeds ? std::string() : startFailure;
        recording = startSucceeds;
        this->path = path;
        return startSucceeds;
    }
    void Cancel() override
    {
        if (recording)
            calls.push_back("Cancel");
        recording = false;
    }
    bool IsRecording() const override { return recording; }
    std::string LastError() const override { return error; }

    // Ends the running take: a kept one is written under its name, as the
    // real recorder leaves it; a failed one says `reason`.
    void End(Outcome outcome, const std::string& reason = {})
    {
        recording = false;
        error = reason;
        if (outcome == Outcome::Kept) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            WriteFileBytes(path, "take");
        }
        emit takeEnded(outcome);
    }

    std::vector<std::string> calls;
    std::string path;
    bool startSucceeds = true;
    std::string startFailure = "the take could not start";
    bool recording = false;
    std::string error;
};

// A take player that records what it is asked to play; a test ends the
// playback (Finish), with an error when it is given one.
class FakeTakePlayer : public TakePlayer {
public:
    bool Play(const std::string& path) override
    {
        calls.push_back("Play(" + path + ")");
        playing = true;
        error.clear();
        return true;
    }
    bool PlayStretch(const std::string& path, const TimeSpan& stretch) override
    {
        calls.push_back("PlayStretch(" + path + ", " + std::to_string(stretch.start) + ", "
                        + std::to_string(stretch.end) + ")");
        playing = true;
        error.clear();
        return true;
    }
    void Stop() override
    {
        if (playing)
            calls.push_back("Stop");
        playing = false;
    }
    bool IsPlaying() const override { return playing; }
    std::string LastError() const override { return error; }

    void Finish(const std::string& reason = {})
    {
        playing = false;
        error = reason;
        emit finished();
    }

    std::vector<std::string> calls;
    bool playing = false;
    std::string error;
};

// A comparer that keeps what it is asked to compare; a test gives the result
// (Deliver), as the real one would on the GUI thread.
class FakeTakeComparer : public TakeComparer {
public:
    void Compare(const TakeToCompare& take) override { requests.push_back(take); }
    void Cancel() override { ++cancels; }

    // Reports `comparison` for the last request.
    void Deliver(const TakeComparison& comparison, const std::string& problem = {})
    {
        emit compared({requests.back(), problem, comparison});
    }

    std::vector<TakeToCompare> requests;
    int cancels = 0;
};
