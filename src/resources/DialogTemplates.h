// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/ControlId.h"

#include <span>

// The two dialog templates of the program, as data: every control with its id,
// kind, caption and place in dialog units, in creation (and tab) order.

enum class ControlKind {
    PlayerControl,
    GroupBox,
    Edit,
    Button,
    DefaultButton,
    FlatButton,
    Label,
    SunkenLabel,
    ListBox,
    CheckBox,
    Icon,
    Rule,
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleReadOnly = 1u << 0,
    StyleCentred = 1u << 1,
};

struct ControlTemplate {
    ControlId id;
    ControlKind kind;
    const char* caption;
    int x, y, w, h;
    bool shown;
    unsigned style;
};

struct DialogTemplate {
    int id;
    const char* title;
    const char* fontFamily;
    int pointSize;
    int width, height;
    std::span<const ControlTemplate> controls;
};

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& AboutDialogTemplate();
