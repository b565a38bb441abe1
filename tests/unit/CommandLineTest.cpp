// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/VideoCdTrack.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Request = CommandLine::Request;

CommandLine Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "ardeno-recorder");
    return CommandLine(int(arguments.size()), arguments.data());
}

// What AnswerInTerminal wrote to out and err, and its status.
struct Answer {
    int status;
    std::string out;
    std::string err;
};

Answer AnswerOf(const CommandLine& line)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = line.AnswerInTerminal(out, err);
    auto text = [](std::FILE* file) {
        std::string all(std::size_t(std::ftell(file)), '\0');
        std::rewind(file);
        all.resize(std::fread(all.data(), 1, all.size(), file));
        std::fclose(file);
        return all;
    };
    return {status, text(out), text(err)};
}

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutput)
{
    for (const char* help : {"--help", "-h"}) {
        const CommandLine line = Parse({help});
        EXPECT_EQ(line.Asked(), Request::ShowHelp);
        const Answer answer = AnswerOf(line);
        EXPECT_EQ(answer.status, 0);
        EXPECT_EQ(answer.out.rfind("Usage: ardeno-recorder [OPTION]... [FILE]\n", 0), 0u) << answer.out;
        EXPECT_TRUE(answer.err.empty());
    }
    const Answer version = AnswerOf(Parse({"--version"}));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("ardeno-recorder ", 0), 0u);
    EXPECT_EQ(version.out.back(), '\n');
    // The first request wins over what follows it.
    EXPECT_EQ(Parse({"--version", "--bogus"}).Asked(), Request::ShowVersion);
}

TEST(CommandLine, AnUnknownOptionOrASecondFileIsRefusedInOneLineWithStatusTwo)
{
    for (const auto& arguments : std::vector<std::vector<const char*>>{{"--bogus"}, {"-x"}, {"a.mp3", "b.mp3"}}) {
        const CommandLine line = Parse(arguments);
        EXPECT_EQ(line.Asked(), Request::Refuse) << arguments.front();
        const Answer answer = AnswerOf(line);
        EXPECT_EQ(answer.status, 2);
        EXPECT_TRUE(answer.out.empty());
        EXPECT_EQ(answer.err.find('\n'), answer.err.size() - 1) << answer.err;
        EXPECT_NE(answer.err.find(arguments.back()), std::string::npos) << answer.err;
    }
}

TEST(CommandLine, AFileIsMadeAbsoluteAndQtsOwnOptionsAreLeftToQt)
{
    const CommandLine line = Parse({"-platform", "offscreen", "--style=Fusion", "-reverse", "lessons/one.mp3"});
    EXPECT_EQ(line.Asked(), Request::RunWindow);
    EXPECT_EQ(line.FileToOpen(), (std::filesystem::current_path() / "lessons/one.mp3").string());

    // After --, a name that starts with a dash is a file.
    EXPECT_EQ(Parse({"--", "-odd.mp3"}).FileToOpen(), (std::filesystem::current_path() / "-odd.mp3").string());
    EXPECT_EQ(Parse({"/media/a.mp3"}).FileToOpen(), "/media/a.mp3");
    EXPECT_TRUE(Parse({}).FileToOpen().empty());
}

// A Video CD's folder (what a desktop hands over for a disc) opens as its
// first track; any other path stays as it is.
TEST(VideoCdTrack, ADiscFolderGivesItsFirstTrack)
{
    QTemporaryDir disc;
    const std::string root = disc.path().toStdString();
    EXPECT_EQ(VideoCdTrack(root), root) << "a folder without tracks";
    std::filesystem::create_directory(root + "/mpegav");
    for (const char* track : {"avseq02.dat", "AVSEQ01.DAT", "music01.dat"})
        WriteFileBytes(root + "/mpegav/" + track, "RIFF");
    EXPECT_EQ(VideoCdTrack(root), root + "/mpegav/AVSEQ01.DAT");
    EXPECT_EQ(VideoCdTrack(root + "/mpegav/avseq02.dat"), root + "/mpegav/avseq02.dat");
    EXPECT_EQ(VideoCdTrack(root + "/missing.mp3"), root + "/missing.mp3");
}

} // namespace
