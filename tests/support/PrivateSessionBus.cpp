// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PrivateSessionBus.h"

#include <QDeadlineTimer>

PrivateSessionBus::PrivateSessionBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    QDeadlineTimer deadline(10000);
    m_daemon.waitForStarted(int(deadline.remainingTime()));
    while (!m_daemon.canReadLine() && m_daemon.state() == QProcess::Running && !deadline.hasExpired())
        m_daemon.waitForReadyRead(int(deadline.remainingTime()));
    if (!m_daemon.canReadLine()) {
        m_problem = "dbus-daemon gave no address (" + m_daemon.errorString().toStdString() + "): "
                    + m_daemon.readAllStandardError().toStdString();
        return;
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    m_environment.Set("DBUS_SESSION_BUS_ADDRESS", m_address.toStdString());
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(3000))
        m_daemon.kill();
    m_daemon.waitForFinished(3000);
}

QDBusConnection PrivateSessionBus::Connect(const QString& name)
{
    m_connections << name;
    return QDBusConnection::connectToBus(m_address, name);
}
