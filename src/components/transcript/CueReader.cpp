// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/CueReader.h"

#include "components/transcript/ClockTime.h"
#include "components/transcript/TextLines.h"
#include "components/transcript/TranscriptOrder.h"

#include <optional>

namespace {

struct CueTimes {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
};

// The times of a "start --> end [settings]" line, or why there are none.
struct TimingLine {
    std::optional<CueTimes> times;
    std::string problem;
};

TimingLine ReadTimingLine(std::string_view line)
{
    const std::size_t arrow = line.find("-->");
    const std::string_view startText = TrimBlanks(line.substr(0, arrow));
    std::string_view endText = TrimBlanks(line.substr(arrow + 3));
    endText = endText.substr(0, endText.find_first_of(" \t"));
    if (startText.starts_with('-') || endText.starts_with('-'))
        return {std::nullopt, "A negative cue time: the cue is dropped."};
    const std::optional<std::int64_t> start = ParseCueClockMs(startText);
    const std::optional<std::int64_t> end = ParseCueClockMs(endText);
    if (!start || !end)
        return {std::nullopt, "Unreadable cue times: the cue is skipped."};
    return {CueTimes{*start, *end}, {}};
}

bool IsIndexLine(std::string_view line)
{
    return ParseDigits(TrimBlanks(line), 18).has_value();
}

// Reads the lines one after the other; a cue's text goes straight into the
// transcript's last line.
class CueScan {
public:
    CueScan(const CueSyntax& syntax, Transcript& into) : m_syntax(syntax), m_into(into) {}

    void Take(std::string_view line, std::size_t lineNumber)
    {
        if (IsBlankLine(line)) {
            EndBlock();
            return;
        }
        // A block passed over is passed over whole, whatever it holds.
        if (m_state == State::Skipping)
            return;
        if (line.find("-->") != std::string_view::npos && TakeTimingLine(line, lineNumber))
            return;
        if (m_state == State::InCue) {
            AddText(line);
        } else if (m_syntax.isSkippedBlock(line)) {
            m_state = State::Skipping;
        } else if (m_heading != 0) {
            Problem(m_heading, "A block without a '-->' time line is skipped.");
            m_heading = 0;
            m_state = State::Skipping;
        } else {
            m_heading = lineNumber;
        }
    }

    void EndBlock()
    {
        if (m_heading != 0)
            Problem(m_heading, "A block without a '-->' time line is skipped.");
        m_heading = 0;
        m_state = State::BetweenBlocks;
    }

private:
    enum class State { BetweenBlocks, InCue, Skipping };

    // True when the line was taken as a time line; a line in a cue's text
    // whose times cannot be read is left to be text.
    bool TakeTimingLine(std::string_view line, std::size_t lineNumber)
    {
        const TimingLine timing = ReadTimingLine(line);
        if (!timing.times && m_state == State::InCue)
            return false;
        if (m_state == State::InCue && m_lastTextIsIndex)
            m_into.lines.back().text.erase(m_lastTextStart);
        m_heading = 0;
        if (!timing.times) {
            Problem(lineNumber, timing.problem);
            m_state = State::Skipping;
            return true;
        }
        TranscriptLine cue;
        cue.start = SecondsOf(timing.times->startMs);
        cue.end = SecondsOf(timing.times->endMs);
        if (timing.times->endMs < timing.times->startMs) {
            Problem(lineNumber, "The cue ends before it starts: it ends at its start.");
            cue.end = cue.start;
        }
        cue.sourceLine = lineNumber;
        m_into.lines.push_back(std::move(cue));
        m_state = State::InCue;
        m_lastTextIsIndex = false;
        return true;
    }

    void AddText(std::string_view line)
    {
        std::string cleaned = m_syntax.cleanText(line);
        if (IsBlankLine(cleaned))
            return;
        std::string& text = m_into.lines.back().text;
        m_lastTextStart = text.size();
        m_lastTextIsIndex = IsIndexLine(line);
        if (!text.empty())
            text += '\n';
        text += cleaned;
    }

    void Problem(std::size_t line, std::string what) { m_into.problems.push_back({line, std::move(what)}); }

    const CueSyntax& m_syntax;
    Transcript& m_into;
    State m_state = State::BetweenBlocks;
    // The 1-based first line of a block not yet known to be a cue (its index
    // or identifier); 0 when there is none.
    std::size_t m_heading = 0;
    // Where the cue's last text line starts in its text, and whether it is a
    // number (the next cue's index when a time line follows at once).
    std::size_t m_lastTextStart = 0;
    bool m_lastTextIsIndex = false;
};

} // namespace

void ReadCues(const std::vector<std::string_view>& lines, std::size_t first, const CueSyntax& syntax,
              Transcript& into)
{
    CueScan scan(syntax, into);
    for (std::size_t i = first; i < lines.size(); ++i)
        scan.Take(lines[i], i + 1);
    scan.EndBlock();
    SortByStart(into.lines);
    into.lines.shrink_to_fit();
}
