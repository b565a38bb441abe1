// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/waveform/TimeAxis.h"

#include <cstddef>
#include <optional>
#include <span>
#include <utility>

// What a press of the left button on the sound becomes as the mouse moves and
// is let go: a click (a seek to where it was let go), a drag that marks a new
// segment from where it began to where it ended, a drag of one edge of the
// segment that moves that edge alone, or a drag of an edge another feature
// lets move (a transcript line's start or end) within its bounds. The
// segment's edges are taken first. Positions are pixels of the axis.
class WaveformGesture {
public:
    // How close to an edge of the segment a press grabs it, in pixels.
    static constexpr double kEdgeReach = 4;

    // `dragDistance`: how far the mouse moves before a press is a drag.
    explicit WaveformGesture(double dragDistance) : m_dragDistance(dragDistance) {}

    // An edge that may be moved, and how far.
    struct MovableEdge {
        double time;
        double lowest;
        double highest;
    };

    void Press(double x, const TimeAxis& axis, double start, double end, std::span<const MovableEdge> edges = {});
    void Move(double x, const TimeAxis& axis);

    struct Outcome {
        // A click: where to seek.
        std::optional<double> seek;
        // A drag: the segment it marked, earlier time first.
        std::optional<std::pair<double, double>> segment;
        // A drag of a movable edge: its index among the edges of the press
        // and its new time.
        std::optional<std::pair<std::size_t, double>> edge;
    };
    Outcome Release(double x, const TimeAxis& axis);
    // Forgets the press (the mouse left without a release).
    void Cancel() { m_kind = Kind::None; }

    bool Active() const { return m_kind != Kind::None; }
    // While a drag runs: the segment as it would leave it.
    std::optional<std::pair<double, double>> Marked() const;
    // While a movable edge is dragged: its index and where it would go.
    std::optional<std::pair<std::size_t, double>> MovedEdge() const;

private:
    enum class Kind { None, Pressed, Marking, MovingStart, MovingEnd, MovingOther };

    Kind m_kind = Kind::None;
    // What a drag does once the press has moved far enough.
    Kind m_dragKind = Kind::Marking;
    double m_dragDistance;
    double m_pressX = 0;
    double m_anchor = 0; // the time the drag keeps: where it began, or the edge not moved
    double m_reached = 0;
    // The movable edge a press took, and its bounds.
    std::size_t m_edge = 0;
    double m_lowest = 0;
    double m_highest = 0;
};
