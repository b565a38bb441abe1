// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/align/AlignPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace {

// Steps of the progress bar.
constexpr int kSteps = 1000;

} // namespace

AlignPanel::AlignPanel(QWidget& window)
    : QWidget(&window),
      m_align(new QPushButton(tr("Align text..."), this)),
      m_progress(new QProgressBar(this)),
      m_left(new QLabel(this)),
      m_cancel(new QPushButton(tr("Cancel"), this)),
      m_line(new QLabel(this))
{
    setObjectName(QStringLiteral("alignPanel"));
    m_progress->setRange(0, kSteps);
    m_line->setWordWrap(true);
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_align, 0, 0);
    layout->addWidget(m_progress, 0, 1);
    layout->addWidget(m_left, 0, 2);
    layout->addWidget(m_cancel, 0, 3);
    layout->addWidget(m_line, 1, 0, 1, 4);
    layout->setColumnStretch(1, 1);
    connect(m_align, &QPushButton::clicked, this, &AlignPanel::alignRequested);
    connect(m_cancel, &QPushButton::clicked, this, &AlignPanel::cancelRequested);
    ShowEnded({}, false);
}

void AlignPanel::SetAlignEnabled(bool enabled)
{
    m_align->setEnabled(enabled);
}

void AlignPanel::ShowRunning(double fraction, std::optional<double> secondsLeft)
{
    m_progress->setValue(int(std::lround(std::clamp(fraction, 0.0, 1.0) * kSteps)));
    m_left->setText(secondsLeft ? tr("about %1 s left").arg(std::ceil(std::max(*secondsLeft, 0.0))) : QString());
    m_line->clear();
    m_line->hide();
    m_progress->show();
    m_left->show();
    m_cancel->show();
}

void AlignPanel::ShowEnded(const QString& line, bool failed)
{
    m_progress->hide();
    m_left->hide();
    m_cancel->hide();
    m_line->setText(line);
    m_line->setStyleSheet(failed ? QStringLiteral("color: #a03020;") : QString());
    m_line->setVisible(!line.isEmpty());
}

bool AlignPanel::IsRunning() const
{
    return !m_cancel->isHidden();
}

double AlignPanel::Fraction() const
{
    return double(m_progress->value()) / kSteps;
}

QString AlignPanel::TimeLeft() const
{
    return m_left->text();
}

QString AlignPanel::Line() const
{
    return m_line->text();
}
