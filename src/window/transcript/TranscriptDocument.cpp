// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/TranscriptDocument.h"

#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"
#include "window/text/TextFile.h"

#include <algorithm>
#include <cmath>

namespace {

const std::vector<TranscriptLine> kNoLines;
const std::string kNoTitle;

} // namespace

std::optional<std::string> TranscriptDocument::Load(const std::string& path)
{
    Clear();
    TranscriptReadResult read = ReadTranscriptFile(path);
    if (!read.transcript)
        return read.error;
    m_transcript = std::move(read.transcript);
    m_path = path;
    m_readVersion = FileIdentity::Of(path);
    return std::nullopt;
}

void TranscriptDocument::Adopt(Transcript transcript, const std::string& savePath, const std::string& label)
{
    Clear();
    m_transcript = std::move(transcript);
    m_path = savePath;
    m_streamLabel = label;
}

void TranscriptDocument::Clear()
{
    m_transcript.reset();
    m_path.clear();
    m_readVersion.reset();
    m_streamLabel.clear();
    m_modified = false;
}

const std::vector<TranscriptLine>& TranscriptDocument::Lines() const
{
    return m_transcript ? m_transcript->lines : kNoLines;
}

const std::string& TranscriptDocument::Title() const
{
    return m_transcript ? m_transcript->title : kNoTitle;
}

std::string TranscriptDocument::ProblemLine() const
{
    if (!m_transcript || m_transcript->problems.empty())
        return {};
    const ReadProblem& first = m_transcript->problems.front();
    std::string line = m_path + ", line " + std::to_string(first.line) + ": " + first.what;
    if (const std::size_t more = m_transcript->problems.size() - 1; more > 0)
        line += " (and " + std::to_string(more) + " more " + (more == 1 ? "line" : "lines") + " not read)";
    return line;
}

std::vector<TimeSpan> TranscriptDocument::Spans(double length) const
{
    std::vector<TimeSpan> spans;
    spans.reserve(Lines().size());
    for (const TranscriptLine& line : Lines()) {
        const double end = std::isfinite(line.end) ? line.end : length;
        spans.push_back({line.start, std::max(line.start, std::min(end, length))});
    }
    return spans;
}

void TranscriptDocument::Shift(double seconds)
{
    if (!m_transcript || m_transcript->lines.empty())
        return;
    // A shift earlier stops where the first line reaches 0.
    seconds = std::max(seconds, -m_transcript->lines.front().start);
    if (seconds == 0)
        return;
    for (TranscriptLine& line : m_transcript->lines) {
        line.start += seconds;
        line.end += seconds;
        for (WordTime& word : line.words)
            word.start += seconds;
    }
    m_modified = true;
}

void TranscriptDocument::SetLineSpan(std::size_t index, double start, double end)
{
    if (!m_transcript || index >= m_transcript->lines.size() || end <= start || start < 0)
        return;
    TranscriptLine& line = m_transcript->lines[index];
    // An LRC line ends where the next begins: the line before that ended at
    // this one's start still does.
    if (m_transcript->format == TranscriptFormat::Lrc && index > 0) {
        TranscriptLine& before = m_transcript->lines[index - 1];
        if (before.end == line.start && before.start < start)
            before.end = start;
    }
    line.start = start;
    line.end = end;
    m_modified = true;
}

bool TranscriptDocument::ChangedOnDisk() const
{
    return m_transcript && !FromStream() && FileIdentity::Of(m_path) != m_readVersion;
}

std::optional<std::string> TranscriptDocument::Save()
{
    if (!m_transcript)
        return std::nullopt;
    if (std::optional<std::string> failure = ReplaceFileBytes(m_path, WriteTranscript(*m_transcript)))
        return m_path + ": " + *failure;
    m_readVersion = FileIdentity::Of(m_path);
    m_streamLabel.clear();
    m_modified = false;
    return std::nullopt;
}
