// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mpris/MprisPlayer.h"

#include "window/CMediaplayer1.h"
#include "window/commands/WindowCommands.h"
#include "window/media/MediaSession.h"
#include "window/segment/SegmentRepeat.h"
#include "window/sentences/SentenceWork.h"
#include "window/speed/PlaybackSpeed.h"

#include <QAction>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMicroseconds = 1e6;

qlonglong ToMicroseconds(double seconds)
{
    return std::llround(seconds * kMicroseconds);
}

// The media keys whose commands the transport methods run.
constexpr Qt::Key kPlayPauseKey = Qt::Key_MediaTogglePlayPause;
constexpr Qt::Key kPlayKey = Qt::Key_MediaPlay;
constexpr Qt::Key kPauseKey = Qt::Key_MediaPause;
constexpr Qt::Key kStopKey = Qt::Key_MediaStop;
constexpr Qt::Key kNextKey = Qt::Key_MediaNext;
constexpr Qt::Key kPreviousKey = Qt::Key_MediaPrevious;

} // namespace

MprisPlayer::MprisPlayer(QObject* exported, CMediaplayer1& player, WindowCommands& commands, MediaSession& opening,
                         const SegmentRepeat& segment, const SentenceWork& sentences, PlaybackSpeed& speed,
                         QDBusConnection bus, const QString& objectPath)
    : QDBusAbstractAdaptor(exported),
      m_player(player),
      m_commands(commands),
      m_opening(opening),
      m_sentences(sentences),
      m_speed(speed),
      m_bus(std::move(bus)),
      m_objectPath(objectPath)
{
    m_announcing.setSingleShot(true);
    m_announcing.setInterval(0);
    connect(&m_announcing, &QTimer::timeout, this, &MprisPlayer::AnnounceChanges);
    connect(&player, &CMediaplayer1::stateChanged, this, &MprisPlayer::NoteChange);
    connect(&player, &CMediaplayer1::seeked, this, [this](double seconds) { emit Seeked(ToMicroseconds(seconds)); });
    connect(&opening, &MediaSession::mediaLoaded, this, [this](const std::string& path) {
        ++m_track;
        m_trackPath = path;
        NoteChange();
    });
    // Whether a next sentence follows depends on the sentences and the segment.
    connect(&sentences.Finder(), &SentenceFinder::sentencesChanged, this, &MprisPlayer::NoteChange);
    connect(&segment, &SegmentRepeat::segmentChanged, this, &MprisPlayer::NoteChange);
    connect(&speed, &PlaybackSpeed::speedChanged, this, &MprisPlayer::NoteChange);
    // A command becomes usable or not with its button.
    for (Qt::Key key : {kPlayPauseKey, kPlayKey, kPauseKey, kStopKey, kNextKey, kPreviousKey}) {
        if (QAction* command = commands.CommandFor(key))
            connect(command, &QAction::changed, this, &MprisPlayer::NoteChange);
    }
    m_announced = AnnouncedProperties();
}

