#pragma once

#include "window/sentences/Drill.h"
#include "window/sentences/SentenceFinder.h"

#include <QObject>

class CRecorderDlg;
class QAction;

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
    explicit SentenceWork(CRecorderDlg& dialog);
    ~SentenceWork() override;

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
    void AddCommands(bool snapping);
    // Plays the sentence a step asks for; false when it is not known yet.
    bool TakeStep(Step step);
    void OnSentencesChanged();
    void SetSnapping(bool on);

    CRecorderDlg& m_dialog;
    SentenceFinder m_finder;
    Drill m_drill;
    // A step asked for before its sentence was found.
    Step m_waiting = Step::None;
    std::vector<QAction*> m_needSound;
};
