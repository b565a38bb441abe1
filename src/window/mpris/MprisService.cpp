// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mpris/MprisService.h"

#include "window/mpris/MprisPlayer.h"
#include "window/mpris/MprisRoot.h"

#include <QDBusConnectionInterface>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcMpris, "ardeno.mpris", QtWarningMsg)

constexpr const char* kWithout = "the desktop's media keys and media controls do not reach this program";

// The bus's own words for a failure, in brackets; nothing when it gave none.
QByteArray Reason(const QDBusConnection& bus)
{
    QString message = bus.lastError().message();
    return message.isEmpty() ? QByteArray() : (" (" + message + ")").toUtf8();
}

} // namespace

MprisService::MprisService(QWidget& window, CMediaplayer1& player, WindowCommands& commands, MediaSession& opening,
                           const SegmentRepeat& segment, const SentenceWork& sentences, PlaybackSpeed& speed,
                           QDBusConnection bus)
    : m_bus(std::move(bus))
{
    QString path = QString::fromLatin1(kObjectPath);
    // Adaptors belong to the object they export.
    new MprisRoot(this, window, commands);
    new MprisPlayer(this, player, commands, opening, segment, sentences, speed, m_bus, path);
    if (!m_bus.isConnected()) {
        qCWarning(lcMpris, "No session bus%s: %s.", Reason(m_bus).constData(), kWithout);
        return;
    }
    if (!m_bus.registerObject(path, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcMpris, "Cannot offer %s on the session bus%s: %s.", kObjectPath, Reason(m_bus).constData(),
                  kWithout);
        return;
    }
    if (!m_bus.registerService(QString::fromLatin1(kBusName))) {
        m_bus.unregisterObject(path);
        qCWarning(lcMpris, "The name %s is taken on the session bus, by another running copy of the program or "
                           "another player%s: %s.",
                  kBusName, Reason(m_bus).constData(), kWithout);
        return;
    }
    m_registered = true;
}

MprisService::~MprisService()
{
    if (!m_registered)
        return;
    m_bus.unregisterService(QString::fromLatin1(kBusName));
    m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}
