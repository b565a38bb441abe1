// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/segment/SegmentRepeat.h"

#include "components/player/PlayerFault.h"
#include "window/DataExchange.h"
#include "window/BoundControls.h"
#include "window/CMediaplayer1.h"
#include "window/DialogPrompts.h"
#include "window/WindowTimers.h"
#include "window/media/CurrentMedia.h"
#include "window/segment/FaultReport.h"

#include <QAbstractButton>

namespace {

constexpr const char* kMediaErrorText = "Error Media Types";

} // namespace

SegmentRepeat::SegmentRepeat(CMediaplayer1& player, CurrentMedia& media, WindowTimers& timers,
                             BoundControls& controls, DialogPrompts& prompts, const QAbstractButton& infinitely)
    : m_player(player),
      m_media(media),
      m_timers(timers),
      m_controls(controls),
      m_prompts(prompts),
      m_infinitely(infinitely)
{
}

bool SegmentRepeat::IsRepeating() const
{
    return m_timers.IsTimerRunning(RepeatTimer);
}

void SegmentRepeat::SetSegment(double start, double end)
{
    m_startTime = m_startTimeShown = start;
    m_endTime = m_endTimeShown = end;
    m_controls.UpdateData(false);
    FollowSegmentEnd();
    AnnounceChange();
}

void SegmentRepeat::Restore(double start, double end, double step)
{
    m_startTime = m_startTimeShown = start;
    m_endTime = m_endTimeShown = end;
    m_timeStep = step;
    AnnounceChange();
}

void SegmentRepeat::Reset()
{
    m_startTime = m_startTimeShown = 0;
    m_endTime = m_endTimeShown = 0;
    m_controls.UpdateData(false);
    AnnounceChange();
}

void SegmentRepeat::SetSnap(Snap snap)
{
    m_snap = std::move(snap);
}

double SegmentRepeat::Snapped(double position, SegmentEdge edge) const
{
    return m_snap ? m_snap(position, edge) : position;
}

void SegmentRepeat::EndRepeat()
{
    m_timers.KillTimer(RepeatTimer);
    m_player.SetSegmentEnd(std::nullopt);
}

void SegmentRepeat::ShowSegment()
{
    m_startTimeShown = m_startTime;
    m_endTimeShown = m_endTime;
    m_controls.UpdateData(false);
}

void SegmentRepeat::FollowSegmentEnd()
{
    if (IsRepeating())
        m_player.SetSegmentEnd(m_endTime);
}

void SegmentRepeat::AnnounceChange()
{
    if (m_startTime == m_announcedStart && m_endTime == m_announcedEnd)
        return;
    m_announcedStart = m_startTime;
    m_announcedEnd = m_endTime;
    emit segmentChanged(m_startTime, m_endTime);
}

void SegmentRepeat::Play()
{
    GuardedPlayerCall(
        [this] {
            m_timers.KillTimer(RepeatTimer);
            m_timers.KillTimer(PointTimer);
            m_media.Reload();
            m_startTime = m_endTime;
            m_player.SetCurrentPosition(m_startTime);
            m_player.Play();
            m_startTimeShown = m_startTime;
            m_controls.UpdateData(false);
        },
        FaultReaction::ReportAndDisable, BoxIcon::Stop);
    AnnounceChange();
}

void SegmentRepeat::Pause()
{
    HaltAndTakeEnd([this] { m_player.Pause(); });
}

void SegmentRepeat::Stop()
{
    HaltAndTakeEnd([this] { m_player.Stop(); });
}

void SegmentRepeat::HaltAndTakeEnd(const std::function<void()>& halt)
{
    GuardedPlayerCall(
        [&] {
            halt();
            m_endTime = Snapped(m_player.GetCurrentPosition(), SegmentEdge::End);
            ShowSegment();
            FollowSegmentEnd();
        },
        FaultReaction::ReportAndDisable, BoxIcon::Information);
    AnnounceChange();
}

void SegmentRepeat::MarkStart()
{
    GuardedPlayerCall(
        [this] {
            m_startTime = Snapped(m_player.GetCurrentPosition(), SegmentEdge::Start);
            ShowSegment();
        },
        FaultReaction::Ignore, BoxIcon::None);
    AnnounceChange();
}

void SegmentRepeat::MarkEnd()
{
    GuardedPlayerCall(
        [this] {
            // The end is taken only when the player could take it too.
            double end = Snapped(m_player.GetCurrentPosition(), SegmentEdge::End);
            if (IsRepeating())
                m_player.SetSegmentEnd(end);
            m_endTime = end;
            ShowSegment();
        },
        FaultReaction::Ignore, BoxIcon::None);
    AnnounceChange();
}

