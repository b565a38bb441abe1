// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waveform/WaveformView.h"

#include "components/profile/ProfileEnvelope.h"
#include "components/profile/SoundProfile.h"
#include "window/CMediaplayer1.h"
#include "window/WindowDispatch.h"
#include "window/media/MediaProfile.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/preferences/Preferences.h"
#include "window/segment/SegmentRepeat.h"
#include "window/waveform/WaveformPainting.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

using namespace WaveformPainting;

namespace {

const QString kSpanKey = QStringLiteral("Waveform/SpanSeconds");
constexpr double kDefaultSpan = 20;
// A band whose edge is dragged keeps at least this length.
constexpr double kShortestBand = 0.1;
constexpr int kRulerHeight = 18;
constexpr int kOverviewHeight = 18;
// The cursor moves at 50 frames a second while playing.
constexpr int kCursorPeriodMs = 20;
// Where a following view puts the cursor when it leaves the stretch.
constexpr double kFollowLead = 0.1;
// A zoom is stored once the wheel has rested this long (each store writes the
// preferences file through to the disk).
constexpr int kStoreZoomAfterMs = 1000;
// A wheel step zooms by this factor and scrolls by this part of the stretch.
constexpr double kZoomStep = 1.25;
constexpr double kScrollStep = 0.1;
constexpr int kWheelStep = 120;

} // namespace

WaveformView::WaveformView(CMediaplayer1& player, const MediaProfile& profile, const MediaSession& media,
                           SegmentRepeat& segment, const PausePoints& points, Preferences& preferences,
                           WindowDispatch& dispatch)
    : QWidget(&player),
      m_player(player),
      m_profile(profile),
      m_segment(segment),
      m_preferences(preferences),
      m_dispatch(dispatch),
      m_gesture(QApplication::startDragDistance())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(parentWidget()->rect());
    m_axis.SetWidth(width());
    parentWidget()->installEventFilter(this);
    hide();
    m_start = segment.Start();
    m_end = segment.End();
    m_points = points.Times();
    m_wantedSpan = preferences.Value(kSpanKey, kDefaultSpan).toDouble();
    // A hand-edited preference may be anything.
    if (!std::isfinite(m_wantedSpan) || m_wantedSpan <= 0)
        m_wantedSpan = kDefaultSpan;
    m_storeZoom.setSingleShot(true);
    m_storeZoom.setInterval(kStoreZoomAfterMs);
    connect(&m_storeZoom, &QTimer::timeout, this, &WaveformView::StoreZoom);

    m_cursorTimer.setInterval(kCursorPeriodMs);
    connect(&m_cursorTimer, &QTimer::timeout, this, &WaveformView::OnCursorTick);
    connect(&media, &MediaSession::mediaLoaded, this, &WaveformView::OnMediaLoaded);
    connect(&segment, &SegmentRepeat::segmentChanged, this, [this](double start, double end) {
        m_start = start;
        m_end = end;
        update();
    });
    connect(&segment, &SegmentRepeat::repeatStarted, this, &WaveformView::FollowAgain);
    connect(&points, &PausePoints::pointsChanged, this, [this, &points] {
        m_points = points.Times();
        update();
    });
    connect(&m_player, &CMediaplayer1::stateChanged, this, &WaveformView::OnPlaybackState);
    connect(&m_player, &CMediaplayer1::seeked, this, [this](double seconds) {
        m_cursor.Jump(seconds, PlaybackCursor::Clock::now());
        ShowCursor();
    });
    connect(&m_player, &CMediaplayer1::speedChanged, this,
            [this](double speed) { m_cursor.SetSpeed(speed, PlaybackCursor::Clock::now()); });
    connect(&profile, &MediaProfile::profileChanged, this, [this] {
        FitLength();
        Redraw();
    });
}

// A zoom not yet stored is stored now.
WaveformView::~WaveformView()
{
    if (m_storeZoom.isActive())
        StoreZoom();
}

void WaveformView::StoreZoom()
{
    m_preferences.SetValue(kSpanKey, m_wantedSpan);
}

QRect WaveformView::RulerArea() const
{
    return QRect(0, 0, width(), kRulerHeight);
}

