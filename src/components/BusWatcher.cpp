// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/BusWatcher.h"

#include "components/GuiThread.h"

#include <QSocketNotifier>

BusWatcher::BusWatcher(GstBusHandle bus, Handler handler) : m_bus(std::move(bus)), m_handler(std::move(handler))
{
    Q_ASSERT(OnGuiThread());
    // The descriptor is readable while messages wait on the bus; popping them
    // all makes it quiet again.
    GPollFD pollFd{};
    gst_bus_get_pollfd(m_bus.get(), &pollFd);
    m_notifier = std::make_unique<QSocketNotifier>(pollFd.fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { Drain(); });
}

BusWatcher::~BusWatcher() = default;

void BusWatcher::Drain()
{
    Q_ASSERT(OnGuiThread());
    while (GstMessageHandle message{gst_bus_pop(m_bus.get())})
        m_handler(message.get());
}

bool BusWatcher::HandleUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    Q_ASSERT(OnGuiThread());
    auto deadline = std::chrono::steady_clock::now() + timeout;
    // A wait on the bus also ends early when a signal interrupts it: only the
    // deadline ends the loop.
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (GstMessageHandle message{gst_bus_timed_pop(m_bus.get(), GstClockTime(left.count()))})
            m_handler(message.get());
    }
    return true;
}
