// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/Prompts.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Prompts answered from a script. Every box and chooser shown is recorded.
class ScriptedPrompts : public Prompts {
public:
    struct Box {
        std::string caption;
        std::string text;
        BoxButtons buttons;
        BoxIcon icon;
    };

    BoxAnswer MessageBox(QWidget*, const std::string& caption, const std::string& text, BoxButtons buttons,
                         BoxIcon icon) override
    {
        boxes.push_back({caption, text, buttons, icon});
        events.push_back("box:" + text);
        if (whileBoxOpen)
            whileBoxOpen();
        if (buttons == BoxButtons::Ok)
            return BoxAnswer::Ok;
        if (answers.empty())
            return BoxAnswer::No;
        BoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<std::string> OpenFile(QWidget*, const std::string& initialPath, const std::string& filter) override
    {
        openDialogs.push_back({initialPath, filter});
        events.push_back("open-dialog");
        return Next(openAnswers);
    }

    std::optional<std::string> SaveFile(QWidget*) override
    {
        events.push_back("save-dialog");
        ++saveDialogs;
        return Next(saveAnswers);
    }

    std::optional<DrillSettings> ChooseDrill(QWidget*, const DrillSettings& current) override
    {
        events.push_back("drill-dialog");
        drillOffered.push_back(current);
        if (drillAnswers.empty())
            return std::nullopt;
        auto answer = drillAnswers.front();
        drillAnswers.pop_front();
        return answer;
    }

    // Answers from `chooseAnswers`; with none left, the choice offered first
    // is taken, as OK would take it.
    std::optional<std::size_t> ChooseOne(QWidget*, const std::string&, const std::string&,
                                         const std::vector<std::string>& choices, std::size_t current) override
    {
        events.push_back("choose");
        choicesOffered.push_back({choices, current});
        if (chooseAnswers.empty())
            return current;
        auto answer = chooseAnswers.front();
        chooseAnswers.pop_front();
        return answer;
    }
    void OpenUrl(const std::string& url) override { urls.push_back(url); }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const Box& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    struct OpenDialog {
        std::string initialPath;
        std::string filter;
    };

    std::vector<Box> boxes;
    std::vector<std::string> events;
    std::deque<BoxAnswer> answers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<OpenDialog> openDialogs;
    int saveDialogs = 0;
    // The settings each drill dialog was opened with, and what it answers.
    std::vector<DrillSettings> drillOffered;
    std::deque<std::optional<DrillSettings>> drillAnswers;
    std::vector<std::string> urls;
    // Each choice offered, with the one selected at first, and what it answers.
    struct Choice {
        std::vector<std::string> choices;
        std::size_t current;
    };
    std::vector<Choice> choicesOffered;
    std::deque<std::optional<std::size_t>> chooseAnswers;
    // Runs while a box is open, as timer ticks do in the real nested loop.
    std::function<void()> whileBoxOpen;

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue)
    {
        if (queue.empty())
            return std::nullopt;
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }
};
