// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/TimeAxis.h"

#include <algorithm>

void TimeAxis::SetMedia(double seconds)
{
    m_media = std::max(0.0, seconds);
    Show(m_from, m_span);
}

void TimeAxis::SetWidth(int pixels)
{
    m_width = std::max(1, pixels);
}

double TimeAxis::XOf(double seconds) const
{
    return (seconds - m_from) / m_span * m_width;
}

double TimeAxis::SecondsAt(double x) const
{
    return m_from + x / m_width * m_span;
}

double TimeAxis::FittingSpan(double span) const
{
    // Media shorter than the shortest span is shown whole; no media at all
    // keeps a span, so that the axis never divides by zero.
    const double longest = m_media > 0 ? m_media : kShortestSpan;
    return std::clamp(span, std::min(kShortestSpan, longest), longest);
}

void TimeAxis::Show(double from, double span)
{
    m_span = FittingSpan(span);
    m_from = std::clamp(from, 0.0, std::max(0.0, m_media - m_span));
}

void TimeAxis::ZoomAt(double x, double factor)
{
    const double moment = SecondsAt(x);
    const double span = FittingSpan(m_span * factor);
    Show(moment - x / m_width * span, span);
}

void TimeAxis::ScrollBy(double seconds)
{
    Show(m_from + seconds, m_span);
}

void TimeAxis::Place(double seconds, double fraction)
{
    Show(seconds - fraction * m_span, m_span);
}
