// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/EnvironmentOverride.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

// A D-Bus session bus of the test's own: a dbus-daemon started for it, named
// by DBUS_SESSION_BUS_ADDRESS while this object lives (the variable is given
// back its old value after). The daemon is stopped by its own process.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool Ready() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }
    const QString& Address() const { return m_address; }
    // A connection of its own to this bus (as a second program has), closed
    // with the bus.
    QDBusConnection Connect(const QString& name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
    std::string m_problem;
    EnvironmentOverride m_environment;
};
