// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PlayedSound.h"
#include "support/PrivatePulseSession.h"
#include "support/SpokenCorpus.h"
#include "support/WindowHarness.h"

#include <cstddef>
#include <string>

// The whole program shadowing at a private sound server (see
// PrivatePulseSession): the real window, player, sound profiler and take
// engines, a lesson of two spoken sentences, and a third sentence that stands
// for the learner's repetition: played into the server's sink, whose monitor
// is the default input, as soon as the take records. For the full-stack tests
// and the benchmark. Throws std::runtime_error when the scene cannot be set up.
class ShadowingScene {
public:
    // Makes the sound in `folder`, starts the window and opens the lesson;
    // returns once its sentences have been found. The learner says `said`
    // (another sentence unless told), read as `reading` says.
    ShadowingScene(const std::string& folder, PrivatePulseSession& server, ServerRecording& monitor,
                   const std::string& said = EverydaySentences()[2], const SpokenReading& reading = {});

    // Where the monitor's recording stood when the drill started the sentence,
    // when the turn began, once the take was capturing (seen a few
    // milliseconds late at most) and when its playback started (0: it never
    // did).
    struct Turn {
        std::size_t sentenceMark = 0;
        std::size_t recordingMark = 0;
        std::size_t capturingMark = 0;
        std::size_t playbackMark = 0;
    };
    // Drills the lesson's first sentence once with a take recorded, plays the
    // repetition into the server once the take records, and returns when the
    // drill has ended (at most 20 s).
    Turn DrillTheFirstSentence();

    const SpokenCorpus lesson;
    const SpokenCorpus repetition;
    // Both as the files hold them (44.1 kHz, as the monitor records).
    DecodedSound lessonSound;
    DecodedSound repetitionSound;
    // The lesson's first sentence as the window found it.
    TimeSpan sentence;
    WindowHarness window;

private:
    PrivatePulseSession& m_server;
    ServerRecording& m_monitor;
    std::string m_repetitionPath;
};
