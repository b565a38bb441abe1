// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/LineCaption.h"

#include <QEvent>

LineCaption::LineCaption(QWidget& area) : QLabel(&area), m_area(area)
{
    setObjectName(QStringLiteral("transcriptCaption"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    // Clicks and the context menu go to the view under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 160); padding: 2px 6px; }"));
    hide();
    area.installEventFilter(this);
}

void LineCaption::ShowLine(const QString& text, int bottom)
{
    m_bottom = bottom;
    if (text.isEmpty()) {
        hide();
        return;
    }
    setText(text);
    Place();
    show();
    raise();
}

bool LineCaption::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_area && event->type() == QEvent::Resize && isVisible())
        Place();
    return QLabel::eventFilter(watched, event);
}

void LineCaption::Place()
{
    const int width = m_area.width() * 9 / 10;
    const int height = heightForWidth(width);
    const int bottom = m_bottom >= 0 ? m_bottom : m_area.height() - 4;
    setGeometry((m_area.width() - width) / 2, std::max(0, bottom - height), width, height);
}
