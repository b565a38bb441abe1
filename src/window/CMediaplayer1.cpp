#include "window/CMediaplayer1.h"

#include <QPainter>

CMediaplayer1::CMediaplayer1(std::unique_ptr<IMediaPlayer> player, QWidget* parent)
    : QWidget(parent), m_player(std::move(player))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_player->setSurface(this);
}

// The player goes first, so that no frame arrives at a half-destroyed widget.
CMediaplayer1::~CMediaplayer1()
{
    m_player.reset();
}

void CMediaplayer1::showFrame(const QImage& frame)
{
    m_frame = frame;
    m_text.clear();
    update();
}

void CMediaplayer1::showText(const QString& text)
{
    m_frame = QImage();
    m_text = text;
    update();
}

void CMediaplayer1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_frame.isNull()) {
        QSize fitted = m_frame.size().scaled(size(), Qt::KeepAspectRatio);
        QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_frame);
        return;
    }
    if (!m_text.isEmpty()) {
        painter.setPen(QColor(0xd0, 0xd0, 0xd0));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }
}
