#include "window/RecorderDlg.h"

#include "window/PausePointText.h"
#include "window/TextFile.h"

#include <QListWidget>

// The pause-point file of the current media: filling the list from it, writing
// it back, and the question asked before modified points would be dropped.

namespace {

constexpr const char* kUnsavedPointsQuestion =
    "暂停点已经被修改过了，并且尚未保存(如果选择保存，将可能会覆盖原来的暂停点文件)，是否要保存？";

} // namespace

void CRecorderDlg::AppendPausePoint(double seconds, const std::string& entryText)
{
    m_pausePoints.push_back(seconds);
    m_pointList->addItem(QString::fromStdString(entryText));
}

void CRecorderDlg::LoadPausePoints()
{
    m_pointList->clear();
    m_pausePoints.clear();
    m_pointFilePath = PausePointPathFor(m_mediaPath);

    // A file that cannot be opened means no pause points, without a word.
    PausePointFileContents contents = ReadPausePointFile(m_pointFilePath);
    for (const PausePointEntry& entry : contents.entries)
        AppendPausePoint(entry.seconds, entry.text);
    if (LastPointIndex() >= 0)
        SelectPausePoint(0);
    if (!contents.readError.empty())
        ShowMessage(kProgramBoxCaption,
                    "Cannot read the pause points from \"" + m_pointFilePath + "\": " + contents.readError,
                    BoxIcon::Exclamation);
    m_pointsModified = false;
}

bool CRecorderDlg::WritePausePoints()
{
    if (std::optional<std::string> failure = ReplaceTextFile(m_pointFilePath, PausePointFileText(m_pausePoints))) {
        ShowMessage(kProgramBoxCaption,
                    "Cannot save the pause points in \"" + m_pointFilePath + "\": " + *failure, BoxIcon::Exclamation);
        return false;
    }
    m_pointsModified = false;
    return true;
}

bool CRecorderDlg::OfferToSavePausePoints()
{
    if (!m_pointsModified)
        return true;
    if (AskYesNo(kProgramBoxCaption, kUnsavedPointsQuestion, BoxIcon::None) != BoxAnswer::Yes)
        return true;
    return WritePausePoints();
}