QString MprisPlayer::playbackStatus() const
{
    switch (m_player.PlayState()) {
    case PlaybackState::Playing: return QStringLiteral("Playing");
    case PlaybackState::Paused: return QStringLiteral("Paused");
    case PlaybackState::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

void MprisPlayer::setRate(double rate)
{
    const Speeds speeds = Speed();
    if (rate == 0)
        RunKey(kPauseKey);
    else if (rate >= speeds.minimum && rate <= speeds.maximum)
        m_commands.Post([this, rate] { m_speed.SetSpeed(rate); });
}

MprisPlayer::Speeds MprisPlayer::Speed() const
{
    return {m_speed.Speed(), PlaybackSpeed::Slowest(), PlaybackSpeed::Fastest()};
}

QVariantMap MprisPlayer::metadata() const
{
    QVariantMap metadata{{QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId())}};
    if (!HasMedia())
        return metadata;
    QString path = QFile::decodeName(m_trackPath.c_str());
    metadata.insert(QStringLiteral("xesam:title"), QFileInfo(path).fileName());
    metadata.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    if (std::optional<double> length = m_player.Length())
        metadata.insert(QStringLiteral("mpris:length"), ToMicroseconds(*length));
    return metadata;
}

qlonglong MprisPlayer::position() const
{
    return ToMicroseconds(m_player.Status().position);
}

// Next plays the sentence after the segment.
bool MprisPlayer::canGoNext() const
{
    return HasMedia() && KeyUsable(kNextKey) && m_sentences.HasNextSentence();
}

bool MprisPlayer::canGoPrevious() const
{
    return HasMedia() && KeyUsable(kPreviousKey);
}

bool MprisPlayer::canPlay() const
{
    return HasMedia() && KeyUsable(kPlayKey);
}

bool MprisPlayer::canPause() const
{
    return HasMedia() && KeyUsable(kPauseKey);
}

void MprisPlayer::PlayPause()
{
    RunKey(kPlayPauseKey);
}

void MprisPlayer::Play()
{
    RunKey(kPlayKey);
}

void MprisPlayer::Pause()
{
    RunKey(kPauseKey);
}

void MprisPlayer::Stop()
{
    RunKey(kStopKey);
}

void MprisPlayer::Next()
{
    RunKey(kNextKey);
}

void MprisPlayer::Previous()
{
    RunKey(kPreviousKey);
}

// There is no next track: a seek past the end holds at the end.
void MprisPlayer::Seek(qlonglong offset)
{
    m_commands.Post([this, offset] {
        CMediaplayer1& player = m_player;
        player.SetCurrentPosition(std::max(0.0, player.Status().position + double(offset) / kMicroseconds));
    });
}

// A call for another track than the current one comes too late, and a
// position outside the track is no place to go: both are ignored.
void MprisPlayer::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    std::optional<double> length = m_player.Length();
    double seconds = double(position) / kMicroseconds;
    if (!HasMedia() || trackId != TrackId() || seconds < 0 || (length && seconds > *length))
        return;
    m_commands.Post([this, seconds] { m_player.SetCurrentPosition(seconds); });
}

void MprisPlayer::OpenUri(const QString& uri, const QDBusMessage& call)
{
    QUrl url(uri);
    if (!url.isLocalFile()) {
        call.setDelayedReply(true);
        m_bus.send(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                                         QStringLiteral("Only files can be opened (file:// URIs), not ") + uri));
        return;
    }
    std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
    m_commands.Post([this, path] { m_opening.OpenFile(path); });
}

void MprisPlayer::RunKey(Qt::Key key)
{
    if (QAction* command = m_commands.CommandFor(key))
        m_commands.Post(command);
}

bool MprisPlayer::KeyUsable(Qt::Key key) const
{
    QAction* command = m_commands.CommandFor(key);
    return command && command->isEnabled();
}

// Track ids live under the program's own name; without media MPRIS's own
// "no track" id stands.
QDBusObjectPath MprisPlayer::TrackId() const
{
    if (!HasMedia())
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    QString base = QStringLiteral("/" ARDENO_APP_ID).replace(QLatin1Char('.'), QLatin1Char('/'));
    return QDBusObjectPath(base + QStringLiteral("/Track/") + QString::number(m_track));
}

QVariantMap MprisPlayer::AnnouncedProperties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Rate"), rate()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("MinimumRate"), minimumRate()},
        {QStringLiteral("MaximumRate"), maximumRate()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
    };
}

void MprisPlayer::NoteChange()
{
    if (!m_announcing.isActive())
        m_announcing.start();
}

void MprisPlayer::AnnounceChanges()
{
    QVariantMap now = AnnouncedProperties();
    QVariantMap changed;
    for (auto property = now.cbegin(); property != now.cend(); ++property) {
        if (m_announced.value(property.key()) != property.value())
            changed.insert(property.key(), property.value());
    }
    if (changed.isEmpty())
        return;
    m_announced = now;
    QDBusMessage signal = QDBusMessage::createSignal(m_objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kInterface) << changed << QStringList();
    m_bus.send(signal);
}