QRect WaveformView::SoundArea() const
{
    return QRect(0, kRulerHeight, width(), std::max(1, height() - kRulerHeight - kOverviewHeight));
}

QRect WaveformView::OverviewArea() const
{
    return QRect(0, height() - kOverviewHeight, width(), kOverviewHeight);
}

void WaveformView::SetBands(const QString& layer, std::vector<WaveformBand> bands)
{
    if (bands.empty())
        m_bands.erase(layer);
    else
        m_bands[layer] = std::move(bands);
    Redraw();
}

void WaveformView::SetMovableEdges(const QString& layer)
{
    m_movableLayer = layer;
}

void WaveformView::SetClickableBands(const QString& layer)
{
    m_clickableLayer = layer;
}

void WaveformView::SetCurves(const QString& layer, std::vector<WaveformCurve> curves)
{
    if (curves.empty())
        m_curves.erase(layer);
    else
        m_curves[layer] = std::move(curves);
    Redraw();
}

std::optional<int> WaveformView::ClickableBandAt(double seconds) const
{
    const auto layer = m_bands.find(m_clickableLayer);
    if (m_clickableLayer.isEmpty() || layer == m_bands.end())
        return std::nullopt;
    // The band drawn last (on top) is the one clicked.
    for (std::size_t i = layer->second.size(); i-- > 0;) {
        if (seconds >= layer->second[i].start && seconds <= layer->second[i].end)
            return int(i);
    }
    return std::nullopt;
}

std::vector<WaveformGesture::MovableEdge> WaveformView::ShownMovableEdges()
{
    std::vector<WaveformGesture::MovableEdge> edges;
    m_pressedEdges.clear();
    const auto layer = m_bands.find(m_movableLayer);
    if (layer == m_bands.end())
        return edges;
    const std::vector<WaveformBand>& bands = layer->second;
    for (std::size_t index = 0; index < bands.size(); ++index) {
        const WaveformBand& band = bands[index];
        if (band.end < m_axis.From() || band.start > m_axis.To())
            continue;
        const double before = index > 0 ? bands[index - 1].end : 0.0;
        const double after = index + 1 < bands.size() ? bands[index + 1].start : m_axis.Media();
        edges.push_back({band.start, before, std::max(before, band.end - kShortestBand)});
        m_pressedEdges.emplace_back(int(index), true);
        edges.push_back({band.end, std::min(after, band.start + kShortestBand), std::max(band.end, after)});
        m_pressedEdges.emplace_back(int(index), false);
    }
    return edges;
}

void WaveformView::FitLength()
{
    const SoundProfile& profile = m_profile.Profile();
    // A parser may learn the length only once playback has run a while;
    // until then the profile says how long the sound is at least.
    const std::optional<double> playerLength = m_player.Length();
    m_lengthKnown = playerLength || profile.State() == SoundProfile::Progress::Complete;
    const double length = playerLength.value_or(profile.Seconds());
    if (length == m_axis.Media())
        return;
    m_axis.SetMedia(length);
    m_axis.Show(m_axis.From(), m_wantedSpan);
    Redraw();
}

void WaveformView::OnMediaLoaded(const std::string& path)
{
    m_loaded = true;
    m_fileName = QFileInfo(QFile::decodeName(path.c_str())).fileName();
    m_axis.SetMedia(0);
    m_axis.Show(0, m_wantedSpan);
    m_following = true;
    // A load leaves playback at the start: Open plays from there.
    const auto now = PlaybackCursor::Clock::now();
    m_cursor.Jump(0, now);
    m_cursor.SetPlaying(m_player.PlayState() == PlaybackState::Playing, now);
    UpdateShown();
    FitLength();
    ShowCursor();
    Redraw();
}

void WaveformView::UpdateShown()
{
    setVisible(m_loaded && m_player.currentFrame().isNull());
    // A video's picture shows the position itself.
    if (m_cursor.Active() && !isHidden())
        m_cursorTimer.start();
    else
        m_cursorTimer.stop();
}

void WaveformView::OnPlaybackState(PlaybackState state)
{
    m_cursor.SetPlaying(state == PlaybackState::Playing, PlaybackCursor::Clock::now());
    UpdateShown();
    if (state == PlaybackState::Playing)
        FollowAgain();
    else
        ShowCursor();
}

