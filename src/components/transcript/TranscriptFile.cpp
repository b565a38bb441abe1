// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/TranscriptFile.h"

#include "components/FileDescriptor.h"
#include "components/transcript/LrcReader.h"
#include "components/transcript/TextEncoding.h"
#include "components/transcript/TextLines.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many lines FormatOfText looks at before it gives up.
constexpr std::size_t kLinesToRecognise = 64;

struct Extension {
    std::string_view name;
    TranscriptFormat format;
};
constexpr Extension kExtensions[] = {
    {".lrc", TranscriptFormat::Lrc},
    {".srt", TranscriptFormat::Srt},
    {".vtt", TranscriptFormat::WebVtt},
};

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

TranscriptReadResult Failure(const std::string& path, const std::string& what)
{
    return {std::nullopt, path + ": " + what};
}

bool StartsWithLrcTimeTag(std::string_view line)
{
    const std::size_t close = line.find(']');
    return line.starts_with('[') && close != std::string_view::npos
           && ParseLrcClockMs(line.substr(1, close - 1)).has_value();
}

} // namespace

std::optional<TranscriptFormat> FormatOfExtension(const std::string& path)
{
    const std::string extension = LowerCase(std::filesystem::path(path).extension().string());
    for (const Extension& known : kExtensions)
        if (extension == known.name)
            return known.format;
    return std::nullopt;
}

std::optional<TranscriptFormat> FormatOfText(std::string_view utf8)
{
    const std::vector<std::string_view> lines = SplitLines(utf8.substr(0, utf8.find('\0')));
    const std::size_t count = std::min(lines.size(), kLinesToRecognise);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (line.starts_with("WEBVTT"))
            return TranscriptFormat::WebVtt;
        if (line.find("-->") != std::string_view::npos)
            return TranscriptFormat::Srt;
        if (StartsWithLrcTimeTag(line))
            return TranscriptFormat::Lrc;
    }
    return std::nullopt;
}

std::optional<Transcript> ReadTranscriptBytes(std::string_view bytes, std::optional<TranscriptFormat> format)
{
    DecodedText decoded = DecodeText(bytes);
    if (!format)
        format = FormatOfText(decoded.utf8);
    if (!format)
        return std::nullopt;
    Transcript transcript = ReadTranscriptText(decoded.utf8, *format);
    transcript.encoding = std::move(decoded.encoding);
    for (std::size_t line : decoded.badLines)
        transcript.problems.push_back({line, "Bytes that are not " + transcript.encoding + " text are shown as \xEF\xBF\xBD."});
    std::stable_sort(transcript.problems.begin(), transcript.problems.end(),
                     [](const ReadProblem& a, const ReadProblem& b) { return a.line < b.line; });
    return transcript;
}

FileBytesResult ReadSmallFile(const std::string& path, std::uint64_t limit)
{
    const auto failure = [&path](const std::string& what) { return FileBytesResult{std::nullopt, path + ": " + what}; };
    // Non-blocking, so that a named pipe with no writer cannot hold the open;
    // the type is checked on the descriptor that is read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.IsOpen())
        return failure(std::strerror(errno));
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return failure(std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return failure(S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    if (static_cast<std::uint64_t>(info.st_size) > limit)
        return failure("the file is " + std::to_string(info.st_size) + " bytes, more than the "
                       + std::to_string(limit) + "-byte limit");
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(std::strerror(errno));
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        // A file that grows while it is read is held to the same limit.
        if (bytes.size() > limit)
            return failure("the file grew past the " + std::to_string(limit) + "-byte limit while it was read");
    }
    return {std::move(bytes), {}};
}

TranscriptReadResult ReadTranscriptFile(const std::string& path)
{
    FileBytesResult read = ReadSmallFile(path, kLargestTranscriptFile);
    if (!read.bytes)
        return {std::nullopt, read.error};
    std::optional<Transcript> transcript = ReadTranscriptBytes(*read.bytes, FormatOfExtension(path));
    if (!transcript)
        return Failure(path, "not a transcript: no LRC time tag, SRT time line or WEBVTT header");
    return {std::move(transcript), {}};
}

std::optional<std::string> FindTranscriptBeside(const std::string& mediaPath)
{
    const std::filesystem::path media(mediaPath);
    const std::filesystem::path folder = media.parent_path().empty() ? "." : media.parent_path();
    const std::string stem = media.stem().string();
    // The names in the folder that match, by extension; the lower-case one
    // first, otherwise the first in name order, so that the choice is the
    // same every time.
    std::optional<std::string> found[std::size(kExtensions)];
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() != stem.size() + 4 || name.compare(0, stem.size(), stem) != 0)
            continue;
        const std::string extension = name.substr(stem.size());
        for (std::size_t i = 0; i < std::size(kExtensions); ++i) {
            if (LowerCase(extension) != kExtensions[i].name)
                continue;
            std::error_code typeError;
            if (!entry->is_regular_file(typeError))
                continue;
            const std::string path = (media.parent_path() / name).string();
            if (!found[i] || extension == kExtensions[i].name
                || (std::filesystem::path(*found[i]).extension() != kExtensions[i].name && path < *found[i]))
                found[i] = path;
        }
    }
    for (const std::optional<std::string>& path : found)
        if (path)
            return path;
    return std::nullopt;
}
