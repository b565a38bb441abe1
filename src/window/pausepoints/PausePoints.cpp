// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/pausepoints/PausePoints.h"

#include "window/BoundControls.h"
#include "window/CMediaplayer1.h"
#include "window/DataExchange.h"
#include "window/DialogPrompts.h"
#include "window/WindowTimers.h"
#include "window/pausepoints/PausePointText.h"
#include "window/segment/SegmentRepeat.h"
#include "window/text/NumberText.h"
#include "window/text/TextFile.h"

#include <QAbstractButton>
#include <QListWidget>
#include <filesystem>

namespace {

constexpr const char* kUnsavedPointsQuestion =
    "暂停点已经被修改过了，并且尚未保存(如果选择保存，将可能会覆盖原来的暂停点文件)，是否要保存？";
constexpr const char* kReplaceFileQuestion = "File has been，Cover It？";
constexpr const char* kPointsSavedText = "声音的暂停点文件保存完毕.";

} // namespace

PausePoints::PausePoints(CMediaplayer1& player, SegmentRepeat& segment, QListWidget& list,
                         const QAbstractButton& infinitely, WindowTimers& timers, BoundControls& controls,
                         DialogPrompts& prompts)
    : m_player(player),
      m_segment(segment),
      m_pointList(list),
      m_infinitely(infinitely),
      m_timers(timers),
      m_controls(controls),
      m_prompts(prompts)
{
}

int PausePoints::Selected() const
{
    QListWidgetItem* current = m_pointList.currentItem();
    return current && current->isSelected() ? m_pointList.row(current) : -1;
}

void PausePoints::Select(int index)
{
    m_pointList.setCurrentRow(index);
    AnnounceSelection();
}

void PausePoints::AnnounceSelection()
{
    int selected = Selected();
    if (selected == m_announcedSelection)
        return;
    m_announcedSelection = selected;
    emit selectionChanged(selected);
}

void PausePoints::Append(double seconds, const std::string& entryText)
{
    m_pausePoints.push_back(seconds);
    m_pointList.addItem(QString::fromStdString(entryText));
}

bool PausePoints::LoopsInfinitely() const
{
    return m_infinitely.isChecked();
}

void PausePoints::SetSteps(double pointStep, double leadIn)
{
    m_pointStep = pointStep;
    m_leadIn = leadIn;
}

void PausePoints::Clear(const std::string& filePath)
{
    m_pointList.clear();
    m_pausePoints.clear();
    m_pointFilePath = filePath;
    m_pointsModified = false;
    emit pointsChanged();
    AnnounceSelection();
}

void PausePoints::ReplaceAll(const std::vector<double>& times)
{
    m_pointList.clear();
    m_pausePoints.clear();
    for (double seconds : times)
        Append(seconds, FormatFileTime(seconds));
    if (LastPointIndex() >= 0)
        Select(0);
    m_pointsModified = true;
    emit pointsChanged();
    AnnounceSelection();
}

void PausePoints::LoadPausePoints(const std::string& mediaPath)
{
    m_pointList.clear();
    m_pausePoints.clear();
    m_pointFilePath = PausePointPathFor(mediaPath);

    // A file that cannot be opened means no pause points, without a word.
    PausePointFileContents contents = ReadPausePointFile(m_pointFilePath);
    for (const PausePointEntry& entry : contents.entries)
        Append(entry.seconds, entry.text);
    if (LastPointIndex() >= 0)
        Select(0);
    if (!contents.readError.empty())
        m_prompts.ShowMessage(kProgramBoxCaption,
                             "Cannot read the pause points from \"" + m_pointFilePath + "\": " + contents.readError,
                             BoxIcon::Exclamation);
    m_pointsModified = false;
    emit pointsChanged();
    AnnounceSelection();
}

bool PausePoints::WritePausePoints()
{
    if (std::optional<std::string> failure = ReplaceTextFile(m_pointFilePath, PausePointFileText(m_pausePoints))) {
        m_prompts.ShowMessage(kProgramBoxCaption,
                             "Cannot save the pause points in \"" + m_pointFilePath + "\": " + *failure,
                             BoxIcon::Exclamation);
        return false;
    }
    m_pointsModified = false;
    return true;
}

bool PausePoints::OfferToSavePausePoints()
{
    if (!m_pointsModified)
        return true;
    if (m_prompts.AskYesNo(kProgramBoxCaption, kUnsavedPointsQuestion, BoxIcon::None) != BoxAnswer::Yes)
        return true;
    return WritePausePoints();
}

void PausePoints::Add()
{
    m_controls.UpdateData(true);
    double seconds = m_player.GetCurrentPosition() - m_leadIn;
    Append(seconds, FormatFileTime(seconds));
    m_pointsModified = true;
    Select(LastPointIndex());
    emit pointsChanged();
}

void PausePoints::Delete()
{
    int index = Selected();
    if (index < 0)
        return;
    m_pausePoints.erase(m_pausePoints.begin() + index);
    delete m_pointList.takeItem(index); // takeItem hands the item over
    emit pointsChanged();
    if (index <= LastPointIndex()) {
        Select(index);
    } else if (m_pausePoints.empty()) {
        // Deleting the only point leaves nothing to save, and the flag as it was.
        Select(-1);
        return;
    } else {
        Select(LastPointIndex());
    }
    m_pointsModified = true;
}

void PausePoints::Nudge(int direction)
{
    // The step is read from its box first.
    m_controls.UpdateData(true);
    int index = Selected();
    if (index < 0)
        return;
    m_pausePoints[index] += direction * m_pointStep;
    m_pointList.item(index)->setText(QString::fromStdString(FormatFileTime(m_pausePoints[index])));
    Select(index);
    m_pointsModified = true;
    emit pointsChanged();
}

void PausePoints::Earlier()
{
    Nudge(-1);
}

void PausePoints::Later()
{
    Nudge(+1);
}

void PausePoints::Replay()
{
    int index = Selected();
    if (index < 0)
        return;
    // The repeated segment ends here: its end must not end this playback.
    m_segment.EndRepeat();
    m_player.SetCurrentPosition(m_pausePoints[index]);
    m_timers.StartTimer(PointTimer);
    m_player.Play();
}

void PausePoints::Next()
{
    int index = Selected();
    if (index == LastPointIndex())
        return;
    Select(index + 1);
    m_player.SetCurrentPosition(m_pausePoints[index + 1]);
    m_timers.StartTimer(PointTimer);
    m_player.Play();
}

void PausePoints::Save()
{
    std::error_code error;
    if (std::filesystem::exists(m_pointFilePath, error)
        && m_prompts.AskYesNo(kProgramBoxCaption, kReplaceFileQuestion, BoxIcon::None) != BoxAnswer::Yes)
        return;
    if (!WritePausePoints())
        return;
    m_prompts.ShowMessage(m_prompts.AppName(), kPointsSavedText, BoxIcon::None);
    m_pointsModified = false;
}

void PausePoints::CheckSegment()
{
    int index = Selected();
    if (index == LastPointIndex())
        return;
    // With none selected the segment ends at the first point.
    if (m_player.GetCurrentPosition() < m_pausePoints[index + 1])
        return;
    // Only a selected point has a segment to play again.
    if (index >= 0 && LoopsInfinitely()) {
        m_player.SetCurrentPosition(m_pausePoints[index]);
        return;
    }
    m_timers.KillTimer(PointTimer);
    m_player.Stop();
}

void PausePoints::ExchangeSteps(DataExchange& exchange)
{
    exchange.Time(ControlId::LeadIn, m_leadIn);
    exchange.Time(ControlId::PointStep, m_pointStep);
}
