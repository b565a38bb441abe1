// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/speed/SpeedMark.h"

#include "window/CMediaplayer1.h"
#include "window/speed/PlaybackSpeed.h"

#include <QChildEvent>
#include <QEvent>
#include <cmath>

namespace {

constexpr int kMargin = 4;

} // namespace

SpeedMark::SpeedMark(CMediaplayer1& player) : QLabel(&player)
{
    setObjectName(QStringLiteral("speedMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("color: #f0f0f0; background: rgba(0, 0, 0, 160); padding: 1px 4px;"));
    player.installEventFilter(this);
    connect(&player, &CMediaplayer1::speedChanged, this, &SpeedMark::Show);
    Show(player.Speed());
}

void SpeedMark::Show(double speed)
{
    setText(SpeedText(speed));
    adjustSize();
    PlaceInCorner();
    setVisible(std::lround(speed * 100) != 100);
    raise();
}

void SpeedMark::PlaceInCorner()
{
    move(parentWidget()->width() - width() - kMargin, kMargin);
}

bool SpeedMark::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        PlaceInCorner();
    // A view added to the player area later goes under the mark.
    if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent*>(event)->child() != this)
        raise();
    return QLabel::eventFilter(watched, event);
}
