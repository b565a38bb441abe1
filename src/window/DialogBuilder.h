// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/DialogTemplates.h"

#include <QFont>
#include <QRect>
#include <map>

class QWidget;

// The dialog font's base units: average character width and character height
// in pixels. A dialog unit is a quarter of the first and an eighth of the second.
struct BaseUnits {
    int x;
    int y;
};

BaseUnits BaseUnitsOf(const QFont& font);

// A rectangle in dialog units turned into pixels, each value rounded as
// Windows' MulDiv does.
QRect DialogUnitsToPixels(const QRect& units, BaseUnits base);

// The font a template names; the Windows shell font maps to the desktop's
// general font at the template's size.
QFont TemplateFont(const DialogTemplate& tmpl);

// Creates the template's controls as children of `dialog`, in template order,
// sizes the dialog to the template and returns the controls by id. Controls
// the caller has already made (the player control) are passed in `provided`
// and only placed. Each control carries its id in the "controlId" property.
std::map<ControlId, QWidget*> BuildControls(QWidget* dialog, const DialogTemplate& tmpl,
                                            const std::map<ControlId, QWidget*>& provided = {});
