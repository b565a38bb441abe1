// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

// The player control of the main window: shows what the player plays,
// forwards the window's player operations to it, and announces where playback
// goes, so that views (the desktop's media controls) can follow it.
class CMediaplayer1 : public QWidget, public PlayerSurface {
    Q_OBJECT
public:
    explicit CMediaplayer1(std::unique_ptr<IMediaPlayer> player, QWidget* parent = nullptr);
    ~CMediaplayer1() override;

    void SetMediaFileName(const std::string& path);
    double GetCurrentPosition() { return m_player->GetCurrentPosition(); }
    void SetCurrentPosition(double seconds);
    void SetSegmentEnd(std::optional<double> seconds) { m_player->SetSegmentEnd(seconds); }
    void SetSpeed(double speed);
    // The speed last given to the player.
    double Speed() const { return m_speed; }
    void Play();
    void Pause();
    void Stop();
    PlaybackState PlayState() const { return m_player->PlayState(); }
    // Asks the media framework: for when a view needs the position.
    PlaybackStatus Status() const { return m_player->Status(); }
    // The length of the loaded media, as the player gave it once loaded;
    // none while unknown or nothing is loaded.
    std::optional<double> Length() const { return m_length; }

    void showFrame(const QImage& frame) override;
    void showText(const QString& text) override;

    const QImage& currentFrame() const { return m_frame; }
    const QString& currentText() const { return m_text; }

signals:
    // Playback started, paused or stopped: by an operation, or by itself (the
    // end of the media, a broken stream), noticed within a quarter second.
    void stateChanged(PlaybackState state);
    // Playback moved to `seconds` (a seek).
    void seeked(double seconds);
    // The player was given another speed.
    void speedChanged(double speed);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs a player operation, then announces the state it left, also when
    // it failed.
    template <typename Operation>
    void Announcing(Operation operation);
    void AnnounceState();

    std::unique_ptr<IMediaPlayer> m_player;
    QImage m_frame;
    QString m_text;
    PlaybackState m_announced = PlaybackState::Stopped;
    std::optional<double> m_length;
    double m_speed = 1;
    // While playing: playback may halt by itself.
    QTimer m_watch;
};
