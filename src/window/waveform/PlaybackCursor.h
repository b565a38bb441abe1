// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>

// Where the waveform draws the playback position, without asking the media
// framework at the wrong moment: from the last place playback was sent to or
// found at, moving on in real time, at the playback speed, while it plays. The player is asked where
// it really is only once playback has been left alone a while (asked right
// after Play or a seek, a busy sound server may fail to start), then once
// after it halts and now and then while it plays.
class PlaybackCursor {
public:
    using Clock = std::chrono::steady_clock;
    // How long playback is left alone after Play, a halt or a seek.
    static constexpr std::chrono::milliseconds kQuiet{300};
    // How often a playing player is asked, to keep the cursor true.
    static constexpr std::chrono::milliseconds kAskEvery{1000};

    // Playback was sent to `seconds` (a load, a seek).
    void Jump(double seconds, Clock::time_point now);
    // Playback started, or halted (Pause, Stop, the end of the media).
    void SetPlaying(bool playing, Clock::time_point now);
    // The player said it is at `seconds`.
    void Found(double seconds, Clock::time_point now);
    // Playback goes on at `speed` times the media's own speed.
    void SetSpeed(double speed, Clock::time_point now);

    double Position(Clock::time_point now) const;
    // Whether the player is to be asked where it is now.
    bool WantsAsking(Clock::time_point now) const;
    // Whether the position moves, or waits to be asked.
    bool Active() const { return m_playing || m_halting; }

private:
    double m_anchor = 0;
    Clock::time_point m_anchorTime{};
    double m_speed = 1;
    bool m_playing = false;
    // Halted, where exactly not asked yet.
    bool m_halting = false;
    Clock::time_point m_lastOperation{};
    std::optional<Clock::time_point> m_lastAsked;
};
