// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/WaveformPainting.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace WaveformPainting {

namespace {

const QColor kRulerGround{0x1b, 0x20, 0x27};
const QColor kRulerMarks{0x9a, 0xa4, 0xb0};
const QColor kPeak{0x2f, 0x6f, 0xb3};
const QColor kRms{0x6f, 0xb0, 0xff};
const QColor kMiddle{0x2a, 0x30, 0x38};
const QColor kOverviewGround{0x15, 0x19, 0x1e};
const QColor kOverviewPeak{0x3d, 0x5f, 0x85};
const QColor kCaptionGround{0x10, 0x14, 0x18, 0xc0};

// Label spacing to choose a tick step from, in seconds.
constexpr double kSteps[] = {0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200};

} // namespace

void PaintRuler(QPainter& painter, const QRect& area, const TimeAxis& axis)
{
    painter.fillRect(area, kRulerGround);
    const QFontMetrics metrics = painter.fontMetrics();
    const double widest = metrics.horizontalAdvance(QString::number(std::ceil(axis.To()))) + 16;
    double step = kSteps[std::size(kSteps) - 1];
    for (double candidate : kSteps) {
        if (candidate / axis.Span() * axis.Width() >= widest) {
            step = candidate;
            break;
        }
    }
    const int decimals = step < 1 ? (step < 0.1 ? 2 : 1) : 0;
    painter.setPen(kRulerMarks);
    for (double tick = std::ceil(axis.From() / step) * step; tick <= axis.To(); tick += step) {
        const int x = area.left() + int(std::lround(axis.XOf(tick)));
        painter.drawLine(x, area.bottom() - 4, x, area.bottom());
        painter.drawText(QRect(x + 3, area.top(), int(widest), area.height() - 2), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(tick, 'f', decimals));
    }
}

void PaintEnvelope(QPainter& painter, const QRect& area, const std::vector<LevelBlock>& columns)
{
    const double middle = area.top() + area.height() / 2.0;
    const double scale = area.height() / 2.0 / kFullScale;
    painter.setPen(kMiddle);
    painter.drawLine(area.left(), int(middle), area.right(), int(middle));
    QVector<QLine> peaks;
    QVector<QLine> power;
    peaks.reserve(qsizetype(columns.size()));
    power.reserve(qsizetype(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const LevelBlock& levels = columns[i];
        const int x = area.left() + int(i);
        peaks.append(QLine(x, int(std::lround(middle - levels.maximum * scale)), x,
                           int(std::lround(middle - levels.minimum * scale))));
        const int rms = int(std::lround(levels.rms * scale));
        power.append(QLine(x, int(middle) - rms, x, int(middle) + rms));
    }
    painter.setPen(kPeak);
    painter.drawLines(peaks);
    painter.setPen(kRms);
    painter.drawLines(power);
}

void PaintOverview(QPainter& painter, const QRect& area, const std::vector<LevelBlock>& columns)
{
    painter.fillRect(area, kOverviewGround);
    const double scale = double(area.height() - 2) / kFullScale;
    QVector<QLine> peaks;
    peaks.reserve(qsizetype(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int peak = std::max(std::abs(int(columns[i].minimum)), int(columns[i].maximum));
        const int x = area.left() + int(i);
        peaks.append(QLine(x, area.bottom(), x, area.bottom() - int(std::lround(peak * scale))));
    }
    painter.setPen(kOverviewPeak);
    painter.drawLines(peaks);
}

void PaintBand(QPainter& painter, const QRect& area, double left, double right, const QColor& color)
{
    const double from = std::max(double(area.left()), area.left() + left);
    const double to = std::min(double(area.right() + 1), area.left() + right);
    if (to > from)
        painter.fillRect(QRectF(from, area.top(), std::max(1.0, to - from), area.height()), color);
}

void PaintCurve(QPainter& painter, const QRect& area, const TimeAxis& axis, double start, double step,
                const std::vector<float>& values, const QColor& color)
{
    const double middle = area.top() + area.height() / 2.0;
    const double reach = area.height() / 2.0 - 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(area);
    painter.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF run;
    const auto flush = [&] {
        if (run.size() == 1)
            painter.drawPoint(run.front());
        else if (run.size() > 1)
            painter.drawPolyline(run);
        run.clear();
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double seconds = start + double(i) * step;
        if (std::isnan(values[i]) || seconds < axis.From() - step || seconds > axis.To() + step) {
            flush();
            continue;
        }
        run << QPointF(area.left() + axis.XOf(seconds), middle - std::clamp(double(values[i]), -1.0, 1.0) * reach);
    }
    flush();
    painter.restore();
}

void PaintBandLabel(QPainter& painter, const QRect& area, double left, double right, const QString& label)
{
    const double from = std::max(double(area.left()), area.left() + left) + 2;
    const double to = std::min(double(area.right() + 1), area.left() + right) - 2;
    const QFontMetrics metrics = painter.fontMetrics();
    if (to - from < metrics.averageCharWidth() * 3)
        return;
    const QString shown = metrics.elidedText(label, Qt::ElideRight, int(to - from));
    // Below the title line, so that the two do not meet.
    const QRectF box(from, area.top() + metrics.height() + 6, to - from, metrics.height());
    painter.setPen(kText);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

void PaintLine(QPainter& painter, const QRect& area, double x, const QColor& color)
{
    const int at = area.left() + int(std::lround(x));
    if (at < area.left() || at > area.right())
        return;
    painter.setPen(color);
    painter.drawLine(at, area.top(), at, area.bottom());
}

void PaintCaption(QPainter& painter, const QRect& area, const QString& text, Qt::Alignment alignment)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QString shown = metrics.elidedText(text, Qt::ElideMiddle, area.width() - 8);
    QRect box = metrics.boundingRect(shown).adjusted(-4, -1, 4, 1);
    box.moveTop(alignment & Qt::AlignBottom ? area.bottom() - box.height() - 2 : area.top() + 2);
    box.moveLeft(alignment & Qt::AlignRight ? area.right() - box.width() - 2 : area.left() + 2);
    painter.fillRect(box, kCaptionGround);
    painter.setPen(kText);
    painter.drawText(box, Qt::AlignCenter, shown);
}

QString TitleOf(const QString& fileName, double seconds)
{
    const auto whole = static_cast<long long>(seconds);
    QString clock = whole >= 3600 ? QStringLiteral("%1:%2:%3")
                                        .arg(whole / 3600)
                                        .arg(whole / 60 % 60, 2, 10, QChar('0'))
                                        .arg(whole % 60, 2, 10, QChar('0'))
                                  : QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QChar('0'));
    return QStringLiteral("%1    %2 s (%3)").arg(fileName).arg(seconds, 0, 'f', 1).arg(clock);
}

} // namespace WaveformPainting
