// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ids of the window's three 100 ms timers.
enum TimerId : int { RecordTimer = 0, RepeatTimer = 1, PointTimer = 2 };

// The window's three timers, started and killed by id; every tick reaches
// the window, which hands it on to the features it concerns.
class WindowTimers {
public:
    // Starts the timer (again from now); returns its id.
    virtual unsigned StartTimer(int id) = 0;
    virtual void KillTimer(int id) = 0;
    virtual bool IsTimerRunning(int id) const = 0;

protected:
    ~WindowTimers() = default;
};
