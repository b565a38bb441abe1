#include "window/RecorderDlg.h"

#include "window/NumberText.h"

#include <QAbstractButton>
#include <QListWidget>
#include <filesystem>

// Pause-point commands: add, delete, nudge, replay and step through the points
// of the current media, save them, and stop playback at the point after the
// selected one.

namespace {

constexpr int kInfinitelyBox = 1025;
constexpr const char* kReplaceFileQuestion = "File has been，Cover It？";
constexpr const char* kPointsSavedText = "声音的暂停点文件保存完毕.";

} // namespace

int CRecorderDlg::SelectedPausePoint() const
{
    QListWidgetItem* current = m_pointList->currentItem();
    return current && current->isSelected() ? m_pointList->row(current) : -1;
}

void CRecorderDlg::SelectPausePoint(int index)
{
    m_pointList->setCurrentRow(index);
}

void CRecorderDlg::OnAddPausePoint()
{
    UpdateData(true);
    double seconds = m_player.GetCurrentPosition() - m_leadIn;
    AppendPausePoint(seconds, FormatFileTime(seconds));
    m_pointsModified = true;
    SelectPausePoint(LastPointIndex());
}

void CRecorderDlg::OnDeletePausePoint()
{
    int index = SelectedPausePoint();
    if (index < 0)
        return;
    m_pausePoints.erase(m_pausePoints.begin() + index);
    delete m_pointList->takeItem(index);  // takeItem hands the item over
    if (index <= LastPointIndex()) {
        SelectPausePoint(index);
    } else if (m_pausePoints.empty()) {
        // Deleting the only point leaves nothing to save, and the flag as it was.
        SelectPausePoint(-1);
        return;
    } else {
        SelectPausePoint(LastPointIndex());
    }
    m_pointsModified = true;
}

void CRecorderDlg::NudgePausePoint(int direction)
{
    // The step is read from its box first.
    UpdateData(true);
    int index = SelectedPausePoint();
    if (index < 0)
        return;
    m_pausePoints[index] += direction * m_pointStep;
    m_pointList->item(index)->setText(QString::fromStdString(FormatFileTime(m_pausePoints[index])));
    SelectPausePoint(index);
    m_pointsModified = true;
}

void CRecorderDlg::OnPausePointEarlier()
{
    NudgePausePoint(-1);
}

void CRecorderDlg::OnPausePointLater()
{
    NudgePausePoint(+1);
}

void CRecorderDlg::OnReplayPausePoint()
{
    int index = SelectedPausePoint();
    if (index < 0)
        return;
    // The repeated segment ends here: its end must not end this playback.
    m_player.SetSegmentEnd(std::nullopt);
    m_player.SetCurrentPosition(m_pausePoints[index]);
    KillTimer(RepeatTimer);
    StartTimer(PointTimer);
    m_player.Play();
}

void CRecorderDlg::OnNextPausePoint()
{
    int index = SelectedPausePoint();
    if (index == LastPointIndex())
        return;
    SelectPausePoint(index + 1);
    m_player.SetCurrentPosition(m_pausePoints[index + 1]);
    StartTimer(PointTimer);
    m_player.Play();
}

void CRecorderDlg::OnSavePausePoints()
{
    std::error_code error;
    if (std::filesystem::exists(m_pointFilePath, error)
        && AskYesNo(kProgramBoxCaption, kReplaceFileQuestion, BoxIcon::None) != BoxAnswer::Yes)
        return;
    if (!WritePausePoints())
        return;
    ShowMessage(m_environment.appName, kPointsSavedText, BoxIcon::None);
    m_pointsModified = false;
}

void CRecorderDlg::CheckPausePointSegment()
{
    int index = SelectedPausePoint();
    if (index == LastPointIndex())
        return;
    // With none selected the segment ends at the first point.
    if (m_player.GetCurrentPosition() < m_pausePoints[index + 1])
        return;
    // Only a selected point has a segment to play again.
    if (index >= 0 && static_cast<QAbstractButton*>(Control(kInfinitelyBox))->isChecked()) {
        m_player.SetCurrentPosition(m_pausePoints[index]);
        return;
    }
    KillTimer(PointTimer);
    m_player.Stop();
}
