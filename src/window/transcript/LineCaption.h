// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// The transcript line being heard, shown in the player area as subtitles
// are: at the bottom of the picture, or just above the waveform's overview.
// Hidden while no line is heard.
class LineCaption : public QLabel {
    Q_OBJECT
public:
    // `area` is the player control it is drawn over.
    explicit LineCaption(QWidget& area);

    // The text of the line (and its translation under it); empty hides it.
    // `bottom` is the lowest pixel row of `area` it may cover.
    void ShowLine(const QString& text, int bottom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QWidget& m_area;
    int m_bottom = -1;
};
