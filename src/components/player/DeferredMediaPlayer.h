// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"

#include <functional>
#include <memory>

// A media player that is made when it is first needed: the media framework
// and its pipeline cost tens of milliseconds, which a window that is starting
// spends better on coming on screen. Until then it answers as a player that
// holds no media (stopped at 0, no length; Stop does nothing); the first
// other operation makes the player with `make` and hands it the surface. A `make` that throws
// (PlayerFault when the framework cannot be used) leaves nothing made, so the
// next operation tries again and says why again.
class DeferredMediaPlayer : public IMediaPlayer {
public:
    explicit DeferredMediaPlayer(std::function<std::unique_ptr<IMediaPlayer>()> make);

    void setSurface(PlayerSurface* surface) override;
    void SetMediaFileName(const std::string& path) override;
    double GetCurrentPosition() override;
    void SetCurrentPosition(double seconds) override;
    void SetSegmentEnd(std::optional<double> seconds) override;
    void SetSpeed(double speed) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    PlaybackState PlayState() const override;
    PlaybackStatus Status() const override;

private:
    IMediaPlayer& Built();

    std::function<std::unique_ptr<IMediaPlayer>()> m_make;
    std::unique_ptr<IMediaPlayer> m_player;
    PlayerSurface* m_surface = nullptr;
};
