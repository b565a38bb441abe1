// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"
#include "components/takes/TakeEngines.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CurrentMedia;
class DialogPrompts;
class MediaSession;
class PlaybackSpeed;
class SegmentRepeat;
class WaveformView;
class WindowCommands;
class WindowDispatch;

// Shadowing: the learner's repetition of each sentence, recorded after the
// drill plays the sentence and played back right after it. A turn records a
// take until the speaker has spoken and been silent for 0.6 s (at most twice
// as long as the sentence was heard, plus 2 s), plays it from its first sound, plays the
// sentence again when asked to, and hands back to the drill. Takes are kept
// beside the media (see TakeNames), one per sentence; "Play my take" (T)
// plays the current segment's, and the waveform marks the sentences that have
// one. A failure ends shadowing with a box that says why and asks whether the
// drill goes on without recording.
class Shadowing : public QObject {
    Q_OBJECT
public:
    enum class Phase { Idle, Recording, PlayingTake, ReplayingSentence };
    // How a turn ended, for the drill.
    enum class TurnEnd { Done, WithoutRecording, Stopped };

    // Plays the sentence again through `segment`; tells when to speak on
    // `waveform`; a command of the user's (`commands`) silences a take.
    Shadowing(TakeEngines engines, SegmentRepeat& segment, const CurrentMedia& media, const MediaSession& opening,
              const PlaybackSpeed& speed, WaveformView& waveform, const WindowCommands& commands,
              WindowDispatch& dispatch, DialogPrompts& prompts);
    ~Shadowing() override;

    Phase CurrentPhase() const { return m_phase; }
    // The sentences of the loaded media that have a take, in media order.
    const std::vector<TimeSpan>& Takes() const { return m_takes; }
    // Where the take of `sentence` of the loaded media is kept.
    std::string TakePath(const TimeSpan& sentence) const;

    // One turn after a play of `sentence`; `done` hears how it ended (not
    // after EndTurn).
    void Turn(const TimeSpan& sentence, bool replaySentence, std::function<void(TurnEnd)> done);
    // Ends a turn where it is: a take being recorded is not kept, one being
    // played stops.
    void EndTurn();
    // The command "Play my take".
    void PlayMyTake();
    // Adds "Play my take" (T).
    void AddCommands(WindowCommands& commands);

signals:
    void phaseChanged(Shadowing::Phase phase);
    // The take of `sentence` at `path` began to play: just recorded
    // (`fresh`), or asked for with "Play my take".
    void takePlaying(const TimeSpan& sentence, const std::string& path, bool fresh);

private:
    void SetPhase(Phase phase);
    void OnTakeEnded(TakeRecorder::Outcome outcome);
    void OnTakePlayed();
    void OnSentencePlayed();
    // Plays the sentence again, or ends the turn.
    void AfterTake();
    void Fail(const std::string& reason);
    void FinishTurn(TurnEnd end);
    // Reads which sentences of the loaded media have takes, and marks them.
    void FindTakes();

    TakeEngines m_engines;
    SegmentRepeat& m_segment;
    const CurrentMedia& m_media;
    const PlaybackSpeed& m_speed;
    WaveformView& m_waveform;
    WindowDispatch& m_dispatch;
    DialogPrompts& m_prompts;
    Phase m_phase = Phase::Idle;
    std::optional<TimeSpan> m_sentence;
    bool m_replaySentence = false;
    std::function<void(TurnEnd)> m_done;
    std::vector<TimeSpan> m_takes;
};
