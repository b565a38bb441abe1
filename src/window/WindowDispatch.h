// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// How a feature's work runs as the window's own commands do: a fault that no
// guard caught is shown in a stop-sign box and the window stays open.
class WindowDispatch {
public:
    // Runs `command` now, through the window's message dispatch.
    virtual void Dispatch(const std::function<void()>& command) = 0;
    // Runs `work` once the window is on screen while it is being started (so
    // that slow work does not keep it off the screen); at once otherwise.
    virtual void RunWhenShown(std::function<void()> work) = 0;

protected:
    ~WindowDispatch() = default;
};
