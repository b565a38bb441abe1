// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/DeferredMediaPlayer.h"

DeferredMediaPlayer::DeferredMediaPlayer(std::function<std::unique_ptr<IMediaPlayer>()> make) : m_make(std::move(make))
{
}

IMediaPlayer& DeferredMediaPlayer::Built()
{
    if (!m_player) {
        std::unique_ptr<IMediaPlayer> player = m_make();
        if (m_surface)
            player->setSurface(m_surface);
        m_player = std::move(player);
    }
    return *m_player;
}

void DeferredMediaPlayer::setSurface(PlayerSurface* surface)
{
    m_surface = surface;
    if (m_player)
        m_player->setSurface(surface);
}

void DeferredMediaPlayer::SetMediaFileName(const std::string& path)
{
    Built().SetMediaFileName(path);
}

// A player not made yet holds no media: it reads 0, as an empty player does.
double DeferredMediaPlayer::GetCurrentPosition()
{
    return m_player ? m_player->GetCurrentPosition() : 0;
}

void DeferredMediaPlayer::SetCurrentPosition(double seconds)
{
    Built().SetCurrentPosition(seconds);
}

void DeferredMediaPlayer::SetSegmentEnd(std::optional<double> seconds)
{
    Built().SetSegmentEnd(seconds);
}

void DeferredMediaPlayer::SetSpeed(double speed)
{
    Built().SetSpeed(speed);
}

void DeferredMediaPlayer::Play()
{
    Built().Play();
}

void DeferredMediaPlayer::Pause()
{
    Built().Pause();
}

// Stop does nothing while nothing is loaded, so it makes no player.
void DeferredMediaPlayer::Stop()
{
    if (m_player)
        m_player->Stop();
}

PlaybackState DeferredMediaPlayer::PlayState() const
{
    return m_player ? m_player->PlayState() : PlaybackState::Stopped;
}

PlaybackStatus DeferredMediaPlayer::Status() const
{
    return m_player ? m_player->Status() : PlaybackStatus{};
}
