// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/LrcReader.h"

#include "components/transcript/ClockTime.h"
#include "components/transcript/TextLines.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

// A word tag is "<" and at most this many characters more ("<1234567:59.999>").
constexpr std::size_t kLongestWordTag = 16;

// One time tag's line before lines at equal times are paired.
struct LrcEntry {
    std::int64_t startMs = 0;
    std::string text;
    std::vector<std::pair<std::int64_t, std::size_t>> words; // ms, byte offset
    std::size_t sourceLine = 0;
};

// An ID tag's name: a letter, then letters, digits or '_'.
bool IsTagName(std::string_view name)
{
    if (name.empty() || name.size() > 32 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// "+500", "-250", "500": milliseconds.
std::optional<std::int64_t> ParseOffsetMs(std::string_view text)
{
    text = TrimBlanks(text);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    const std::optional<std::int64_t> value = ParseDigits(text, 12);
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
}

std::string TagValue(const std::vector<std::pair<std::string, std::string>>& tags, std::string_view name)
{
    for (const auto& [tagName, value] : tags)
        if (tagName == name)
            return value;
    return {};
}

std::string TitleOf(const std::vector<std::pair<std::string, std::string>>& tags)
{
    std::string title;
    for (std::string_view name : {"ti", "ar", "al"}) {
        const std::string value = TagValue(tags, name);
        if (value.empty())
            continue;
        if (!title.empty())
            title += " - ";
        title += value;
    }
    return title;
}

class LrcScan {
public:
    void Take(std::string_view rawLine, std::size_t lineNumber)
    {
        std::string_view line = TrimBlanks(rawLine);
        if (line.empty())
            return;
        if (!line.starts_with('[')) {
            Problem(lineNumber, "No time tag: the line is skipped.");
            return;
        }
        std::vector<std::int64_t> times;
        bool droppedTime = false;
        while (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos)
                break;
            const std::string_view inner = line.substr(1, close - 1);
            if (inner.starts_with('-') && ParseLrcClockMs(inner.substr(1))) {
                Problem(lineNumber, "A negative time tag is dropped.");
                droppedTime = true;
            } else if (const std::optional<std::int64_t> time = ParseLrcClockMs(inner)) {
                times.push_back(*time);
            } else {
                break;
            }
            line = TrimBlanks(line.substr(close + 1));
        }
        if (times.empty()) {
            if (!droppedTime)
                TakeIdTag(line, lineNumber);
            return;
        }
        LrcEntry entry = ReadText(line);
        entry.sourceLine = lineNumber;
        const std::int64_t firstTime = times.front();
        for (std::int64_t time : times) {
            LrcEntry repeat = entry;
            repeat.startMs = time;
            for (auto& word : repeat.words)
                word.first = std::max<std::int64_t>(0, word.first + time - firstTime);
            m_entries.push_back(std::move(repeat));
        }
    }

    Transcript Finish()
    {
        Transcript transcript;
        transcript.format = TranscriptFormat::Lrc;
        ApplyOffset();
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const LrcEntry& a, const LrcEntry& b) { return a.startMs < b.startMs; });
        PairIntoLines(transcript.lines);
        transcript.title = TitleOf(m_tags);
        transcript.tags = std::move(m_tags);
        transcript.problems = std::move(m_problems);
        return transcript;
    }

