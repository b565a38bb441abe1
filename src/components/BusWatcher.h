// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"

#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

// Hands every message of a pipeline's bus to one handler on the GUI thread,
// each message exactly once. The bus's poll descriptor is watched by the Qt
// event loop, so messages that arrive while the program is idle are handled
// without anyone polling, and no streaming thread ever runs the handler. An
// operation that must wait for the pipeline waits through HandleUntil, which
// hands the messages to the same handler as they arrive.
//
// Build, use and destroy it on the GUI thread, never from inside its handler.
class BusWatcher {
public:
    using Handler = std::function<void(GstMessage*)>;

    BusWatcher(GstBusHandle bus, Handler handler);
    ~BusWatcher();
    BusWatcher(const BusWatcher&) = delete;
    BusWatcher& operator=(const BusWatcher&) = delete;

    // Handles every message waiting on the bus now; never blocks.
    void Drain();
    // Handles messages as they arrive until `done()` holds (it is asked first
    // and after each message) or `timeout` has passed; returns whether it
    // holds. The handler may call it again for a wait of its own.
    bool HandleUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    GstBusHandle m_bus;
    Handler m_handler;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
