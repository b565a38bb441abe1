// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <string>
#include <vector>

class BoundControls;
class CMediaplayer1;
class DataExchange;
class DialogPrompts;
class QAbstractButton;
class QListWidget;
class SegmentRepeat;
class WindowTimers;

// The pause points of the current media: marked times kept in a text file
// beside it and shown, entry for entry, in the (hidden) list box. Loads and
// saves the file, offers to save changes before they would be lost, edits,
// replays and steps through the points, and stops playback at the point after
// the selected one. Announces every change of the points and of the
// selection.
class PausePoints : public QObject {
    Q_OBJECT
public:
    // `list` shows the points; `infinitely` is the check box that makes a
    // point's segment loop until stopped.
    PausePoints(CMediaplayer1& player, SegmentRepeat& segment, QListWidget& list, const QAbstractButton& infinitely,
                WindowTimers& timers, BoundControls& controls, DialogPrompts& prompts);

    // The times in list order; entry i of the list shows time i.
    const std::vector<double>& Times() const { return m_pausePoints; }
    // Index of the last point; -1 when there is none.
    int LastPointIndex() const { return static_cast<int>(m_pausePoints.size()) - 1; }
    // The selected entry; -1 when none is.
    int Selected() const;
    const std::string& FilePath() const { return m_pointFilePath; }
    bool IsModified() const { return m_pointsModified; }
    double PointStep() const { return m_pointStep; }
    double LeadIn() const { return m_leadIn; }

    // The nudge step and the lead-in (shown with the next exchange).
    void SetSteps(double pointStep, double leadIn);
    // No points, unmodified, with `filePath` as the file they would be saved in.
    void Clear(const std::string& filePath);

    // The list becomes `times`, in that order, the first selected; the points
    // are then modified and saved by the usual rules.
    void ReplaceAll(const std::vector<double>& times);

    // (Re)fills the list from the pause-point file of the media at `mediaPath`.
    void LoadPausePoints(const std::string& mediaPath);
    // Writes the points to their file. A failure is shown with the system's
    // reason, and the points stay marked modified.
    bool WritePausePoints();
    // Asks whether modified points are to be saved. Returns false only when
    // the user asked for a save that failed.
    bool OfferToSavePausePoints();

    // The commands.
    void Add();
    void Delete();
    void Earlier();
    void Later();
    void Replay();
    void Next();
    void Save();
    // The record and point timers' tick: stops playback at the point after
    // the selected one.
    void CheckSegment();

    // The values bound to the boxes, for the window's data exchange.
    void ExchangeSteps(DataExchange& exchange);

signals:
    void pointsChanged();
    // Another entry (or none, -1) is selected.
    void selectionChanged(int selected);

private:
    // The list and m_pausePoints, kept in step.
    void Append(double seconds, const std::string& entryText);
    void Select(int index); // -1 selects none
    void AnnounceSelection();
    void Nudge(int direction); // -1 earlier, +1 later by the step
    bool LoopsInfinitely() const;

    CMediaplayer1& m_player;
    SegmentRepeat& m_segment;
    QListWidget& m_pointList;
    const QAbstractButton& m_infinitely;
    WindowTimers& m_timers;
    BoundControls& m_controls;
    DialogPrompts& m_prompts;
    std::vector<double> m_pausePoints;
    std::string m_pointFilePath;
    bool m_pointsModified = false;
    double m_leadIn = 0;
    double m_pointStep = 0;
    int m_announcedSelection = -1;
};
