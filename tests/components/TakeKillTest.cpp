// SPDX-License-Identifier: GPL-3.0-or-later
// A take killed in the middle (as by a crash or a power cut) leaves the
// earlier take of that sentence whole, and what it captured is a playable MP3
// under its temporary name.

#include "components/takes/GstTakeRecorder.h"
#include "support/FileBytes.h"
#include "support/RecorderSoundCheck.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(TakeKillTest, AKilledTakeLeavesTheEarlierTakeWhole)
{
    QTemporaryDir folder;
    const std::string take = folder.filePath("lesson.mp3 takes/000001.000-000002.000.mp3").toStdString();
    std::filesystem::create_directories(std::filesystem::path(take).parent_path());
    const std::string earlier = "ID3 the earlier take, whole";
    WriteFileBytes(take, earlier);

    QProcess probe;
    probe.start(TAKE_PROBE, {QString::fromStdString(ToneInput(300)), QString::fromStdString(take)});
    ASSERT_TRUE(probe.waitForStarted(5000)) << probe.errorString().toStdString();
    ASSERT_TRUE(probe.waitForReadyRead(8000)) << probe.readAllStandardError().toStdString();
    ASSERT_EQ(probe.readLine().trimmed().toStdString(), "recording");
    // Past the first forced write to the disk.
    QTest::qWait(2500);
    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(5000));

    EXPECT_EQ(ReadFileBytes(take), earlier);
    const DecodedSound partial = DecodeSound(GstTakeRecorder::PartialPath(take));
    ASSERT_EQ(partial.problem, "");
    EXPECT_GE(FindTone(partial).Length(), 1.0);
}

} // namespace