// The arrows read the boxes first (the step lives in one of them); whether that
// exchange succeeded is not examined, as a failed box keeps its old value.

void SegmentRepeat::StartEarlier()
{
    m_controls.UpdateData(true);
    m_startTime -= m_timeStep;
    m_startTimeShown = m_startTime;
    m_controls.UpdateData(false);
    AnnounceChange();
}

void SegmentRepeat::StartLater()
{
    m_controls.UpdateData(true);
    double start = m_startTime + m_timeStep;
    if (start > m_endTime) {
        m_endTime += m_timeStep;
        m_endTimeShown = m_endTime;
    }
    m_startTime = start;
    m_startTimeShown = start;
    m_controls.UpdateData(false);
    FollowSegmentEnd();
    AnnounceChange();
}

void SegmentRepeat::EndEarlier()
{
    m_controls.UpdateData(true);
    double end = m_endTime - m_timeStep;
    if (end < m_startTime) {
        m_startTime -= m_timeStep;
        m_startTimeShown = m_startTime;
    }
    m_endTime = end;
    m_endTimeShown = end;
    m_controls.UpdateData(false);
    FollowSegmentEnd();
    AnnounceChange();
}

void SegmentRepeat::EndLater()
{
    m_controls.UpdateData(true);
    m_endTime += m_timeStep;
    m_endTimeShown = m_endTime;
    m_controls.UpdateData(false);
    FollowSegmentEnd();
    AnnounceChange();
}

void SegmentRepeat::TakeStartTime()
{
    m_controls.UpdateData(true);
    m_startTime = m_startTimeShown;
    AnnounceChange();
}

void SegmentRepeat::TakeEndTime()
{
    m_controls.UpdateData(true);
    m_endTime = m_endTimeShown;
    FollowSegmentEnd();
    AnnounceChange();
}

void SegmentRepeat::Repeat()
{
    m_playOnce = false;
    GuardedPlayerCall(
        [this] {
            m_timers.KillTimer(PointTimer);
            m_timers.StartTimer(RepeatTimer);
            m_player.SetSegmentEnd(m_endTime);
            m_player.SetCurrentPosition(m_startTime);
            m_player.Play();
            emit repeatStarted();
        },
        FaultReaction::DisableQuietly, BoxIcon::Question);
}

void SegmentRepeat::RepeatOnce()
{
    Repeat();
    m_playOnce = true;
}

void SegmentRepeat::CheckSegmentEnd()
{
    try {
        if (m_player.GetCurrentPosition() < m_endTime)
            return;
        if (!m_playOnce && m_infinitely.isChecked()) {
            m_player.SetCurrentPosition(m_startTime);
            return;
        }
        EndRepeat();
        m_player.Stop();
        emit segmentPlayed();
    } catch (const PlayerFault&) {
        // The fault is reported by the dispatch; a timer left running would
        // report it again every tick, a new box over each open one. Taking
        // the end away cannot fault.
        EndRepeat();
        throw;
    }
}

void SegmentRepeat::ExchangeShownTimes(DataExchange& exchange)
{
    exchange.Time(ControlId::StartTime, m_startTimeShown);
    exchange.Time(ControlId::EndTime, m_endTimeShown);
}

void SegmentRepeat::ExchangeStep(DataExchange& exchange)
{
    exchange.Time(ControlId::TimeStep, m_timeStep);
}

void SegmentRepeat::GuardedPlayerCall(const std::function<void()>& steps, FaultReaction reaction, BoxIcon icon)
{
    try {
        steps();
    } catch (const PlayerFault& fault) {
        switch (reaction) {
        case FaultReaction::ReportAndDisable:
            if (ReportException(fault)) {
                m_prompts.ShowMessage(kProgramBoxCaption, kMediaErrorText, icon);
                m_controls.EnablePlaybackControls(false);
            }
            break;
        case FaultReaction::DisableQuietly:
            EndRepeat();
            m_prompts.ShowMessage(kProgramBoxCaption, kMediaErrorText, icon);
            m_controls.EnablePlaybackControls(false);
            break;
        case FaultReaction::Ignore: break;
        }
    }
}

bool SegmentRepeat::ReportException(const PlayerFault& fault)
{
    // A player fault carries no access information: only a hardware fault
    // would, and those are not caught.
    m_prompts.ShowMessage("Exception", FormatFaultReport(fault.code(), fault.address()), BoxIcon::Exclamation);
    return true;
}
