// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Reads a text file as the program's text files are read: CR LF comes back as
// one LF, every other byte as it is, in pieces that end after a line end or at
// a length limit, whichever comes first.
class TextFileReader {
public:
    explicit TextFileReader(const std::string& path);

    // False when the file is missing, unreadable, or not a regular file (a
    // folder, a named pipe, a device); such a file is never read from.
    bool IsOpen() const { return m_file != nullptr; }

    // The next piece of at most `maxChars` characters, ending after the first
    // LF within that length. Nothing at the end of the file or on a read error.
    std::optional<std::string> ReadPiece(std::size_t maxChars);

    // The rest of the current line without its line end (the whole of it,
    // however long). Nothing at the end of the file or on a read error.
    std::optional<std::string> ReadLine();

    // Why the file did not open or the last read gave nothing: the system's
    // reason, or empty at a plain end of file.
    const std::string& Error() const { return m_error; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    // The next character with CR LF read as LF; EOF at the end or on an error.
    int NextChar();
    // Ends a read: the piece when it holds anything and no error came.
    std::optional<std::string> Finish(std::string piece);

    std::unique_ptr<std::FILE, Closer> m_file;
    std::string m_error;
};

// Writes `text` to `path` with every LF written as CR LF. The file is replaced
// in one step (a temporary file beside it, flushed to disk, then renamed over
// it), so a crash or a full disk leaves either the old file or the new one,
// never a part; what an earlier write killed half-way left beside it is
// removed first. An existing file keeps its permissions; a symbolic link keeps
// pointing at the file it names. A file that can be written in a folder that
// takes no new file is written over in place (whole, then cut to length and
// forced to the disk). Returns the system's reason when the write failed (the
// old file is then untouched), nothing when it succeeded.
std::optional<std::string> ReplaceTextFile(const std::string& path, std::string_view text);

// Writes `bytes` to `path` exactly as they are (a file in an encoding and
// with line ends of its own, such as a transcript), replaced in one step as
// ReplaceTextFile replaces it. Returns the system's reason when the write
// failed, nothing when it succeeded.
std::optional<std::string> ReplaceFileBytes(const std::string& path, std::string_view bytes);
