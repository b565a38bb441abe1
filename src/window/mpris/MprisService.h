// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>

class CMediaplayer1;
class MediaSession;
class PlaybackSpeed;
class QWidget;
class SegmentRepeat;
class SentenceWork;
class WindowCommands;

// The window on the session bus as a media player (MPRIS 2), so that the
// desktop's media keys, headset buttons and media widgets drive it. Without a
// bus, or with the name taken by another running copy, it says so once on the
// log and the program works on without it.
class MprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kBusName = "org.mpris.MediaPlayer2.ArdenoRecorder";
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

    // The player on the bus is `window` with the features it drives.
    MprisService(QWidget& window, CMediaplayer1& player, WindowCommands& commands, MediaSession& opening,
                 const SegmentRepeat& segment, const SentenceWork& sentences, PlaybackSpeed& speed,
                 QDBusConnection bus);
    // Leaves the bus.
    ~MprisService() override;

    // The service answers on the bus under its name.
    bool IsRegistered() const { return m_registered; }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};
