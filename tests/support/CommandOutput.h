// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

// Other programs run by the shell for test material (a synthesiser, a
// recogniser), and what they print.

// `text` as one word of a shell command, whatever it holds.
inline std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What `command` prints on its standard output. Throws when it cannot be started.
inline std::string CommandOutput(const std::string& command)
{
    struct PipeCloser {
        void operator()(std::FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string printed;
    char buffer[65536];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        printed.append(buffer, read);
    return printed;
}
