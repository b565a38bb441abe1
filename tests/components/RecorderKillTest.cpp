// SPDX-License-Identifier: GPL-3.0-or-later
// A recording process that is killed (as by a crash or a power cut) leaves an
// MP3 that plays up to at most about a second before the end.

#include "support/RecorderSoundCheck.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(RecorderKillTest, AKilledRecordingPlaysUpToItsLastSecond)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("killed.mp3");
    QProcess probe;
    probe.start(RECORDER_PROBE, {QString::fromStdString(ToneInput(440)), path});
    ASSERT_TRUE(probe.waitForStarted(5000)) << probe.errorString().toStdString();

    // The probe prints the seconds it has recorded ten times a second.
    int recorded = 0;
    while (recorded < 3 && probe.waitForReadyRead(6000)) {
        while (probe.canReadLine())
            recorded = probe.readLine().trimmed().toInt();
    }
    ASSERT_GE(recorded, 3) << probe.readAllStandardError().toStdString();
    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(5000));

    const DecodedSound sound = DecodeSound(path.toStdString());
    ASSERT_EQ(sound.problem, "");
    const ToneSpan tone = FindTone(sound);
    EXPECT_GE(tone.Length(), recorded - 1.0);
    EXPECT_NEAR(ToneFrequency(sound, tone), 440, 4.4);
}

} // namespace
