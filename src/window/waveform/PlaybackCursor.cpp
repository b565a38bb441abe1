// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/PlaybackCursor.h"

void PlaybackCursor::Jump(double seconds, Clock::time_point now)
{
    m_anchor = seconds;
    m_anchorTime = now;
    m_lastOperation = now;
    // Sent there, it is there until it plays.
    m_halting = false;
}

void PlaybackCursor::SetPlaying(bool playing, Clock::time_point now)
{
    m_anchor = Position(now);
    m_anchorTime = now;
    m_lastOperation = now;
    m_halting = m_playing && !playing;
    m_playing = playing;
}

void PlaybackCursor::Found(double seconds, Clock::time_point now)
{
    m_anchor = seconds;
    m_anchorTime = now;
    m_lastAsked = now;
    m_halting = false;
}

void PlaybackCursor::SetSpeed(double speed, Clock::time_point now)
{
    m_anchor = Position(now);
    m_anchorTime = now;
    m_speed = speed;
}

double PlaybackCursor::Position(Clock::time_point now) const
{
    if (!m_playing)
        return m_anchor;
    return m_anchor + m_speed * std::chrono::duration<double>(now - m_anchorTime).count();
}

bool PlaybackCursor::WantsAsking(Clock::time_point now) const
{
    if (now - m_lastOperation < kQuiet)
        return false;
    return m_halting || (m_playing && (!m_lastAsked || now - *m_lastAsked >= kAskEvery));
}