private:
    // A line that starts with no time tag: an ID tag, or a problem.
    void TakeIdTag(std::string_view line, std::size_t lineNumber)
    {
        const std::size_t close = line.rfind(']');
        const std::size_t colon = line.find(':');
        if (close == std::string_view::npos || colon == std::string_view::npos || colon > close
            || !IsTagName(line.substr(1, colon - 1))) {
            Problem(lineNumber, close == std::string_view::npos ? "A '[' without its ']': the line is skipped."
                                                                : "Unreadable time tag: the line is skipped.");
            return;
        }
        std::string name(line.substr(1, colon - 1));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        const std::string_view value = TrimBlanks(line.substr(colon + 1, close - colon - 1));
        if (name != "offset") {
            m_tags.emplace_back(std::move(name), std::string(value));
            return;
        }
        if (const std::optional<std::int64_t> offset = ParseOffsetMs(value)) {
            m_offsetMs = *offset;
            m_offsetLine = lineNumber;
        } else {
            Problem(lineNumber, "Unreadable [offset:]: it is ignored.");
        }
    }

    // The text after the time tags, its <mm:ss.xx> word times taken out.
    static LrcEntry ReadText(std::string_view line)
    {
        LrcEntry entry;
        entry.text.reserve(line.size());
        // The '>' after the last '<' seen, found once for all the '<' before it.
        std::size_t close = 0;
        bool closerAhead = true;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '<' && closerAhead) {
                if (close <= i)
                    close = line.find('>', i);
                closerAhead = close != std::string_view::npos;
                if (closerAhead && close - i <= kLongestWordTag) {
                    if (const std::optional<std::int64_t> time = ParseLrcClockMs(line.substr(i + 1, close - i - 1))) {
                        entry.words.emplace_back(*time, entry.text.size());
                        i = close;
                        continue;
                    }
                }
            }
            entry.text += line[i];
        }
        const std::string_view trimmed = TrimBlanks(entry.text);
        const std::size_t lead = trimmed.empty() ? entry.text.size() : trimmed.data() - entry.text.data();
        entry.text = std::string(trimmed);
        for (auto& word : entry.words)
            word.second = std::min(word.second - std::min(word.second, lead), entry.text.size());
        return entry;
    }

    // A positive offset makes the lines come earlier; none starts before 0.
    void ApplyOffset()
    {
        if (m_offsetMs == 0)
            return;
        std::size_t clamped = 0;
        for (LrcEntry& entry : m_entries) {
            if (entry.startMs < m_offsetMs)
                ++clamped;
            entry.startMs = std::max<std::int64_t>(0, entry.startMs - m_offsetMs);
            for (auto& word : entry.words)
                word.first = std::max<std::int64_t>(0, word.first - m_offsetMs);
        }
        if (clamped > 0)
            Problem(m_offsetLine, "The offset moves " + std::to_string(clamped)
                                      + " time tags before the start: they start at 0.");
    }

    // Entries in time order to lines: a second text at a line's time is its
    // translation, an empty one ends the line before it.
    void PairIntoLines(std::vector<TranscriptLine>& lines)
    {
        lines.reserve(m_entries.size());
        bool lastIsOpen = false;
        std::int64_t lastStartMs = -1;
        for (LrcEntry& entry : m_entries) {
            const double start = SecondsOf(entry.startMs);
            if (entry.text.empty()) {
                if (lastIsOpen)
                    lines.back().end = start;
                lastIsOpen = false;
                continue;
            }
            if (lastIsOpen && entry.startMs == lastStartMs && lines.back().translation.empty()) {
                lines.back().translation = std::move(entry.text);
                continue;
            }
            if (lastIsOpen)
                lines.back().end = start;
            TranscriptLine line;
            line.start = start;
            line.end = std::numeric_limits<double>::infinity();
            line.text = std::move(entry.text);
            line.sourceLine = entry.sourceLine;
            line.words.reserve(entry.words.size());
            for (const auto& [ms, offset] : entry.words)
                line.words.push_back({SecondsOf(ms), offset});
            lines.push_back(std::move(line));
            lastIsOpen = true;
            lastStartMs = entry.startMs;
        }
        // Translations and end tags took entries but no line: the room
        // reserved for them is given back.
        lines.shrink_to_fit();
    }

    void Problem(std::size_t line, std::string what) { m_problems.push_back({line, std::move(what)}); }

    std::vector<LrcEntry> m_entries;
    std::vector<std::pair<std::string, std::string>> m_tags;
    std::vector<ReadProblem> m_problems;
    std::int64_t m_offsetMs = 0;
    std::size_t m_offsetLine = 0;
};

} // namespace

std::optional<std::int64_t> ParseLrcClockMs(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::int64_t> minutes = ParseDigits(text.substr(0, colon), 7);
    const std::string_view rest = text.substr(colon + 1);
    const std::size_t point = rest.find_first_of(".:");
    const std::optional<std::int64_t> seconds = ParseDigits(rest.substr(0, point), 2);
    if (!minutes || !seconds || *seconds > 59)
        return std::nullopt;
    std::int64_t fractionMs = 0;
    if (point != std::string_view::npos) {
        const std::optional<std::int64_t> fraction = ParseFractionMs(rest.substr(point + 1));
        if (!fraction)
            return std::nullopt;
        fractionMs = *fraction;
    }
    return (*minutes * 60 + *seconds) * 1000 + fractionMs;
}

Transcript ReadLrc(const std::vector<std::string_view>& lines)
{
    LrcScan scan;
    for (std::size_t i = 0; i < lines.size(); ++i)
        scan.Take(lines[i], i + 1);
    return scan.Finish();
}
