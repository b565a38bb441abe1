// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/Prompts.h"

#include <QString>

// The real prompts: Qt message boxes, Qt file dialogs, Qt's item chooser and the desktop's URL handler.
class QtPrompts : public Prompts {
public:
    BoxAnswer MessageBox(QWidget* owner, const std::string& caption, const std::string& text,
                         BoxButtons buttons, BoxIcon icon) override;
    std::optional<std::string> OpenFile(QWidget* owner, const std::string& initialPath,
                                        const std::string& filter) override;
    std::optional<std::string> SaveFile(QWidget* owner) override;
    std::optional<DrillSettings> ChooseDrill(QWidget* owner, const DrillSettings& current) override;
    std::optional<std::size_t> ChooseOne(QWidget* owner, const std::string& caption, const std::string& label,
                                         const std::vector<std::string>& choices, std::size_t current) override;
    void OpenUrl(const std::string& url) override;
};

// Turns a "Label|pattern|Label|pattern||" filter into Qt's ";;"-separated name
// filters; "*.*" becomes "*", since Linux names need no dot.
QString QtNameFilters(const std::string& filter);
