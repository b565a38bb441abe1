// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/BoundControls.h"
#include "window/WindowDispatch.h"
#include "window/WindowTimers.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// What a feature of the window needs from the window itself, for a feature
// built alone in a test: timers that only record whether they run, data
// exchanges and enabling that are counted, and a dispatch that runs the work
// at once and keeps what a failure said.
class FakeWindowFrame : public WindowTimers, public BoundControls, public WindowDispatch {
public:
    unsigned StartTimer(int id) override
    {
        running.at(id) = true;
        return unsigned(id);
    }
    void KillTimer(int id) override { running.at(id) = false; }
    bool IsTimerRunning(int id) const override { return running.at(id); }

    bool UpdateData(bool fromControls) override
    {
        ++(fromControls ? exchangesFrom : exchangesTo);
        return true;
    }
    void EnablePlaybackControls(bool enable) override { playbackEnabled.push_back(enable); }

    void Dispatch(const std::function<void()>& command) override
    {
        try {
            command();
        } catch (const std::exception& error) {
            failures.push_back(error.what());
        }
    }
    void RunWhenShown(std::function<void()> work) override { work(); }

    std::array<bool, 3> running{};
    int exchangesTo = 0;
    int exchangesFrom = 0;
    std::vector<bool> playbackEnabled;
    std::vector<std::string> failures;
};
