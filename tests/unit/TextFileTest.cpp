// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FullDisk.h"
#include "support/FileBytes.h"
#include "window/text/TextFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class TextFileTest : public testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }

    // Every piece the file gives at `limit` characters.
    std::vector<std::string> Pieces(const std::string& bytes, std::size_t limit)
    {
        WriteFileBytes(Path("in.txt"), bytes);
        TextFileReader reader(Path("in.txt"));
        std::vector<std::string> pieces;
        while (std::optional<std::string> piece = reader.ReadPiece(limit))
            pieces.push_back(*piece);
        EXPECT_EQ(reader.Error(), "");
        return pieces;
    }

    // Names in the folder, to see that no temporary file stays behind.
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const QString& name : QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            names.push_back(name.toStdString());
        return names;
    }

    QTemporaryDir dir;
};

using PieceList = std::vector<std::string>;

TEST_F(TextFileTest, CrLfReadsAsOneLfAndOtherBytesStayAsTheyAre)
{
    EXPECT_EQ(Pieces("1.5\r\n3.25\r\n7", 79), (PieceList{"1.5\n", "3.25\n", "7"}));
    EXPECT_EQ(Pieces("1.5\n3.25\n", 79), (PieceList{"1.5\n", "3.25\n"}));
    // A CR alone is no line end, also at the very end of the file.
    EXPECT_EQ(Pieces("a\rb\r\r\nc\r", 79), (PieceList{"a\rb\r\n", "c\r"}));
    EXPECT_EQ(Pieces(std::string("\0\xff\xfe\n\x80", 5), 79), (PieceList{std::string("\0\xff\xfe\n", 4), "\x80"}));
    EXPECT_EQ(Pieces("", 79), PieceList{});
}

TEST_F(TextFileTest, PiecesEndAtTheLimitOrAfterTheLineEnd)
{
    EXPECT_EQ(Pieces("abcdefg\nhi\n", 3), (PieceList{"abc", "def", "g\n", "hi\n"}));
    // A CR LF counts as one character, also when it falls on the limit.
    EXPECT_EQ(Pieces("ab\r\ncd", 3), (PieceList{"ab\n", "cd"}));
    EXPECT_EQ(Pieces("abc\r\nd", 3), (PieceList{"abc", "\n", "d"}));
}

TEST_F(TextFileTest, ReadLineTakesTheWholeLineWithoutItsEnd)
{
    std::string longLine(1000, 'x');
    WriteFileBytes(Path("in.txt"), "12\r\n" + longLine + "\r\nnext");
    TextFileReader reader(Path("in.txt"));
    EXPECT_EQ(reader.ReadPiece(79), "12\n");
    EXPECT_EQ(reader.ReadLine(), longLine);
    EXPECT_EQ(reader.ReadLine(), "next");
    EXPECT_EQ(reader.ReadLine(), std::nullopt);
    EXPECT_EQ(reader.Error(), "");
}

TEST_F(TextFileTest, MissingFileOrFolderDoesNotOpen)
{
    TextFileReader missing(Path("none.txt"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Error(), "No such file or directory");
    EXPECT_EQ(missing.ReadPiece(79), std::nullopt);

    std::filesystem::create_directory(Path("folder.txt"));
    TextFileReader folder(Path("folder.txt"));
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(folder.Error(), "Is a directory");
}

TEST_F(TextFileTest, ReplaceWritesCrLfAndReplacesTheOldText)
{
    std::string path = Path("out.txt");
    WriteFileBytes(path, "a much longer earlier content\r\n\r\n\r\n");
    EXPECT_EQ(ReplaceTextFile(path, "1.500000\n\nend"), std::nullopt);
    EXPECT_EQ(ReadFileBytes(path), "1.500000\r\n\r\nend");
    EXPECT_EQ(ReplaceTextFile(path, ""), std::nullopt);
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.txt"});
}

TEST_F(TextFileTest, ReplaceBytesWritesThemExactly)
{
    const std::string path = Path("lesson.srt");
    WriteFileBytes(path, "an earlier, longer transcript\r\n");
    const std::string utf16 = std::string("\xFF\xFE" "1\0\n\0\r\0\r\0\n\0", 12);
    EXPECT_EQ(ReplaceFileBytes(path, utf16), std::nullopt);
    EXPECT_EQ(ReadFileBytes(path), utf16);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"lesson.srt"});
    EXPECT_EQ(ReplaceFileBytes(Path("missing/lesson.srt"), "x"), "No such file or directory");
}

