// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DialogPrompts.h"

DialogPrompts::DialogPrompts(Prompts& prompts, QWidget& owner, std::string appName)
    : m_prompts(prompts), m_owner(owner), m_appName(std::move(appName))
{
}

void DialogPrompts::ShowMessage(const std::string& caption, const std::string& text, BoxIcon icon)
{
    m_prompts.MessageBox(&m_owner, caption, text, BoxButtons::Ok, icon);
}

BoxAnswer DialogPrompts::AskYesNo(const std::string& caption, const std::string& text, BoxIcon icon)
{
    return m_prompts.MessageBox(&m_owner, caption, text, BoxButtons::YesNo, icon);
}

std::optional<std::string> DialogPrompts::OpenFile(const std::string& initialPath, const std::string& filter)
{
    return m_prompts.OpenFile(&m_owner, initialPath, filter);
}

std::optional<std::string> DialogPrompts::SaveFile()
{
    return m_prompts.SaveFile(&m_owner);
}

std::optional<DrillSettings> DialogPrompts::ChooseDrill(const DrillSettings& current)
{
    return m_prompts.ChooseDrill(&m_owner, current);
}

std::optional<std::size_t> DialogPrompts::ChooseOne(const std::string& caption, const std::string& label,
                                                    const std::vector<std::string>& choices, std::size_t current)
{
    return m_prompts.ChooseOne(&m_owner, caption, label, choices, current);
}

void DialogPrompts::OpenUrl(const std::string& url)
{
    m_prompts.OpenUrl(url);
}
