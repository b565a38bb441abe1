// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/TimeAxis.h"

#include <gtest/gtest.h>

// Where each moment of the media lies on the waveform, at the zooms the view
// goes through: its usual 20 s, the shortest span, the whole media.

namespace {

TimeAxis Axis(double media, int width, double from, double span)
{
    TimeAxis axis;
    axis.SetWidth(width);
    axis.SetMedia(media);
    axis.Show(from, span);
    return axis;
}

TEST(TimeAxis, MapsTimeToPixelsAndBackAtEachZoom)
{
    struct Zoom {
        double from, span;
        double moment, x;
    };
    // 60 s of media over 600 pixels.
    for (const Zoom& zoom : {Zoom{0, 20, 5, 150}, Zoom{30, 20, 45, 450}, Zoom{12, 1, 12.25, 150},
                             Zoom{0, 60, 30, 300}}) {
        TimeAxis axis = Axis(60, 600, zoom.from, zoom.span);
        EXPECT_DOUBLE_EQ(axis.From(), zoom.from) << zoom.span;
        EXPECT_DOUBLE_EQ(axis.To(), zoom.from + zoom.span) << zoom.span;
        EXPECT_DOUBLE_EQ(axis.XOf(zoom.moment), zoom.x) << zoom.span;
        EXPECT_DOUBLE_EQ(axis.SecondsAt(zoom.x), zoom.moment) << zoom.span;
        EXPECT_DOUBLE_EQ(axis.XOf(axis.From()), 0) << zoom.span;
        EXPECT_DOUBLE_EQ(axis.XOf(axis.To()), 600) << zoom.span;
        for (double x : {0.0, 17.0, 333.5, 599.0})
            EXPECT_NEAR(axis.XOf(axis.SecondsAt(x)), x, 1e-9) << zoom.span;
    }
}

TEST(TimeAxis, TheStretchStaysInsideTheMediaBetweenASecondAndTheWholeMedia)
{
    EXPECT_DOUBLE_EQ(Axis(60, 600, 55, 20).From(), 40);
    EXPECT_DOUBLE_EQ(Axis(60, 600, -5, 20).From(), 0);
    EXPECT_DOUBLE_EQ(Axis(60, 600, 10, 100).Span(), 60);
    EXPECT_DOUBLE_EQ(Axis(60, 600, 10, 100).From(), 0);
    EXPECT_DOUBLE_EQ(Axis(60, 600, 10, 0.2).Span(), TimeAxis::kShortestSpan);
    // Media shorter than a second are shown whole.
    EXPECT_DOUBLE_EQ(Axis(0.4, 600, 0, 20).Span(), 0.4);
    // With no media the axis still maps (nothing divides by zero).
    TimeAxis none = Axis(0, 600, 3, 20);
    EXPECT_DOUBLE_EQ(none.From(), 0);
    EXPECT_DOUBLE_EQ(none.XOf(none.To()), 600);
}

TEST(TimeAxis, ZoomingKeepsTheMomentUnderTheMouse)
{
    TimeAxis axis = Axis(60, 600, 10, 20);
    axis.ZoomAt(150, 0.5); // 15 s is under x = 150
    EXPECT_DOUBLE_EQ(axis.Span(), 10);
    EXPECT_DOUBLE_EQ(axis.SecondsAt(150), 15);
    axis.ZoomAt(150, 0.01);
    EXPECT_DOUBLE_EQ(axis.Span(), TimeAxis::kShortestSpan);
    EXPECT_DOUBLE_EQ(axis.SecondsAt(150), 15);
    // Out to the whole media: the moment cannot stay, the stretch stays inside.
    axis.ZoomAt(150, 1000);
    EXPECT_DOUBLE_EQ(axis.From(), 0);
    EXPECT_DOUBLE_EQ(axis.Span(), 60);
}

TEST(TimeAxis, ScrollingAndPlacingMoveTheStretchWithinTheMedia)
{
    TimeAxis axis = Axis(60, 600, 10, 20);
    axis.ScrollBy(2);
    EXPECT_DOUBLE_EQ(axis.From(), 12);
    axis.ScrollBy(100);
    EXPECT_DOUBLE_EQ(axis.From(), 40);
    axis.Place(30, 0.1);
    EXPECT_DOUBLE_EQ(axis.From(), 28);
    axis.Place(59, 0.1);
    EXPECT_DOUBLE_EQ(axis.From(), 40);
    // A longer media keeps the span and place.
    axis.SetMedia(120);
    EXPECT_DOUBLE_EQ(axis.From(), 40);
    EXPECT_DOUBLE_EQ(axis.Span(), 20);
}

} // namespace
