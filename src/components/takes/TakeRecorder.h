// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <string>

// Records one take at a time from the default sound input: the learner's
// repetition of a sentence, in the recorder's MP3 format and with its crash
// safety. A take ends by itself once the speaker has spoken and then been
// silent for 0.6 s, or at its longest. It is written under a temporary name
// beside its own and takes its name only once it is complete, so an earlier
// take of that name stays whole until then (also through a crash or a kill).
// Lives on the GUI thread.
class TakeRecorder : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Kept,     // the take is complete under its name
        NoSpeech, // nothing was said: nothing was kept, an earlier take stays
        Failed,   // LastError() says why; an earlier take stays
    };

    // Starts a take into `path` (its folder is made when missing) that lasts
    // at most `longestSeconds`. Blocks until the sound input delivers sound
    // (normally at once, at most 5 s). Returns false, with LastError() saying
    // why, when the take cannot start.
    virtual bool Record(const std::string& path, double longestSeconds) = 0;
    // Ends a running take without keeping it; does nothing otherwise.
    virtual void Cancel() = 0;
    virtual bool IsRecording() const = 0;
    // Why the last take failed (which file, what the system said); empty
    // when it did not.
    virtual std::string LastError() const = 0;

signals:
    // A take ended by itself; announced once per take, not after Cancel.
    void takeEnded(TakeRecorder::Outcome outcome);
};
