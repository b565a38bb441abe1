// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/sentences/Drill.h"
#include "window/sentences/SentenceFinder.h"

#include <QObject>

class DialogPrompts;
class PausePoints;
class Preferences;
class QAction;
class QWidget;
class SegmentRepeat;
class WaveformView;
class WindowCommands;
class WindowDispatch;

// Working sentence by sentence: the sentences found in the media's sound,
// drawn on the waveform as the pauses between them, and the commands of the
// window's context menu that use them: "Next sentence" (N), "Previous
// sentence" (P), "Snap marks to pauses", "Pause points from sentences" and
// "Drill...", with the shortest pause that splits. A command that needs a
// sentence not found yet waits for it while the sound is being analysed;
// without sound the commands are off. The choices are remembered in the
// preferences.
class SentenceWork : public QObject {
    Q_OBJECT
public:
    // Steps play through `segment`, as Repeat plays, while `repeatButton` is
    // enabled; the pauses are drawn on `waveform`.
    SentenceWork(SentenceFinder& finder, Drill& drill, SegmentRepeat& segment, PausePoints& points,
                 WaveformView& waveform, const QWidget& repeatButton, Preferences& preferences,
                 WindowDispatch& dispatch, DialogPrompts& prompts);
    ~SentenceWork() override;

    // Adds the sentence commands and the shortest pause's submenu.
    void AddCommands(WindowCommands& commands);

    const SentenceFinder& Finder() const { return m_finder; }
    Drill& Drilling() { return m_drill; }

    // The commands.
    void NextSentence();
    void PreviousSentence();
    void PausePointsFromSentences();
    void ChooseDrill();
    // Pauses shorter than this no longer split (remembered).
    void SetShortestPause(double seconds);
    // A sentence follows the segment: NextSentence would play one.
    bool HasNextSentence() const;

private:
    enum class Step { None, Next, Previous };
    // Plays the sentence a step asks for; false when it is not known yet.
    bool TakeStep(Step step);
    void OnSentencesChanged();
    void SetSnapping(bool on);

    SentenceFinder& m_finder;
    Drill& m_drill;
    SegmentRepeat& m_segment;
    PausePoints& m_points;
    WaveformView& m_waveform;
    const QWidget& m_repeatButton;
    Preferences& m_preferences;
    WindowDispatch& m_dispatch;
    DialogPrompts& m_prompts;
    bool m_snapping = false;
    // A step asked for before its sentence was found.
    Step m_waiting = Step::None;
    std::vector<QAction*> m_needSound;
};
