// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/ControlId.h"

#include <map>
#include <string>

class DialogPrompts;
class QLineEdit;
class QWidget;

// One exchange of the window's bound values with their boxes, in one
// direction. Times are shown as "%.*g" with precision 15 shows them (a box's
// text is replaced only when it differs) and read as "%lf" reads them. Read
// from the boxes, the first one that holds no number is reported ("Please
// enter a number."), gets the focus with its whole text selected, and ends
// the exchange: the values after it keep their contents.
class DataExchange {
public:
    enum class Direction { ToControls, FromControls };

    // `controls` are the window's controls by id; a box that holds no number
    // is reported through `prompts`.
    DataExchange(const std::map<ControlId, QWidget*>& controls, DialogPrompts& prompts, Direction direction);

    void Time(ControlId box, double& value);
    void Text(ControlId box, std::string& value);

    // No box failed to give its number.
    bool Succeeded() const { return !m_failed; }

private:
    QLineEdit* Box(ControlId id) const;

    const std::map<ControlId, QWidget*>& m_controls;
    DialogPrompts& m_prompts;
    Direction m_direction;
    bool m_failed = false;
};
