// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace {

constexpr const char* kProgram = "ardeno-recorder";

// Qt's options, taken with one dash or two. Those that take a value take the
// next argument, unless it is given as -name=value.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "display", "name",
    "session", "style", "stylesheet",
};
constexpr std::array<std::string_view, 7> kQtFlags = {
    "reverse", "nograb", "dograb", "sync", "widgetcount", "testability", "qmljsdebugger",
};

bool Contains(const auto& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr const char* kHelp =
    "Usage: ardeno-recorder [OPTION]... [FILE]\n"
    "Repeat reading and recording: plays a media file, replays a marked segment of it\n"
    "as often as needed, and records the default sound input into an MP3 file.\n"
    "\n"
    "FILE is a media file to open (mp3, wav, MPEG-1 .mpg, Video CD .dat, or anything\n"
    "GStreamer plays); without it the last media file of the settings is opened.\n"
    "A FILE whose name starts with a dash follows --.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Qt's own options, such as -platform NAME or -style NAME, are passed to Qt.\n"
    "The keys, and the files the program reads and writes, are described in\n"
    "ardeno-recorder(1).\n";

} // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
{
    bool optionsEnded = false;
    for (int index = 1; index < argc && m_request == Request::RunWindow; ++index) {
        const std::string_view argument = argv[index];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (!m_fileToOpen.empty())
                Refuse("one FILE at most, but '" + m_fileToOpen + "' and '" + std::string(argument) +
                       "' were given");
            else
                m_fileToOpen = std::filesystem::absolute(std::filesystem::path(argument)).lexically_normal().string();
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            m_request = Request::ShowHelp;
        } else if (argument == "--version") {
            m_request = Request::ShowVersion;
        } else {
            std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
            const auto equals = name.find('=');
            const bool valueAttached = equals != std::string_view::npos;
            name = name.substr(0, equals);
            if (Contains(kQtOptionsWithValue, name)) {
                if (!valueAttached)
                    ++index;
            } else if (!Contains(kQtFlags, name)) {
                Refuse("unknown option '" + std::string(argument) + "'");
            }
        }
    }
}

void CommandLine::Refuse(const std::string& why)
{
    m_request = Request::Refuse;
    m_error = why;
}

int CommandLine::AnswerInTerminal(std::FILE* out, std::FILE* err) const
{
    switch (m_request) {
    case Request::ShowHelp:
        std::fputs(kHelp, out);
        return 0;
    case Request::ShowVersion:
        std::fprintf(out, "%s %s\n", kProgram, ARDENO_VERSION);
        return 0;
    case Request::Refuse:
        std::fprintf(err, "%s: %s (try '%s --help')\n", kProgram, m_error.c_str(), kProgram);
        return 2;
    case Request::RunWindow:
        break;
    }
    return 0;
}
