// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/WaveformGesture.h"

#include <algorithm>
#include <cmath>

namespace {

// Marked times are whole milliseconds, as a user would type them.
double WholeMilliseconds(double seconds)
{
    return std::round(std::max(0.0, seconds) * 1000) / 1000;
}

} // namespace

void WaveformGesture::Press(double x, const TimeAxis& axis, double start, double end,
                            std::span<const MovableEdge> edges)
{
    m_kind = Kind::Pressed;
    m_pressX = x;
    m_dragKind = Kind::Marking;
    m_anchor = axis.SecondsAt(x);
    m_reached = axis.SecondsAt(x);
    // A segment of no length has no edges to move: a drag marks a new one.
    if (end > start) {
        const double toStart = std::abs(axis.XOf(start) - x);
        const double toEnd = std::abs(axis.XOf(end) - x);
        if (std::min(toStart, toEnd) <= kEdgeReach) {
            m_dragKind = toStart < toEnd ? Kind::MovingStart : Kind::MovingEnd;
            m_anchor = m_dragKind == Kind::MovingStart ? end : start;
            return;
        }
    }
    double nearest = kEdgeReach;
    for (std::size_t index = 0; index < edges.size(); ++index) {
        const double distance = std::abs(axis.XOf(edges[index].time) - x);
        if (distance <= nearest) {
            nearest = distance;
            m_dragKind = Kind::MovingOther;
            m_edge = index;
            m_lowest = edges[index].lowest;
            m_highest = edges[index].highest;
            m_reached = edges[index].time;
        }
    }
}

void WaveformGesture::Move(double x, const TimeAxis& axis)
{
    if (m_kind == Kind::None)
        return;
    if (m_kind == Kind::Pressed && std::abs(x - m_pressX) < m_dragDistance)
        return;
    m_kind = m_dragKind;
    m_reached = m_kind == Kind::MovingOther ? std::clamp(WholeMilliseconds(axis.SecondsAt(x)), m_lowest, m_highest)
                                            : std::clamp(axis.SecondsAt(x), 0.0, axis.Media());
}

WaveformGesture::Outcome WaveformGesture::Release(double x, const TimeAxis& axis)
{
    Move(x, axis);
    Outcome outcome;
    if (m_kind == Kind::Pressed)
        outcome.seek = std::clamp(axis.SecondsAt(x), 0.0, axis.Media());
    else if (m_kind == Kind::MovingOther)
        outcome.edge = MovedEdge();
    else if (m_kind != Kind::None)
        outcome.segment = Marked();
    m_kind = Kind::None;
    return outcome;
}

std::optional<std::pair<double, double>> WaveformGesture::Marked() const
{
    if (m_kind == Kind::None || m_kind == Kind::Pressed || m_kind == Kind::MovingOther)
        return std::nullopt;
    const double a = WholeMilliseconds(m_anchor);
    const double b = WholeMilliseconds(m_reached);
    return std::pair(std::min(a, b), std::max(a, b));
}

std::optional<std::pair<std::size_t, double>> WaveformGesture::MovedEdge() const
{
    if (m_kind != Kind::MovingOther)
        return std::nullopt;
    return std::pair(m_edge, m_reached);
}
