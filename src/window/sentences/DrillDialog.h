// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/sentences/DrillSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// The drill's settings: repeats per sentence (1 to 9, or endless), the pause
// after each play as a multiple of the sentence's length, and whether to go
// on to the next sentence; shadowing: "Record my repetition" after each play,
// and "Play the sentence again after my take". Start accepts them.
class DrillDialog : public QDialog {
    Q_OBJECT
public:
    DrillDialog(const DrillSettings& current, QWidget* parent = nullptr);

    DrillSettings Settings() const;

private:
    QComboBox* m_repeats;
    QComboBox* m_pause;
    QCheckBox* m_goOn;
    QCheckBox* m_recordTakes;
    QCheckBox* m_replayAfterTake;
};
