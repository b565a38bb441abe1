// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>
#include <vector>

class MediaProfile;

// The sentences of the window's media, found in its sound profile as the
// profile grows: found again each time it has grown (no more often than the
// finding itself lets the window stay responsive), and once more when it is
// complete. Announces each new finding. Sentences may also be given (the
// lines of a transcript): they then take the found ones' place, while the
// sound's pauses go on being found.
class SentenceFinder : public QObject {
    Q_OBJECT
public:
    enum class State {
        NoSound, // no media, or sound that cannot be analysed
        Finding, // the profile grows: the sentences so far are known
        Found,   // the whole sound has been looked at
    };

    explicit SentenceFinder(const MediaProfile& profile);

    State Progress() const { return m_state; }
    const SentenceMap& Map() const { return m_map; }
    const std::vector<TimeSpan>& Sentences() const { return m_given ? *m_given : m_map.sentences; }
    // The sentences are these instead of the found ones; nothing: the found
    // ones again. Announced when they differ from those before.
    void SetGivenSentences(std::optional<std::vector<TimeSpan>> sentences);

    // Sound shorter than this is no sentence.
    double ShortestSentence() const { return m_settings.shortestSentence; }

    // Pauses shorter than this do not split (from 0.15 to 1.2 s).
    double ShortestPause() const { return m_settings.shortestPause; }
    void SetShortestPause(double seconds);

signals:
    void sentencesChanged();
    // The sound's map (its sounds, pauses and silences) was found anew;
    // announced before the sentencesChanged of the same finding.
    void mapChanged();

private:
    void OnProfileChanged();
    void Find();

    const MediaProfile& m_profile;
    PauseFinderSettings m_settings;
    State m_state = State::NoSound;
    SentenceMap m_map;
    std::optional<std::vector<TimeSpan>> m_given;
    // A finding waits so that finding takes at most a fifth of the time.
    QTimer m_next;
    QElapsedTimer m_sinceLast;
    qint64 m_lastCostMs = 0;
};
