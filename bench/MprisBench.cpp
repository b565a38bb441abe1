// SPDX-License-Identifier: GPL-3.0-or-later
// How soon the desktop's play/pause is heard: a media widget's PlayPause call
// on a session bus of the benchmark's own, to the first sound of the real
// window and player at a private PulseAudio server, recorded at the server's
// monitor; and the same for the Space key, which runs the same command in the
// window, so that what the bus adds shows. The media is white noise, so that
// where the heard sound sits in the file is found by its content (PlayPause
// plays on from the segment's end).

#include "GuardedBenchmark.h"
#include "HeardPlays.h"
#include "components/recorder/CMP3Enc.h"
#include "support/MprisClient.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "support/PrivateSessionBus.h"
#include "support/WindowHarness.h"
#include "window/mpris/MprisService.h"

#include <QTest>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

constexpr int kRate = ServerRecording::kRate;

enum class Way { Bus, SpaceKey };

void BM_PlayPauseToSound(benchmark::State& state)
{
    const Way way = Way(state.range(0));
    PrivatePulseSession server;
    PrivateSessionBus bus;
    if (!server.Ready() || !bus.Ready()) {
        state.SkipWithError((server.Problem() + bus.Problem()).c_str());
        return;
    }
    ServerRecording monitor;
    if (!monitor.WaitUntilListening()) {
        state.SkipWithError("the server's monitor records nothing");
        return;
    }
    const std::string media = PlayerMedia::Wav();
    const DecodedSound reference = DecodeSound(media);
    if (!reference.problem.empty()) {
        state.SkipWithError(reference.problem.c_str());
        return;
    }
    WindowHarness window;
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer());
    std::unique_ptr<MprisService> service = window.dlg->OfferOnBus(bus.Connect("program"));
    MprisClient desktop(bus.Connect("desktop"));
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    QTest::qWait(300);
    desktop.Call(MprisClient::kPlayer, "Pause");

    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(0.5, PlayerMedia::kSoundSeconds - 1.5);
    HeardPlays plays(kRate);
    for (auto _ : state) {
        // The pause before is silent at the monitor.
        QTest::qWait(400);
        const double start = place(random);
        window.dlg->Segment().SetSegment(start, start);
        const std::size_t mark = monitor.Size();
        if (way == Way::SpaceKey)
            QTest::keyClick(window.dlg.get(), Qt::Key_Space);
        else if (!desktop.Call(MprisClient::kPlayer, "PlayPause").isEmpty()) {
            state.SkipWithError("the PlayPause call failed");
            break;
        }
        QTest::qWait(600);
        desktop.Call(MprisClient::kPlayer, "PlayPause"); // pauses, and marks the end heard
        QTest::qWait(300);
        const long first = std::lround(start * kRate);
        const long last = std::lround(window.dlg->Segment().End() * kRate);
        plays.Add(reference.samples, monitor.From(mark), first, last);
    }
    plays.Report(state, "playpause");
    state.SetLabel(way == Way::Bus ? "PlayPause on the bus" : "Space key");
}
GUARDED_BENCHMARK(BM_PlayPauseToSound)->Arg(int(Way::Bus))->Arg(int(Way::SpaceKey))->Iterations(20)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
