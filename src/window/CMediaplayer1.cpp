// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/CMediaplayer1.h"

#include <QPainter>
#include <algorithm>

namespace {

// How often a playing player is asked whether it still plays.
constexpr int kWatchPeriodMs = 250;

} // namespace

CMediaplayer1::CMediaplayer1(std::unique_ptr<IMediaPlayer> player, QWidget* parent)
    : QWidget(parent), m_player(std::move(player))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_player->setSurface(this);
    m_watch.setInterval(kWatchPeriodMs);
    connect(&m_watch, &QTimer::timeout, this, &CMediaplayer1::AnnounceState);
}

// The player goes first, so that no frame arrives at a half-destroyed widget.
CMediaplayer1::~CMediaplayer1()
{
    m_player.reset();
}

template <typename Operation>
void CMediaplayer1::Announcing(Operation operation)
{
    try {
        operation();
    } catch (...) {
        AnnounceState();
        throw;
    }
    AnnounceState();
}

void CMediaplayer1::AnnounceState()
{
    PlaybackState state = m_player->PlayState();
    if (state == PlaybackState::Playing)
        m_watch.start();
    else
        m_watch.stop();
    if (state == m_announced)
        return;
    m_announced = state;
    emit stateChanged(state);
}

// The length is read while the media is loaded and still: the media framework
// is asked nothing while playback starts.
void CMediaplayer1::SetMediaFileName(const std::string& path)
{
    m_length.reset();
    Announcing([&] { m_player->SetMediaFileName(path); });
    m_length = m_player->Status().length;
}

void CMediaplayer1::SetCurrentPosition(double seconds)
{
    Announcing([&] { m_player->SetCurrentPosition(seconds); });
    // Where it was asked to go: below 0 is 0, as the player takes it.
    emit seeked(std::max(0.0, seconds));
}

// The player takes the speed also when the seek that applies it fails.
void CMediaplayer1::SetSpeed(double speed)
{
    m_speed = speed;
    emit speedChanged(speed);
    Announcing([&] { m_player->SetSpeed(speed); });
}

void CMediaplayer1::Play()
{
    Announcing([&] { m_player->Play(); });
}

void CMediaplayer1::Pause()
{
    Announcing([&] { m_player->Pause(); });
}

void CMediaplayer1::Stop()
{
    Announcing([&] { m_player->Stop(); });
}

void CMediaplayer1::showFrame(const QImage& frame)
{
    m_frame = frame;
    m_text.clear();
    update();
}

void CMediaplayer1::showText(const QString& text)
{
    m_frame = QImage();
    m_text = text;
    update();
}

void CMediaplayer1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_frame.isNull()) {
        QSize fitted = m_frame.size().scaled(size(), Qt::KeepAspectRatio);
        QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_frame);
        return;
    }
    if (!m_text.isEmpty()) {
        painter.setPen(QColor(0xd0, 0xd0, 0xd0));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }
}