void WaveformView::FollowAgain()
{
    m_following = true;
    ShowCursor();
}

void WaveformView::OnCursorTick()
{
    const auto now = PlaybackCursor::Clock::now();
    if (m_cursor.WantsAsking(now))
        m_cursor.Found(m_player.Status().position, now);
    if (!m_cursor.Active())
        m_cursorTimer.stop();
    FitLength();
    ShowCursor();
}

void WaveformView::ShowCursor()
{
    const double was = m_shownCursor;
    m_shownCursor = std::max(0.0, m_cursor.Position(PlaybackCursor::Clock::now()));
    // Playback halts at the end; the cursor waits there until the player says where.
    if (m_lengthKnown)
        m_shownCursor = std::min(m_shownCursor, m_axis.Media());
    if (m_following && (m_shownCursor < m_axis.From() || m_shownCursor > m_axis.To())) {
        m_axis.Place(m_shownCursor, kFollowLead);
        Redraw();
        return;
    }
    // Only where the cursor was and is changes.
    for (double at : {was, m_shownCursor})
        update(QRect(int(std::lround(m_axis.XOf(at))) - 1, 0, 3, height()));
    update(OverviewArea());
}

void WaveformView::MoveStretch(double from, double span)
{
    m_following = false;
    m_axis.Show(from, span);
    Redraw();
}

void WaveformView::MoveStretchToOverview(double x)
{
    const double moment = x / std::max(1, OverviewArea().width()) * m_axis.Media();
    MoveStretch(moment - m_axis.Span() / 2, m_axis.Span());
}

void WaveformView::Redraw()
{
    m_pictureValid = false;
    update();
}

void WaveformView::MakePicture()
{
    const qreal ratio = devicePixelRatioF();
    m_picture = QPixmap(size() * ratio);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(kBackground);
    QPainter painter(&m_picture);
    painter.setFont(font());
    PaintRuler(painter, RulerArea(), m_axis);

    const SoundProfile& profile = m_profile.Profile();
    const QRect sound = SoundArea();
    PaintEnvelope(painter, sound, ProfileEnvelope(profile, m_axis.From(), m_axis.To(), sound.width()));
    for (const auto& [layer, bands] : m_bands) {
        for (const WaveformBand& band : bands) {
            if (band.end < m_axis.From() || band.start > m_axis.To())
                continue;
            PaintBand(painter, sound, m_axis.XOf(band.start), m_axis.XOf(band.end), band.color);
            if (!band.label.isEmpty())
                PaintBandLabel(painter, sound, m_axis.XOf(band.start), m_axis.XOf(band.end), band.label);
        }
    }
    for (const auto& [layer, curves] : m_curves)
        for (const WaveformCurve& curve : curves)
            PaintCurve(painter, sound, m_axis, curve.start, curve.step, curve.values, curve.color);
    const QRect overview = OverviewArea();
    PaintOverview(painter, overview, ProfileEnvelope(profile, 0, m_axis.Media(), overview.width()));
    m_pictureValid = true;
}

void WaveformView::paintEvent(QPaintEvent*)
{
    if (!m_pictureValid)
        MakePicture();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);

    const QRect sound = SoundArea();
    const std::pair<double, double> segment = m_gesture.Marked().value_or(std::pair(m_start, m_end));
    if (segment.second > segment.first) {
        QColor shade = kSegment;
        shade.setAlpha(0x48);
        PaintBand(painter, sound, m_axis.XOf(segment.first), m_axis.XOf(segment.second), shade);
        PaintLine(painter, sound, m_axis.XOf(segment.first), kSegment);
        PaintLine(painter, sound, m_axis.XOf(segment.second), kSegment);
    }
    if (const std::optional<std::pair<std::size_t, double>> moved = m_gesture.MovedEdge())
        PaintLine(painter, sound, m_axis.XOf(moved->second), kSegment);
    for (double point : m_points)
        PaintLine(painter, sound, m_axis.XOf(point), kPausePoint);
    PaintLine(painter, sound, m_axis.XOf(m_shownCursor), kCursor);

    // The stretch shown and the cursor, on the overview.
    const QRect overview = OverviewArea();
    const double scale = m_axis.Media() > 0 ? overview.width() / m_axis.Media() : 0;
    painter.setPen(kText);
    painter.drawRect(QRectF(m_axis.From() * scale, overview.top(), std::max(1.0, m_axis.Span() * scale),
                            overview.height() - 1));
    PaintLine(painter, overview, m_shownCursor * scale, kCursor);

    // What the player says (the file name, or why it holds no media), and the length.
    QString said = m_player.currentText().isEmpty() ? m_fileName : m_player.currentText();
    said.replace(QChar('\n'), QStringLiteral(" — "));
    PaintCaption(painter, sound, m_lengthKnown ? TitleOf(said, m_axis.Media()) : said, Qt::AlignTop | Qt::AlignLeft);
    if (const QString status = StatusLine(); !status.isEmpty())
        PaintCaption(painter, sound, status, Qt::AlignBottom | Qt::AlignLeft);
    if (!m_notice.isEmpty())
        PaintCaption(painter, sound, m_notice, Qt::AlignBottom | Qt::AlignRight);
}

