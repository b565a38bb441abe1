// SPDX-License-Identifier: GPL-3.0-or-later
// The pause-point file reader on any bytes, and the text-file writer on the
// same bytes taken as text.

#include "FuzzInputFile.h"
#include "support/ScratchFolder.h"
#include "window/text/NumberText.h"
#include "window/pausepoints/PausePointText.h"
#include "window/text/TextFile.h"

#include <limits>

namespace {

// What the reader must give back: the bytes with each CR LF read as one LF.
std::string AsRead(std::string_view bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

void CheckReading(const FuzzInputFile& file, std::string_view bytes)
{
    const PausePointFileContents contents = ReadPausePointFile(file.Path());
    FUZZ_CHECK(contents.opened);
    FUZZ_CHECK(contents.readError.empty());

    // Every byte lands in exactly one entry, in order; an entry ends after
    // its line end, at the length limit or at the end of the file.
    std::string joined;
    for (std::size_t i = 0; i < contents.entries.size(); ++i) {
        const std::string& text = contents.entries[i].text;
        FUZZ_CHECK(!text.empty() && text.size() <= kPausePointPieceLength);
        const std::size_t lineEnd = text.find('\n');
        FUZZ_CHECK(lineEnd == std::string::npos || lineEnd + 1 == text.size());
        const bool last = i + 1 == contents.entries.size();
        FUZZ_CHECK(last || lineEnd != std::string::npos || text.size() == kPausePointPieceLength);
        joined += text;
    }
    FUZZ_CHECK(joined == AsRead(bytes));
}

// Written and read back, the times keep their "%f" text, as long as that text
// fits one entry (a time of 1e72 seconds and more does not).
void CheckWritingTimes(const std::string& path, const PausePointFileContents& read)
{
    std::vector<double> times;
    for (const PausePointEntry& entry : read.entries)
        if (FormatFileTime(entry.seconds).size() < kPausePointPieceLength)
            times.push_back(entry.seconds);
    FUZZ_CHECK(!ReplaceTextFile(path, PausePointFileText(times)));
    const PausePointFileContents again = ReadPausePointFile(path);
    FUZZ_CHECK(again.entries.size() == times.size());
    for (std::size_t i = 0; i < times.size(); ++i)
        FUZZ_CHECK(FormatFileTime(again.entries[i].seconds) == FormatFileTime(times[i]));
}

// Any text written is read back byte for byte.
void CheckWritingText(const std::string& path, std::string_view text)
{
    FUZZ_CHECK(!ReplaceTextFile(path, text));
    TextFileReader reader(path);
    FUZZ_CHECK(reader.IsOpen());
    std::string back;
    while (std::optional<std::string> piece = reader.ReadPiece(std::numeric_limits<std::size_t>::max()))
        back += *piece;
    FUZZ_CHECK(reader.Error().empty());
    FUZZ_CHECK(back == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile file;
    static ScratchFolder folder;
    static const std::string written = folder.PathOf("points.txt");

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    file.Hold(bytes);
    CheckReading(file, bytes);
    CheckWritingTimes(written, ReadPausePointFile(file.Path()));
    CheckWritingText(written, bytes);
    return 0;
}
