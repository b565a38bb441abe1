#pragma once

#include "components/player/MediaPlayer.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

// The player control of the main window: shows what the player plays and
// forwards the window's player operations to it.
class CMediaplayer1 : public QWidget, public PlayerSurface {
    Q_OBJECT
public:
    explicit CMediaplayer1(std::unique_ptr<IMediaPlayer> player, QWidget* parent = nullptr);
    ~CMediaplayer1() override;

    void SetMediaFileName(const std::string& path) { m_player->SetMediaFileName(path); }
    double GetCurrentPosition() { return m_player->GetCurrentPosition(); }
    void SetCurrentPosition(double seconds) { m_player->SetCurrentPosition(seconds); }
    void SetSegmentEnd(std::optional<double> seconds) { m_player->SetSegmentEnd(seconds); }
    void Play() { m_player->Play(); }
    void Pause() { m_player->Pause(); }
    void Stop() { m_player->Stop(); }

    void showFrame(const QImage& frame) override;
    void showText(const QString& text) override;

    const QImage& currentFrame() const { return m_frame; }
    const QString& currentText() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<IMediaPlayer> m_player;
    QImage m_frame;
    QString m_text;
};
