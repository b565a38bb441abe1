// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <QObject>
#include <string>

// Plays a take to the default sound output, from just before its first sound:
// the silence before the speaker began is skipped. Lives on the GUI thread.
class TakePlayer : public QObject {
    Q_OBJECT
public:
    // Plays the take at `path`, ending one that still plays. Blocks while
    // the file is read (a few milliseconds per second of take). Returns false,
    // with LastError() saying why, when it cannot be played.
    virtual bool Play(const std::string& path) = 0;
    // Plays `stretch` of the take at `path` (in seconds from the file's
    // start), as Play does.
    virtual bool PlayStretch(const std::string& path, const TimeSpan& stretch) = 0;
    // Ends playback at once; does nothing when nothing plays.
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    virtual std::string LastError() const = 0;

signals:
    // Playback reached the take's end, or broke off (LastError() then says why).
    void finished();
};
