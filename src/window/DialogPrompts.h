// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/Prompts.h"

#include <optional>
#include <string>
#include <vector>

// Caption of the program's own message boxes.
constexpr const char* kProgramBoxCaption = "Kestwin Software Inc";

// The window's questions to the user: its message boxes and choosers, each
// owned by the window, and the caption of the boxes that name none.
class DialogPrompts {
public:
    DialogPrompts(Prompts& prompts, QWidget& owner, std::string appName);

    // The executable's file name without its extension.
    const std::string& AppName() const { return m_appName; }

    void ShowMessage(const std::string& caption, const std::string& text, BoxIcon icon);
    BoxAnswer AskYesNo(const std::string& caption, const std::string& text, BoxIcon icon);
    std::optional<std::string> OpenFile(const std::string& initialPath, const std::string& filter);
    std::optional<std::string> SaveFile();
    std::optional<DrillSettings> ChooseDrill(const DrillSettings& current);
    std::optional<std::size_t> ChooseOne(const std::string& caption, const std::string& label,
                                         const std::vector<std::string>& choices, std::size_t current);
    void OpenUrl(const std::string& url);

private:
    Prompts& m_prompts;
    QWidget& m_owner;
    std::string m_appName;
};
