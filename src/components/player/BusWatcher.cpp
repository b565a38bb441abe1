#include "components/player/BusWatcher.h"

#include <QSocketNotifier>

BusWatcher::BusWatcher(GstBusHandle bus, Handler handler) : m_bus(std::move(bus)), m_handler(std::move(handler))
{
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
    while (GstMessageHandle message{gst_bus_pop(m_bus.get())})
        m_handler(message.get());
}

bool BusWatcher::DrainUntilError(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
        GstMessageHandle message{gst_bus_timed_pop(m_bus.get(), left.count() > 0 ? GstClockTime(left.count()) : 0)};
        if (!message)
            return false;
        m_handler(message.get());
        if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR)
            return true;
    }
}
