// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed while it replaces the settings or the pause-point file
// leaves the old file or the new one, whole; never a part, never nothing.

#include "SaveVersions.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

namespace {

constexpr int kKills = 30;

TEST(InterruptedSaveTest, KilledAtRandomMomentsLeavesTheOldOrTheNewFileWhole)
{
    QTemporaryDir folder;
    const std::string points = folder.filePath("lesson.txt").toStdString();
    const std::string settings = folder.filePath("ardeno-recorder.ini").toStdString();
    const std::string pointVersions[] = {OnDisk(PointFileVersion(false)), OnDisk(PointFileVersion(true))};
    const std::string settingsVersions[] = {OnDisk(SettingsFileVersion(false)), OnDisk(SettingsFileVersion(true))};
    WriteFileBytes(points, pointVersions[0]);
    WriteFileBytes(settings, settingsVersions[0]);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMs(0, 40);
    int interruptedWrites = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        QProcess writer;
        writer.start(REPLACING_WRITER, {QString::fromStdString(points), QString::fromStdString(settings)});
        ASSERT_TRUE(writer.waitForStarted(5000)) << writer.errorString().toStdString();
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << writer.readAllStandardError().toStdString();
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(5000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << writer.readAllStandardError().toStdString();

        const std::string pointBytes = ReadFileBytes(points);
        EXPECT_TRUE(pointBytes == pointVersions[0] || pointBytes == pointVersions[1])
            << "the pause-point file holds " << pointBytes.size() << " bytes of neither version";
        const std::string settingsBytes = ReadFileBytes(settings);
        EXPECT_TRUE(settingsBytes == settingsVersions[0] || settingsBytes == settingsVersions[1])
            << "the settings file holds \"" << settingsBytes << "\"";

        // A kill during a write leaves that write's temporary file behind.
        const QStringList leftovers = QDir(folder.path()).entryList({"*.tmp-*"}, QDir::Files);
        interruptedWrites += static_cast<int>(leftovers.size());
        for (const QString& name : leftovers)
            QFile::remove(folder.filePath(name));
    }
    // About a third of the kills land inside a write (the rest between the
    // rename and the next write); without any, nothing was tried.
    EXPECT_GE(interruptedWrites, kKills / 6);
}

} // namespace
