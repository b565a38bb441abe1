// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/FileIdentity.h"
#include "components/sentences/PauseFinder.h"
#include "components/transcript/Transcript.h"

#include <optional>
#include <string>
#include <vector>

// The transcript the window shows: read from its file, its lines' times
// changed by the user (all shifted together, or one line's edges), and saved
// back only when the user asks, in the file's own format and encoding.
class TranscriptDocument {
public:
    // Reads `path`; on failure the document is empty and the reason (which
    // file, what the system said) comes back.
    std::optional<std::string> Load(const std::string& path);
    // A transcript that is no file (a text stream of the media), named
    // `label`, saved to `savePath`.
    void Adopt(Transcript transcript, const std::string& savePath, const std::string& label);
    // No transcript any more (another media file).
    void Clear();

    bool IsLoaded() const { return m_transcript.has_value(); }
    // The file read, or the file a transcript from a stream is saved to.
    const std::string& Path() const { return m_path; }
    // Adopted from a stream and not saved yet.
    bool FromStream() const { return !m_streamLabel.empty(); }
    const std::string& StreamLabel() const { return m_streamLabel; }
    const std::vector<TranscriptLine>& Lines() const;
    const std::string& Title() const;
    // What of the file could not be read, in one line ("file, line N: what",
    // and how many more); empty when all of it was read.
    std::string ProblemLine() const;

    // The lines as spans of the media, each ending no later than `length`
    // (an LRC file's last line ends with the media).
    std::vector<TimeSpan> Spans(double length) const;

    // Every line `seconds` later (earlier when negative); none before 0.
    void Shift(double seconds);
    // One line's start and end (in an LRC file, the line before that ended
    // at its start ends at its new start).
    void SetLineSpan(std::size_t index, double start, double end);
    bool IsModified() const { return m_modified; }

    // The file was changed by another program since it was read; never for
    // a transcript from a stream.
    bool ChangedOnDisk() const;
    // Writes the lines back to the file (replaced in one step); the reason
    // when it failed, nothing when it worked.
    std::optional<std::string> Save();

private:
    std::optional<Transcript> m_transcript;
    std::string m_path;
    std::optional<FileIdentity> m_readVersion;
    std::string m_streamLabel;
    bool m_modified = false;
};
