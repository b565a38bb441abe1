// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"
#include "components/speech/TakeComparison.h"

#include <QObject>
#include <string>

// A take compared with the sentence of the media it repeats, in the
// background: both decoded, the take warped onto the sentence, the melodies
// and the timing set side by side (CompareTake).

struct TakeToCompare {
    std::string mediaPath;
    TimeSpan sentence;     // in the media, in seconds
    std::string takePath;
};

struct ComparedTake {
    TakeToCompare take;
    // Why the files could not be read (which file, what the framework said);
    // empty when they were, and then `comparison` says how they compare.
    std::string problem;
    TakeComparison comparison;
};

// Lives on the GUI thread; no operation blocks. One comparison at a time.
class TakeComparer : public QObject {
    Q_OBJECT
public:
    // Starts comparing; a comparison still running is never reported.
    virtual void Compare(const TakeToCompare& take) = 0;
    // The running comparison is never reported.
    virtual void Cancel() = 0;

signals:
    void compared(const ComparedTake& result);
};
