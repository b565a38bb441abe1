// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which stretch of the media the waveform shows and where on the view each
// moment of it lies: From() to To() over Width() pixels, x = 0 at From(). The
// stretch stays inside the media and spans at least kShortestSpan seconds, or
// the whole media when that is shorter.
class TimeAxis {
public:
    static constexpr double kShortestSpan = 1.0;

    // The media's length; the stretch is kept inside it.
    void SetMedia(double seconds);
    void SetWidth(int pixels);

    double Media() const { return m_media; }
    int Width() const { return m_width; }
    double From() const { return m_from; }
    double Span() const { return m_span; }
    double To() const { return m_from + m_span; }

    double XOf(double seconds) const;
    double SecondsAt(double x) const;

    // Shows `span` seconds from `from`, kept inside the media.
    void Show(double from, double span);
    // Multiplies the span by `factor` (below 1 zooms in), keeping the moment
    // at `x` where it is.
    void ZoomAt(double x, double factor);
    void ScrollBy(double seconds);
    // Shows the moment `seconds` at `fraction` of the width (0 left, 1 right).
    void Place(double seconds, double fraction);

private:
    // `span` kept between the shortest span and the media's length.
    double FittingSpan(double span) const;

    double m_media = 0;
    int m_width = 1;
    double m_from = 0;
    double m_span = kShortestSpan;
};