void WaveformView::SetNotice(const QString& text)
{
    if (text == m_notice)
        return;
    m_notice = text;
    update();
}

QString WaveformView::StatusLine() const
{
    const SoundProfile& profile = m_profile.Profile();
    if (profile.State() == SoundProfile::Progress::Failed)
        return tr("No waveform: %1").arg(QString::fromStdString(profile.Problem()));
    if (profile.State() != SoundProfile::Progress::Analysing)
        return {};
    if (!m_lengthKnown || m_axis.Media() <= 0)
        return tr("Analysing the sound…");
    const int percent = std::min(99, int(profile.Seconds() / m_axis.Media() * 100));
    return tr("Analysing the sound… %1%").arg(percent);
}

bool WaveformView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void WaveformView::resizeEvent(QResizeEvent*)
{
    m_axis.SetWidth(width());
    Redraw();
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF at = event->position();
    if (OverviewArea().contains(at.toPoint())) {
        m_movingByOverview = true;
        MoveStretchToOverview(at.x());
        return;
    }
    m_gesture.Press(at.x(), m_axis, m_start, m_end, ShownMovableEdges());
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_movingByOverview) {
        MoveStretchToOverview(event->position().x());
    } else if (m_gesture.Active()) {
        m_gesture.Move(event->position().x(), m_axis);
        update();
    }
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_movingByOverview = false;
    if (!m_gesture.Active())
        return;
    const WaveformGesture::Outcome outcome = m_gesture.Release(event->position().x(), m_axis);
    update();
    if (outcome.seek) {
        if (const std::optional<int> band = ClickableBandAt(*outcome.seek))
            emit bandClicked(m_clickableLayer, *band);
        else
            m_dispatch.Dispatch([&] { m_player.SetCurrentPosition(*outcome.seek); });
    }
    if (outcome.segment)
        m_dispatch.Dispatch([&] { m_segment.SetSegment(outcome.segment->first, outcome.segment->second); });
    if (outcome.edge && outcome.edge->first < m_pressedEdges.size()) {
        const auto [band, start] = m_pressedEdges[outcome.edge->first];
        emit bandEdgeMoved(m_movableLayer, band, start, outcome.edge->second);
    }
}

void WaveformView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    const double moment = m_axis.SecondsAt(at.x());
    const bool inSegment = m_end > m_start && moment >= m_start && moment <= m_end;
    if (event->button() != Qt::LeftButton || !SoundArea().contains(at.toPoint()) || !inSegment) {
        mousePressEvent(event);
        return;
    }
    m_gesture.Cancel();
    m_dispatch.Dispatch([this] { m_segment.Repeat(); });
}

void WaveformView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        if (delta.y() == 0)
            return;
        m_axis.ZoomAt(event->position().x(), std::pow(kZoomStep, -double(delta.y()) / kWheelStep));
        m_wantedSpan = m_axis.Span();
        m_storeZoom.start();
        Redraw();
        return;
    }
    const double steps = -double(delta.y() != 0 ? delta.y() : delta.x()) / kWheelStep;
    MoveStretch(m_axis.From() + steps * kScrollStep * m_axis.Span(), m_axis.Span());
}
