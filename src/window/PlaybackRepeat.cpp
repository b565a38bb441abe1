#include "window/RecorderDlg.h"

#include "components/player/PlayerFault.h"
#include "window/FaultReport.h"

#include <QAbstractButton>

// Playback and segment repeat: play on from the end of the segment, mark and
// nudge the segment, replay it once, and report player faults. While a segment
// plays (RepeatTimer runs) the player knows its end and ends it on the exact
// sample; the timer's check still decides when the window stops.

namespace {

constexpr int kInfinitelyBox = 1025;
constexpr const char* kMediaErrorText = "Error Media Types";

// Shows both segment times in their boxes.
void ShowSegment(CRecorderDlg& dlg)
{
    dlg.m_startTimeShown = dlg.m_startTime;
    dlg.m_endTimeShown = dlg.m_endTime;
    dlg.UpdateData(false);
}

// While a segment plays, the player ends it where the window will.
void FollowSegmentEnd(CRecorderDlg& dlg)
{
    if (dlg.IsTimerRunning(RepeatTimer))
        dlg.m_player.SetSegmentEnd(dlg.m_endTime);
}

} // namespace

void CRecorderDlg::OnPlay()
{
    GuardedPlayerCall(
        [this] {
            KillTimer(RepeatTimer);
            KillTimer(PointTimer);
            m_player.SetMediaFileName(m_mediaPath);
            m_startTime = m_endTime;
            m_player.SetCurrentPosition(m_startTime);
            m_player.Play();
            m_startTimeShown = m_startTime;
            UpdateData(false);
        },
        FaultReaction::ReportAndDisable, BoxIcon::Stop);
}

void CRecorderDlg::OnPause()
{
    GuardedPlayerCall(
        [this] {
            m_player.Pause();
            m_endTime = m_player.GetCurrentPosition();
            ShowSegment(*this);
            FollowSegmentEnd(*this);
        },
        FaultReaction::ReportAndDisable, BoxIcon::Information);
}

void CRecorderDlg::OnStop()
{
    GuardedPlayerCall(
        [this] {
            m_player.Stop();
            m_endTime = m_player.GetCurrentPosition();
            ShowSegment(*this);
            FollowSegmentEnd(*this);
        },
        FaultReaction::ReportAndDisable, BoxIcon::Information);
}

void CRecorderDlg::OnMarkStart()
{
    GuardedPlayerCall(
        [this] {
            m_startTime = m_player.GetCurrentPosition();
            ShowSegment(*this);
        },
        FaultReaction::Ignore, BoxIcon::None);
}

void CRecorderDlg::OnMarkEnd()
{
    GuardedPlayerCall(
        [this] {
            // The end is taken only when the player could take it too.
            double end = m_player.GetCurrentPosition();
            if (IsTimerRunning(RepeatTimer))
                m_player.SetSegmentEnd(end);
            m_endTime = end;
            ShowSegment(*this);
        },
        FaultReaction::Ignore, BoxIcon::None);
}

// The arrows read the boxes first (the step lives in one of them); whether that
// exchange succeeded is not examined, as a failed box keeps its old value.

void CRecorderDlg::OnStartEarlier()
{
    UpdateData(true);
    m_startTime -= m_timeStep;
    m_startTimeShown = m_startTime;
    UpdateData(false);
}

void CRecorderDlg::OnStartLater()
{
    UpdateData(true);
    double start = m_startTime + m_timeStep;
    if (start > m_endTime) {
        m_endTime += m_timeStep;
        m_endTimeShown = m_endTime;
    }
    m_startTime = start;
    m_startTimeShown = start;
    UpdateData(false);
    FollowSegmentEnd(*this);
}

void CRecorderDlg::OnEndEarlier()
{
    UpdateData(true);
    double end = m_endTime - m_timeStep;
    if (end < m_startTime) {
        m_startTime -= m_timeStep;
        m_startTimeShown = m_startTime;
    }
    m_endTime = end;
    m_endTimeShown = end;
    UpdateData(false);
    FollowSegmentEnd(*this);
}

void CRecorderDlg::OnEndLater()
{
    UpdateData(true);
    m_endTime += m_timeStep;
    m_endTimeShown = m_endTime;
    UpdateData(false);
    FollowSegmentEnd(*this);
}

void CRecorderDlg::OnTakeStartTime()
{
    UpdateData(true);
    m_startTime = m_startTimeShown;
}

void CRecorderDlg::OnTakeEndTime()
{
    UpdateData(true);
    m_endTime = m_endTimeShown;
    FollowSegmentEnd(*this);
}

void CRecorderDlg::OnRepeat()
{
    GuardedPlayerCall(
        [this] {
            KillTimer(PointTimer);
            m_repeatTimerId = StartTimer(RepeatTimer);
            m_player.SetSegmentEnd(m_endTime);
            m_player.SetCurrentPosition(m_startTime);
            m_player.Play();
        },
        FaultReaction::DisableQuietly, BoxIcon::Question);
}

void CRecorderDlg::CheckSegmentEnd()
{
    try {
        if (m_player.GetCurrentPosition() < m_endTime)
            return;
        if (static_cast<QAbstractButton*>(Control(kInfinitelyBox))->isChecked()) {
            m_player.SetCurrentPosition(m_startTime);
            return;
        }
        KillTimer(m_repeatTimerId);
        m_player.SetSegmentEnd(std::nullopt);
        m_player.Stop();
    } catch (const PlayerFault&) {
        // The fault is reported by the dispatch; a timer left running would
        // report it again every tick, a new box over each open one. Taking
        // the end away cannot fault.
        KillTimer(m_repeatTimerId);
        m_player.SetSegmentEnd(std::nullopt);
        throw;
    }
}

void CRecorderDlg::GuardedPlayerCall(const std::function<void()>& steps, FaultReaction reaction, BoxIcon icon)
{
    try {
        steps();
    } catch (const PlayerFault& fault) {
        switch (reaction) {
        case FaultReaction::ReportAndDisable:
            if (ReportException(fault)) {
                ShowMessage(kProgramBoxCaption, kMediaErrorText, icon);
                EnablePlaybackControls(false);
            }
            break;
        case FaultReaction::DisableQuietly:
            KillTimer(m_repeatTimerId);
            m_player.SetSegmentEnd(std::nullopt);
            ShowMessage(kProgramBoxCaption, kMediaErrorText, icon);
            EnablePlaybackControls(false);
            break;
        case FaultReaction::Ignore: break;
        }
    }
}

bool CRecorderDlg::ReportException(const PlayerFault& fault)
{
    // A player fault carries no access information: only a hardware fault
    // would, and those are not caught.
    ShowMessage("Exception", FormatFaultReport(fault.code(), fault.address()), BoxIcon::Exclamation);
    return true;
}
