// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

// What the program was asked on its command line, read before Qt starts so
// that --help and --version need no display. Qt's own options (-platform
// NAME, -style NAME, ...) are recognised only to be left to Qt, which reads
// the same arguments afterwards.
class CommandLine {
public:
    enum class Request {
        RunWindow,   // start the window (with FileToOpen(), if any)
        ShowHelp,    // --help, -h
        ShowVersion, // --version
        Refuse,      // an unknown option or a second FILE: Error() says which
    };

    CommandLine(int argc, const char* const* argv);

    Request Asked() const { return m_request; }
    // The media file named on the command line (made absolute against the
    // working folder), to be opened in place of the settings' last media;
    // empty when none was named.
    const std::string& FileToOpen() const { return m_fileToOpen; }
    // Why the command line was refused, in one line; empty otherwise.
    const std::string& Error() const { return m_error; }

    // Answers a request that ends in the terminal: the help or the version on
    // out (status 0), a refusal on err (status 2).
    int AnswerInTerminal(std::FILE* out, std::FILE* err) const;

private:
    void Refuse(const std::string& why);

    Request m_request = Request::RunWindow;
    std::string m_fileToOpen;
    std::string m_error;
};