TEST_F(TextFileTest, ReplaceKeepsPermissionsAndSymbolicLinks)
{
    std::string target = Path("target.txt");
    std::string link = Path("link.txt");
    WriteFileBytes(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    std::filesystem::create_symlink(target, link);

    EXPECT_EQ(ReplaceTextFile(link, "new\n"), std::nullopt);

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(target), "new\r\n");
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(TextFileTest, FailedReplaceGivesTheReasonAndKeepsTheOldFile)
{
    std::string path = Path("out.txt");
    WriteFileBytes(path, "old contents\r\n");
    {
        FullDisk disk(4);
        EXPECT_EQ(ReplaceTextFile(path, "new contents that do not fit\n"), "File too large");
    }
    EXPECT_EQ(ReadFileBytes(path), "old contents\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.txt"});

    // A folder that cannot exist: its parent is a regular file.
    EXPECT_EQ(ReplaceTextFile(path + "/inside.txt", "x"), "Not a directory");
}

// A file that is no regular file is refused before anything is read from it:
// a named pipe would otherwise block its reader until a writer came.
TEST_F(TextFileTest, NamedPipeIsRefusedWithoutWaitingForAWriter)
{
    const std::string pipe = Path("points.txt");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] {
        TextFileReader reader(pipe);
        return std::make_pair(reader.IsOpen(), reader.Error());
    });
    if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let the blocked open go, so that the test can end.
        int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        reading.wait();
        ::close(writer);
        FAIL() << "opening a named pipe blocked";
    }
    EXPECT_EQ(reading.get(), std::make_pair(false, std::string("Not a regular file")));
}

TEST_F(TextFileTest, ReplaceRemovesWhatAKilledWriteOfTheSameFileLeft)
{
    const std::string path = Path("out.txt");
    WriteFileBytes(Path("out.txt.tmp-123456"), "half a save");
    WriteFileBytes(Path("out.txt.tmp-draft"), "not one of ours");
    WriteFileBytes(Path("other.txt.tmp-42"), "another file's");
    EXPECT_EQ(ReplaceTextFile(path, "new\n"), std::nullopt);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"other.txt.tmp-42", "out.txt", "out.txt.tmp-draft"}));
}

// Runs `work` in a child process as a user who may not write to folders of
// others (root drops to nobody), and returns its exit status.
int AsUnprivilegedUser(const std::function<int()>& work)
{
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A file the user may write, in a folder the user may not add files to
// (pause points beside media on a shared drive): written over in place.
TEST_F(TextFileTest, FileInAFolderThatTakesNoNewFileIsWrittenInPlace)
{
    const std::string folder = Path("shared");
    std::filesystem::create_directory(folder);
    const std::string writable = folder + "/lesson.txt";
    const std::string locked = folder + "/locked.txt";
    WriteFileBytes(writable, "a longer earlier content of the file\r\n");
    WriteFileBytes(locked, "kept\r\n");
    ASSERT_EQ(chmod(writable.c_str(), 0666), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);

    EXPECT_EQ(AsUnprivilegedUser([&] { return ReplaceTextFile(writable, "1.500000\n") ? 1 : 0; }), 0);
    EXPECT_EQ(ReadFileBytes(writable), "1.500000\r\n");
    // Neither the folder nor the file can be written: the reason, the file as it was.
    EXPECT_EQ(AsUnprivilegedUser([&] { return ReplaceTextFile(locked, "new\n") == "Permission denied" ? 0 : 1; }), 0);
    EXPECT_EQ(ReadFileBytes(locked), "kept\r\n");
    chmod(folder.c_str(), 0755);
}

} // namespace
