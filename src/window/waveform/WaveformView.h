// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"
#include "window/waveform/PlaybackCursor.h"
#include "window/waveform/TimeAxis.h"
#include "window/waveform/WaveformGesture.h"

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A line another feature draws over the sound (a melody): one value every
// `step` seconds from `start`, from -1 (the bottom of the sound) to 1 (its
// top); the line breaks where a value is NaN.
struct WaveformCurve {
    double start = 0;
    double step = 0.01;
    std::vector<float> values;
    QColor color;
};

class CMediaplayer1;
class MediaProfile;
class MediaSession;
class PausePoints;
class Preferences;
class SegmentRepeat;
class WindowDispatch;

// A stretch of time another feature marks on the sound (pauses it found,
// sentences with a recorded take, a transcript's lines), drawn as a band of
// its colour, with its label (a line's first words) when it has one.
struct WaveformBand {
    double start = 0;
    double end = 0;
    QColor color;
    QString label;
};

// The sound of the media in the player area, for media without a picture (a
// video's picture shows as before). Over a stretch of 20 s (the whole media
// when shorter; Ctrl+wheel zooms from about 1 s to the whole media, the wheel
// scrolls) it draws the sound's envelope under a ruler in seconds, the
// segment as a shaded band, the pause points as thin lines, the playback
// position as a cursor, the file name and the length, and along the bottom
// an overview of the whole media that marks the stretch (a click there moves
// it). While playing it follows the cursor, until the user moves the stretch;
// the next Play or Repeat follows again.
//
// Marking: a click seeks (on a band another feature made clickable, it tells
// that feature instead); a drag marks the segment, a drag of one of its
// edges moves that edge, as if the times had been typed into the boxes; a
// double-click inside the segment repeats it. The right button opens the
// window's context menu (the view leaves that event to the window).
//
// It follows the media, the segment, the pause points, the player and the
// profile by their signals and changes them only through their commands.
class WaveformView : public QWidget {
    Q_OBJECT
public:
    // Covers the player control, whose child it is.
    WaveformView(CMediaplayer1& player, const MediaProfile& profile, const MediaSession& media,
                 SegmentRepeat& segment, const PausePoints& points, Preferences& preferences,
                 WindowDispatch& dispatch);
    ~WaveformView() override;

    const TimeAxis& Axis() const { return m_axis; }
    // Where the sound is drawn and marked, and where the overview is.
    QRect SoundArea() const;
    QRect OverviewArea() const;

    // The line under the sound that says how far its profile is, or why
    // there is no waveform; empty once the profile is complete.
    QString StatusLine() const;

    // A line another feature shows over the sound (what it waits for); an
    // empty text takes it away.
    void SetNotice(const QString& text);
    const QString& Notice() const { return m_notice; }

    // Bands another feature draws over the sound, all of `layer` at once
    // (none takes the layer away). Layers are drawn in the order of their names.
    void SetBands(const QString& layer, std::vector<WaveformBand> bands);
    // The bands of `layer` (in time order, not overlapping) may have their
    // edges dragged, each between its neighbours; bandEdgeMoved tells where.
    void SetMovableEdges(const QString& layer);
    // A click on a band of `layer` announces it (bandClicked) instead of
    // seeking; an empty name, none.
    void SetClickableBands(const QString& layer);
    // Lines another feature draws over the sound and its bands, all of
    // `layer` at once (none takes the layer away).
    void SetCurves(const QString& layer, std::vector<WaveformCurve> curves);

signals:
    void bandEdgeMoved(const QString& layer, int band, bool start, double seconds);
    void bandClicked(const QString& layer, int band);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QRect RulerArea() const;
    // The band of the clickable layer at `seconds`, if any.
    std::optional<int> ClickableBandAt(double seconds) const;
    // The movable edges in the stretch shown, noted in m_pressedEdges.
    std::vector<WaveformGesture::MovableEdge> ShownMovableEdges();
    // The axis spans the media's length, as far as it is known.
    void FitLength();
    // Shown for loaded media without a picture; the cursor moves while it plays.
    void UpdateShown();
    void OnMediaLoaded(const std::string& path);
    void OnPlaybackState(PlaybackState state);
    // While the cursor moves: where it is now, the player asked when it may be.
    void OnCursorTick();
    // Draws the cursor where it is now; a following view keeps it in sight.
    void ShowCursor();
    void FollowAgain();
    // The user moved the stretch: no following until the next Play or Repeat.
    void MoveStretch(double from, double span);
    void MoveStretchToOverview(double x);
    // The picture of what changes seldom (ruler, envelope, overview, bands)
    // is made again on the next paint.
    void Redraw();
    void MakePicture();
    // The span the user zoomed to lasts into the next run.
    void StoreZoom();

    CMediaplayer1& m_player;
    const MediaProfile& m_profile;
    SegmentRepeat& m_segment;
    Preferences& m_preferences;
    WindowDispatch& m_dispatch;
    TimeAxis m_axis;
    WaveformGesture m_gesture;
    bool m_movingByOverview = false;

    bool m_loaded = false;
    QString m_fileName;
    bool m_lengthKnown = false;
    // The span the user chose; shorter media are shown whole.
    double m_wantedSpan = 0;
    QTimer m_storeZoom;
    double m_start = 0;
    double m_end = 0;
    std::vector<double> m_points;
    std::map<QString, std::vector<WaveformBand>> m_bands;
    QString m_movableLayer;
    QString m_clickableLayer;
    std::map<QString, std::vector<WaveformCurve>> m_curves;
    // The movable edges shown when the button was pressed: band and which edge.
    std::vector<std::pair<int, bool>> m_pressedEdges;
    QString m_notice;
    PlaybackCursor m_cursor;
    // Where the cursor is drawn.
    double m_shownCursor = 0;
    bool m_following = true;
    // While playing: the cursor moves.
    QTimer m_cursorTimer;

    QPixmap m_picture;
    bool m_pictureValid = false;
};
