// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/sentences/DrillDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <iterator>

DrillDialog::DrillDialog(const DrillSettings& current, QWidget* parent)
    : QDialog(parent), m_repeats(new QComboBox(this)), m_pause(new QComboBox(this)),
      m_goOn(new QCheckBox(tr("Go on to the next sentence"), this)),
      m_recordTakes(new QCheckBox(tr("Record my repetition"), this)),
      m_replayAfterTake(new QCheckBox(tr("Play the sentence again after my take"), this))
{
    setWindowTitle(tr("Drill"));
    for (int repeats = 1; repeats <= DrillSettings::kMostRepeats; ++repeats)
        m_repeats->addItem(QString::number(repeats), repeats);
    m_repeats->addItem(tr("Endless"), 0);
    m_repeats->setCurrentIndex(std::max(0, m_repeats->findData(current.repeats)));
    for (double factor : DrillSettings::kPauseFactors)
        m_pause->addItem(tr("%1 × the sentence").arg(factor), factor);
    m_pause->setCurrentIndex(std::max(0, m_pause->findData(current.pauseFactor)));
    m_goOn->setChecked(current.goOn);
    m_recordTakes->setChecked(current.recordTakes);
    m_replayAfterTake->setChecked(current.replayAfterTake);
    m_replayAfterTake->setEnabled(current.recordTakes);
    connect(m_recordTakes, &QCheckBox::toggled, m_replayAfterTake, &QWidget::setEnabled);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(tr("Start"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(tr("Repeats per sentence:"), m_repeats);
    form->addRow(tr("Pause after each repeat:"), m_pause);
    form->addRow(m_goOn);
    form->addRow(m_recordTakes);
    form->addRow(m_replayAfterTake);
    form->addRow(buttons);
}

DrillSettings DrillDialog::Settings() const
{
    return {m_repeats->currentData().toInt(), m_pause->currentData().toDouble(), m_goOn->isChecked(),
            m_recordTakes->isChecked(), m_replayAfterTake->isChecked()};
}
