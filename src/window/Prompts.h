// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/sentences/DrillSettings.h"

#include <optional>
#include <cstddef>
#include <string>
#include <vector>

class QWidget;

enum class BoxIcon { None, Stop, Exclamation, Information, Question };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// Everything the window asks of the user or the desktop: message boxes, the two
// file choosers, the drill's settings, a choice among a few and opening a web address. Injected so that window tests can
// script the answers.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box; timers keep ticking while it is open.
    virtual BoxAnswer MessageBox(QWidget* owner, const std::string& caption, const std::string& text,
                                 BoxButtons buttons, BoxIcon icon) = 0;

    // The open-file chooser. `filter` is in the "Label|pattern|Label|pattern||"
    // form; the first pair is selected. Returns the chosen full path, or nothing
    // when cancelled.
    virtual std::optional<std::string> OpenFile(QWidget* owner, const std::string& initialPath,
                                                const std::string& filter) = 0;

    // The save-file chooser, with no filter and no initial name. It does not ask
    // about overwriting itself: the caller asks about the file it will write.
    virtual std::optional<std::string> SaveFile(QWidget* owner) = 0;

    // The drill's dialog, starting from `current`; the settings to run it
    // with, or nothing when cancelled.
    virtual std::optional<DrillSettings> ChooseDrill(QWidget* owner, const DrillSettings& current) = 0;

    // A choice of one of `choices` (at least one), `current` selected at
    // first, under `label`; the index chosen, or nothing when cancelled.
    virtual std::optional<std::size_t> ChooseOne(QWidget* owner, const std::string& caption, const std::string& label,
                                                 const std::vector<std::string>& choices, std::size_t current) = 0;
    // Opens an address in the desktop's default handler; the result is ignored.
    virtual void OpenUrl(const std::string& url) = 0;
};
