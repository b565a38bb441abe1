// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

class CMediaplayer1;

// The playback speed in the top right corner of the player area, while it is
// not the media's own: what the player plays at. It stays on top of
// whatever else the player area shows (a picture, the waveform).
class SpeedMark : public QLabel {
    Q_OBJECT
public:
    // A child of the player control, which owns it.
    explicit SpeedMark(CMediaplayer1& player);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(double speed);
    void PlaceInCorner();
};
