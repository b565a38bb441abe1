// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class BoundControls;
class CMediaplayer1;
class CurrentMedia;
class DataExchange;
class DialogPrompts;
class PlayerFault;
class QAbstractButton;
class WindowTimers;
enum class BoxIcon;

// The segment of the media that the user repeats: its start and end, the
// copies of them shown in the two time boxes, the arrows' step, and the
// playback commands that play on, mark, nudge and repeat it. While a segment
// plays (the repeat timer runs), the player knows its end and ends it on the
// exact sample; the timer's check decides when the window stops. Announces
// every change of the start or the end.
class SegmentRepeat : public QObject {
    Q_OBJECT
public:
    enum class SegmentEdge { Start, End };
    // Where a mark taken from the playback position lands instead of the
    // position itself (marks snapped to the sentences), for the given edge.
    using Snap = std::function<double(double position, SegmentEdge edge)>;

    // `infinitely` is the check box that makes a repeat loop until stopped.
    SegmentRepeat(CMediaplayer1& player, CurrentMedia& media, WindowTimers& timers, BoundControls& controls,
                  DialogPrompts& prompts, const QAbstractButton& infinitely);

    double Start() const { return m_startTime; }
    double End() const { return m_endTime; }
    double Step() const { return m_timeStep; }
    // A repeat plays the segment (its timer runs).
    bool IsRepeating() const;

    // The segment becomes start..end, shown in the boxes, as if the two times
    // had been typed there; a running repeat follows the new end.
    void SetSegment(double start, double end);
    // Takes the remembered segment and step (shown with the next exchange).
    void Restore(double start, double end, double step);
    // A fresh segment 0..0 for newly opened media, shown at once.
    void Reset();
    // Pause, Stop and the two mark buttons take their time through `snap`;
    // none takes the position as it is.
    void SetSnap(Snap snap);
    // Ends a running repeat: its timer stops and the player's end goes.
    void EndRepeat();

    // The commands.
    void Play();
    void Pause();
    void Stop();
    void MarkStart();
    void MarkEnd();
    void StartEarlier();
    void StartLater();
    void EndEarlier();
    void EndLater();
    void TakeStartTime();
    void TakeEndTime();
    void Repeat();
    // Repeat that plays the segment once, also when Infinitely is checked
    // (a drill counts its plays itself).
    void RepeatOnce();
    // The repeat timer's tick: stops playback once the end is reached.
    void CheckSegmentEnd();

    // The values bound to the boxes, for the window's data exchange.
    void ExchangeShownTimes(DataExchange& exchange);
    void ExchangeStep(DataExchange& exchange);

signals:
    void segmentChanged(double start, double end);
    // Repeat started the segment (also while playback ran on).
    void repeatStarted();
    // A repeat played the segment to its end and stopped there.
    void segmentPlayed();

private:
    enum class FaultReaction { ReportAndDisable, DisableQuietly, Ignore };
    // Runs `steps`; on a player fault skips the rest and runs `reaction`.
    void GuardedPlayerCall(const std::function<void()>& steps, FaultReaction reaction, BoxIcon icon);
    // Shows the details of a player fault; returns whether the reaction runs.
    bool ReportException(const PlayerFault& fault);

    // Pause and Stop: halts the player and makes where it halted the end.
    void HaltAndTakeEnd(const std::function<void()>& halt);
    // Shows both times in their boxes.
    void ShowSegment();
    // While a segment plays, the player ends it where the window will.
    void FollowSegmentEnd();
    double Snapped(double position, SegmentEdge edge) const;
    // Announces the segment when it changed since it was last announced.
    void AnnounceChange();

    CMediaplayer1& m_player;
    CurrentMedia& m_media;
    WindowTimers& m_timers;
    BoundControls& m_controls;
    DialogPrompts& m_prompts;
    const QAbstractButton& m_infinitely;
    Snap m_snap;
    double m_startTime = 0;
    double m_endTime = 0;
    bool m_playOnce = false;
    double m_startTimeShown = 0;
    double m_endTimeShown = 0;
    double m_timeStep = 0;
    double m_announcedStart = 0;
    double m_announcedEnd = 0;
};
