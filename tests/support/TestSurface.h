// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"

#include <QImage>
#include <QString>

// Where a player under test shows what it plays: the last frame or the last
// text, one in place of the other, as the window's player control keeps them.
class TestSurface : public PlayerSurface {
public:
    void showFrame(const QImage& frame) override
    {
        m_frame = frame;
        m_text.clear();
    }
    void showText(const QString& text) override
    {
        m_frame = QImage();
        m_text = text;
    }

    const QImage& frame() const { return m_frame; }
    const QString& text() const { return m_text; }

private:
    QImage m_frame;
    QString m_text;
};
