#pragma once

#include "support/FileBytes.h"
#include "window/WindowFixture.h"

#include <QListWidget>
#include <optional>
#include <string>
#include <vector>

// A started window that opens media from the test's folder, with or without a
// pause-point file beside it.
class PausePointTest : public WindowTest {
protected:
    // Opens `name` with the Open button; `pointFile` is written as the bytes
    // of its pause-point file first, unless it is nothing. Returns the path.
    std::string OpenMedia(const std::string& name, const std::optional<std::string>& pointFile)
    {
        std::string path = PathIn(name);
        if (pointFile)
            WriteFileBytes(PathIn(name.substr(0, name.size() - 3) + "txt"), *pointFile);
        prompts.openAnswers.push_back(path);
        Click(1009);
        return path;
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < dlg->m_pointList->count(); ++row)
            texts.push_back(dlg->m_pointList->item(row)->text().toStdString());
        return texts;
    }

    // The selected entry, -1 when none is.
    int Selected() const
    {
        QList<QListWidgetItem*> selected = dlg->m_pointList->selectedItems();
        return selected.isEmpty() ? -1 : dlg->m_pointList->row(selected.front());
    }
};
