// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"
#include "window/sentences/DrillSettings.h"

#include <QObject>
#include <QTimer>
#include <optional>

class PlaybackSpeed;
class QWidget;
class SegmentRepeat;
class SentenceFinder;
class Shadowing;
class WindowCommands;
class WindowDispatch;

// Plays sentence after sentence hands-free: from the current segment on,
// each sentence the set number of times with a pause after each play to
// speak along, then the next, to the end of the media. Each play is Repeat's,
// so it ends on the sentence's exact end; the next one starts when the play
// and its pause have passed, timed from the start of the play. Any command,
// button or key of the user stops it where it is. With takes recorded, each
// play is followed by a turn of shadowing once the sentence has played to
// its end, and the drill goes on when the turn is over.
class Drill : public QObject {
    Q_OBJECT
public:
    // Plays through `segment` at `speed`; takes turns of `shadowing`; any
    // command (`commands`) or input in `window` stops it.
    Drill(SegmentRepeat& segment, const SentenceFinder& finder, Shadowing& shadowing, const PlaybackSpeed& speed,
          const WindowCommands& commands, WindowDispatch& dispatch, const QWidget& window);
    ~Drill() override;

    bool IsRunning() const { return m_item.has_value(); }
    void Start(const DrillSettings& settings);
    void Stop();

signals:
    void runningChanged(bool running);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Plays the current sentence once and times the step after it.
    void Play();
    // The play and its pause are over: again, the next sentence, or the end.
    void Step();
    // The sentence has played: the learner's turn (with takes recorded).
    void OnSentencePlayed();
    bool IsUserInput(QObject* watched, QEvent* event) const;
    bool HoldsASentence(const TimeSpan& span) const;

    SegmentRepeat& m_segment;
    const SentenceFinder& m_finder;
    Shadowing& m_shadowing;
    const PlaybackSpeed& m_speed;
    WindowDispatch& m_dispatch;
    const QWidget& m_window;
    DrillSettings m_settings;
    std::optional<TimeSpan> m_item;
    int m_plays = 0;
    // A play whose end starts a turn of shadowing is running.
    bool m_awaitingTurn = false;
    QTimer m_step;
};
