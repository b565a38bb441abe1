// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QTimer>
#include <QVariantMap>
#include <string>

class CMediaplayer1;
class MediaSession;
class PlaybackSpeed;
class QDBusMessage;
class SegmentRepeat;
class SentenceWork;
class WindowCommands;

// org.mpris.MediaPlayer2.Player: the desktop's media controls acting on the
// window. The transport methods run the commands of the keyboard's media keys
// (PlayPause as Space, Previous as Repeat, Next as the next pause point);
// Seek and SetPosition move the player; OpenUri opens a file as Open does.
// Every command runs as a key's would, once the call has been answered. Each
// change of a property but Position is sent as PropertiesChanged; a jump of
// the position as Seeked.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    static constexpr const char* kInterface = "org.mpris.MediaPlayer2.Player";

    MprisPlayer(QObject* exported, CMediaplayer1& player, WindowCommands& commands, MediaSession& opening,
                const SegmentRepeat& segment, const SentenceWork& sentences, PlaybackSpeed& speed, QDBusConnection bus,
                const QString& objectPath);

    QString playbackStatus() const;
    double rate() const { return Speed().current; }
    // A rate of 0 asks for a pause; one within the range chooses the speed
    // offered nearest to it; one outside is ignored.
    void setRate(double rate);
    QVariantMap metadata() const;
    // The program plays at the desktop's volume: it has none of its own to set.
    double volume() const { return 1.0; }
    void setVolume(double) {}
    qlonglong position() const;
    double minimumRate() const { return Speed().minimum; }
    double maximumRate() const { return Speed().maximum; }
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const { return HasMedia(); }
    bool canControl() const { return true; }

public slots:
    void PlayPause();
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    void OpenUri(const QString& uri, const QDBusMessage& call);

signals:
    void Seeked(qlonglong position);

private:
    // The playback speed, the one place that Rate and its range come from.
    struct Speeds {
        double current, minimum, maximum;
    };
    Speeds Speed() const;

    // Runs the command of a media key, as the key would.
    void RunKey(Qt::Key key);
    bool KeyUsable(Qt::Key key) const;
    bool HasMedia() const { return m_track > 0; }
    QDBusObjectPath TrackId() const;
    // The properties that announce their changes, as they are now.
    QVariantMap AnnouncedProperties() const;
    // Something the properties follow changed: they are compared once the
    // command that changed it has run, so that one signal says it all.
    void NoteChange();
    // Sends PropertiesChanged for those that changed since the last time.
    void AnnounceChanges();

    CMediaplayer1& m_player;
    WindowCommands& m_commands;
    MediaSession& m_opening;
    const SentenceWork& m_sentences;
    PlaybackSpeed& m_speed;
    QDBusConnection m_bus;
    QString m_objectPath;
    // Counts the media loaded, so that each has a track id of its own, and
    // the last one's path.
    int m_track = 0;
    std::string m_trackPath;
    QVariantMap m_announced;
    QTimer m_announcing;
};
