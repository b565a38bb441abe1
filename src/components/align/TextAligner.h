// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <QObject>
#include <optional>
#include <string>
#include <vector>

// A plain text timed against the recording of it, sentence by sentence, in
// the background: the text is split into sentences, spoken by a synthesiser,
// and the synthetic speech warped onto the media's sound.

// A voice of the synthesiser, which also names the language the text is in.
struct AlignVoice {
    std::string id;    // the synthesiser's name for it ("en", "en-us", "zh", "de", ...)
    std::string name;  // as shown to the user ("English", "Chinese (Mandarin)", ...)
};

struct TimedSentence {
    std::string text;              // UTF-8, runs of white space as one space
    bool startsParagraph = false;  // the text had a blank line before it
    TimeSpan span;                 // where it is said in the media, in seconds
};

// Where an alignment stands. Reported as it goes on and once at its end.
struct AlignmentReport {
    std::string mediaPath;
    // The sentences timed so far, in the text's order (all of them at the end).
    std::vector<TimedSentence> sentences;
    std::size_t total = 0;                  // sentences in the text; 0 until it is split
    double fraction = 0;                    // of the whole work, 0 to 1
    std::optional<double> secondsLeft;      // estimated; none until it can be told
    bool finished = false;
    // Why the text could not be aligned (which file, what failed); empty when
    // it could. Set only when finished.
    std::string problem;
};

// Lives on the GUI thread; no operation blocks. One alignment at a time.
class TextAligner : public QObject {
    Q_OBJECT
public:
    // The voices the text may be spoken with; English ("en") among them when
    // the synthesiser has it.
    virtual std::vector<AlignVoice> Voices() const = 0;
    // Starts timing `text` (UTF-8) against the sound of `mediaPath`, spoken
    // with `voiceId`. An alignment still running stops at once and never
    // reports again.
    virtual void Align(const std::string& mediaPath, const std::string& text, const std::string& voiceId) = 0;
    // Stops the running alignment at once; nothing more is reported for it.
    virtual void Cancel() = 0;

signals:
    // Progress of the last alignment started, and its end (`finished`) once.
    void progressed(const AlignmentReport& report);
};
