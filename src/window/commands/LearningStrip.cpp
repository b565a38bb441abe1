// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/commands/LearningStrip.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

LearningStrip::LearningStrip(QWidget& view, const std::vector<Button>& buttons)
    : m_view(view),
      m_strip(new QWidget(&view))
{
    m_strip->setObjectName(QStringLiteral("learningStrip"));
    auto* layout = new QHBoxLayout(m_strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const Button& button : buttons) {
        if (!button.command)
            continue;
        auto* tool = new QToolButton(m_strip);
        tool->setText(button.label);
        tool->setAutoRaise(true);
        tool->setFocusPolicy(Qt::NoFocus);
        // The menu text carries the keys after a tab: "Next sentence (N)".
        const QStringList parts = button.command->text().split(QLatin1Char('\t'));
        tool->setToolTip(parts.size() > 1 && !parts[1].isEmpty() ? QStringLiteral("%1 (%2)").arg(parts[0], parts[1])
                                                                 : parts[0]);
        QAction* command = button.command;
        if (QMenu* menu = command->menu()) {
            tool->setMenu(menu);
            tool->setPopupMode(QToolButton::InstantPopup);
        } else {
            connect(tool, &QToolButton::clicked, command, &QAction::trigger);
            tool->setEnabled(command->isEnabled());
            connect(command, &QAction::changed, tool, [tool, command] { tool->setEnabled(command->isEnabled()); });
        }
        tool->setStyleSheet(QStringLiteral("QToolButton { color: #e0e0e0; background: rgba(0, 0, 0, 90); padding: 0 4px; }"
                                           "QToolButton:disabled { color: #707070; }"));
        layout->addWidget(tool);
    }
    view.installEventFilter(this);
    Place();
}

LearningStrip::~LearningStrip() = default;

bool LearningStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        Place();
    return QObject::eventFilter(watched, event);
}

void LearningStrip::Place()
{
    m_strip->adjustSize();
    m_strip->move(m_view.width() - m_strip->width() - 4, 2);
    m_strip->raise();
}
