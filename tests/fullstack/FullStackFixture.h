// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/PlayedSound.h"
#include "support/SoundDecoder.h"
#include "support/PrivatePulseSession.h"
#include "support/SteppedTone.h"
#include "components/recorder/CMP3Enc.h"
#include "support/WindowHarness.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

// The whole program at a private sound server, on a stepped tone it made:
// what the server's sink plays tells which second of the file is heard.
// Waits are generous, for a loaded two-core machine; each has a timeout.
class FullStackTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Ready()) << server.Problem();
        monitor = std::make_unique<ServerRecording>();
        ASSERT_TRUE(monitor->WaitUntilListening()) << "the sound server's monitor records nothing";
        SteppedTone::WriteWav(media);
    }

    std::string PathIn(const char* name) const { return dir.filePath(name).toStdString(); }

    // Starts a new window with the real player and recorder, as the program does.
    void StartWindow() { window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer()); }
    double Position() { return window.dlg->Player().GetCurrentPosition(); }

    // Opens the media with the window's Open button.
    void Open()
    {
        window.prompts.openAnswers.push_back(media);
        window.Click(ControlId::Open);
    }

    // Sets the segment as the mark buttons and time boxes would.
    void SetSegment(double start, double end)
    {
        window.dlg->Segment().SetSegment(start, end);
    }

    // Clicks Repeat and waits (at most 5 s) until the segment-end check has
    // stopped the repeat.
    bool RepeatToTheEnd()
    {
        window.Click(ControlId::Repeat);
        return QTest::qWaitFor([this] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 5000);
    }

    std::size_t Mark() { return monitor->Size(); }

    // What the server played since `mark`.
    std::vector<SteppedTone::Stretch> HeardSince(std::size_t mark)
    {
        return SteppedTone::Heard(SteppedTone::Stretches(monitor->From(mark)));
    }

    // Clicks line `row` of the Transcript window, waits until its play has
    // ended, and gives where in `reference` the server played `truth` (none
    // when what it played is not that).
    std::optional<HeardSpan> HeardAfterClickingLine(TranscriptWork& transcript, int row,
                                                    const DecodedSound& reference, const TimeSpan& truth)
    {
        QListView& list = transcript.Window()->List();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(transcript.Window()));
        const std::size_t mark = Mark();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
        if (!QTest::qWaitFor([&] { return window.dlg->IsTimerRunning(RepeatTimer); }, 3000) ||
            !QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 8000)) {
            ADD_FAILURE() << "the line's play did not start and end";
            return std::nullopt;
        }
        QTest::qWait(500);
        const int rate = ServerRecording::kRate;
        return LocateHeard(reference.samples, monitor->From(mark), std::lround(truth.start * rate),
                           std::lround(truth.end * rate), rate / 10);
    }

    QTemporaryDir dir;
    std::string media = PathIn("lesson.wav");
    PrivatePulseSession server;
    std::unique_ptr<ServerRecording> monitor;
    WindowHarness window;
};
