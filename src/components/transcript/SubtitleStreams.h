// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <QObject>
#include <string>
#include <vector>

// A text stream inside a media file (a subtitle track of Matroska or MP4)
// as a transcript.
struct SubtitleStream {
    std::string language;   // the stream's language tag ("en", "zh", ...); empty when it has none
    std::string title;      // the stream's title tag; empty when it has none
    Transcript transcript;  // SRT lines in UTF-8, markup stripped, in time order
};

// What reading a file's text streams gave: every stream in the file's order
// (none when it has none), and why the reading stopped early (which file,
// what the media framework said); empty when it read to the end.
struct SubtitleReading {
    std::string path;
    std::vector<SubtitleStream> streams;
    std::string problem;
};

// Reads the text streams of the media the window loads, in the background,
// without decoding its sound or pictures. Lives on the GUI thread; no
// operation blocks.
class SubtitleStreams : public QObject {
    Q_OBJECT
public:
    // Starts reading the text streams of `path`; the reading of an earlier
    // file stops at once and never reports.
    virtual void Read(const std::string& path) = 0;
    // Stops the reading at once; nothing is reported for it.
    virtual void Cancel() = 0;

signals:
    // The reading of the last file given ended, once per Read.
    void streamsRead(const SubtitleReading& reading);
};
