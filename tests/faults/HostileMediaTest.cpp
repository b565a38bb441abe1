// SPDX-License-Identifier: GPL-3.0-or-later
// Files that are not media, or not files, opened with the real player: the
// user gets a box naming the file and the reason, never a hang or a crash,
// and the window goes on to open real media.

#include "HangGuard.h"
#include "support/WindowTest.h"

#include <QTest>
#include "support/WavFile.h"
#include "fakes/FakeRecorder.h"
#include "support/FileBytes.h"
#include "support/OrdinaryUser.h"

#include <QLineEdit>
#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

class HostileMediaTest : public WindowTest {
protected:
    void SetUp() override { Start(nullptr, RealPlayer()); }

    // Opens `path` with the Open button; a hang ends the test run.
    void Open(const std::string& path)
    {
        prompts.boxes.clear();
        prompts.openAnswers.push_back(path);
        HangGuard guard("opening " + path, 30s);
        Click(ControlId::Open);
    }

    // The user sees one stop-sign box that names the file and gives a reason.
    void ExpectRefused(const std::string& path)
    {
        ASSERT_EQ(prompts.boxes.size(), 1u) << "opening " << path << " said nothing";
        const ScriptedPrompts::Box& box = prompts.boxes.front();
        EXPECT_EQ(box.icon, BoxIcon::Stop);
        EXPECT_EQ(box.caption, environment.appName);
        EXPECT_THAT(box.text, HasSubstr(path));
        EXPECT_GT(box.text.size(), path.size() + 20) << "no reason given: " << box.text;
    }

    // Real media opens and plays in the same window afterwards.
    void ExpectRealMediaStillOpens()
    {
        const std::string good = PathIn("good.wav");
        WriteFileBytes(good, ToneWavBytes(2));
        Open(good);
        EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
        EXPECT_TRUE(IsEnabled(ControlId::Pause));
    }
};

TEST_F(HostileMediaTest, TextZeroBytesAndAFolderAreRefusedWithTheirReason)
{
    const std::string text = PathIn("notes.mp3");
    WriteFileBytes(text, "These are my notes, not a recording.\n");
    const std::string empty = PathIn("empty.mp3");
    WriteFileBytes(empty, "");
    const std::string folder = PathIn("album.mp3");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);

    for (const std::string& path : {text, empty, folder}) {
        SCOPED_TRACE(path);
        Open(path);
        ExpectRefused(path);
    }
    EXPECT_EQ(ReadFileBytes(text), "These are my notes, not a recording.\n");
    ExpectRealMediaStillOpens();
}

TEST_F(HostileMediaTest, ANamedPipeWithNothingBehindItDoesNotHang)
{
    const std::string pipe = PathIn("stream.mp3");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0) << std::strerror(errno);
    Open(pipe);
    ExpectRefused(pipe);
    ExpectRealMediaStillOpens();
}

TEST_F(HostileMediaTest, AFileTheUserMayNotReadIsRefusedWithTheReason)
{
    const std::string locked = PathIn("locked.wav");
    WriteFileBytes(locked, ToneWavBytes(1));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    {
        OrdinaryUser user;
        Open(locked);
    }
    ExpectRefused(locked);
    EXPECT_THAT(prompts.boxes.front().text, HasSubstr(std::strerror(EACCES)));
    ExpectRealMediaStillOpens();
}

TEST_F(HostileMediaTest, ATruncatedFilePlaysWhatItHolds)
{
    const std::string cut = PathIn("cut.wav");
    WriteFileBytes(cut, ToneWavBytes(1, 3));
    Open(cut);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->Player().GetCurrentPosition() >= 0.5; }, 5000));
    Click(ControlId::Pause);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
    EXPECT_LE(dlg->Player().GetCurrentPosition(), 3.0);
}

} // namespace
