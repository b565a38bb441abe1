// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/LevelBlock.h"
#include "window/waveform/TimeAxis.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

// How the parts of the waveform are drawn, each into its own rectangle.
namespace WaveformPainting {

// The colours the parts are drawn in.
inline const QColor kBackground{0x10, 0x14, 0x18};
inline const QColor kText{0xd0, 0xd0, 0xd0};
inline const QColor kSegment{0xff, 0xc8, 0x3c};
inline const QColor kPausePoint{0x7f, 0xd1, 0x7f};
inline const QColor kCursor{0xff, 0xff, 0xff};

// Ticks and labels in seconds, as close as labels can stand.
void PaintRuler(QPainter& painter, const QRect& area, const TimeAxis& axis);
// The levels of each column: the peaks from lowest to highest sample, the
// RMS as a brighter band around the middle line.
void PaintEnvelope(QPainter& painter, const QRect& area, const std::vector<LevelBlock>& columns);
// The loudest peak of each column, rising from the bottom.
void PaintOverview(QPainter& painter, const QRect& area, const std::vector<LevelBlock>& columns);
// A stretch from x `left` to `right` shaded in `color` (its alpha kept).
void PaintBand(QPainter& painter, const QRect& area, double left, double right, const QColor& color);
// A band's label inside its left edge, when the band is wide enough for a
// few characters of it.
void PaintBandLabel(QPainter& painter, const QRect& area, double left, double right, const QString& label);
// A line of `values` (-1 at the bottom of the area, 1 at its top), one every
// `step` seconds from `start`, broken where a value is NaN, in `color`.
void PaintCurve(QPainter& painter, const QRect& area, const TimeAxis& axis, double start, double step,
                const std::vector<float>& values, const QColor& color);
// A thin line at x.
void PaintLine(QPainter& painter, const QRect& area, double x, const QColor& color);
// A line of text at the top or the bottom of the area, on a dark ground.
void PaintCaption(QPainter& painter, const QRect& area, const QString& text, Qt::Alignment alignment);

// "lesson.mp3  61.2 s (1:01)": a file name and the media's length.
QString TitleOf(const QString& fileName, double seconds);

} // namespace WaveformPainting
