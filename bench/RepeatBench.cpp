// Figures for segment repeat in the whole program, heard where a listener
// hears it: the real window with the real player plays to a private
// PulseAudio server, whose sink is recorded at its monitor. Each repeat is of
// a one-second segment of white noise, so that where the heard sound sits in
// the file is found by its content: how late the sound came after Repeat,
// whether it began on the segment's start, and how much was heard past the
// segment's end; on wav and on mp3 (constant and variable bit rate), and after
// the media sat stopped a while.

#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "components/recorder/CMP3Enc.h"
#include "support/WindowHarness.h"

#include <QTest>
#include <algorithm>
#include "GuardedBenchmark.h"
#include "Spread.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

constexpr int kRate = ServerRecording::kRate;
constexpr double kSegmentSeconds = 1.0;

struct Format {
    const char* name;
    std::string (*path)();
};

const Format kFormats[] = {{"wav", &PlayerMedia::Wav}, {"mp3 cbr", &PlayerMedia::CbrMp3}, {"mp3 vbr", &PlayerMedia::VbrMp3}};

// Repeats one-second segments of `media` in the real window; each iteration
// first lets the media sit stopped for `waitMs`.
void MeasureRepeats(benchmark::State& state, const std::string& media, int waitMs)
{
    PrivatePulseSession server;
    if (!server.Ready()) {
        state.SkipWithError(server.Problem().c_str());
        return;
    }
    ServerRecording monitor;
    if (!monitor.WaitUntilListening()) {
        state.SkipWithError("the server's monitor records nothing");
        return;
    }
    const DecodedSound reference = DecodeSound(media);
    if (!reference.problem.empty()) {
        state.SkipWithError(reference.problem.c_str());
        return;
    }
    WindowHarness window;
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer());
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    QTest::qWait(300);

    std::mt19937 random(5);
    std::uniform_real_distribution<double> place(0.5, PlayerMedia::kSoundSeconds - kSegmentSeconds - 0.5);
    std::vector<double> pastEnd, toSound, startError;
    int unmatched = 0;
    int dropouts = 0;
    for (auto _ : state) {
        QTest::qWait(waitMs);
        const double start = place(random);
        window.dlg->Segment().SetSegment(start, start + kSegmentSeconds);
        const std::size_t mark = monitor.Size();
        window.Click(ControlId::Repeat);
        if (!QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 5000)) {
            state.SkipWithError("Repeat did not stop within 5 s");
            break;
        }
        // What the server still plays after the stop.
        QTest::qWait(400);
        // The end heard is found by the content of the last sound, so that a
        // dropout on the way (a busy machine) does not pass for an early end.
        const long expected = std::lround(start * kRate);
        const long end = std::lround((start + kSegmentSeconds) * kRate);
        const std::optional<HeardSpan> heard =
            LocateHeard(reference.samples, monitor.From(mark), expected, end, kRate / 5);
        if (!heard) {
            ++unmatched;
            continue;
        }
        toSound.push_back(double(heard->silenceBefore) * 1000.0 / kRate);
        startError.push_back(double(heard->first - expected) * 1000.0 / kRate);
        pastEnd.push_back(double(heard->last - end) * 1000.0 / kRate);
        dropouts += heard->gaps > 0;
    }
    const Spread past = SpreadOf(pastEnd);
    const Spread latency = SpreadOf(toSound);
    const Spread error = SpreadOf(startError);
    state.counters["past_end_min_ms"] = past.min;
    state.counters["past_end_median_ms"] = past.median;
    state.counters["past_end_max_ms"] = past.max;
    state.counters["repeat_to_sound_min_ms"] = latency.min;
    state.counters["repeat_to_sound_median_ms"] = latency.median;
    state.counters["repeat_to_sound_max_ms"] = latency.max;
    state.counters["first_sample_error_min_ms"] = error.min;
    state.counters["first_sample_error_max_ms"] = error.max;
    state.counters["repeats_measured"] = double(pastEnd.size());
    state.counters["unmatched"] = unmatched;
    state.counters["repeats_with_dropouts"] = dropouts;
}

void BM_RepeatAtSoundServer(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    MeasureRepeats(state, format.path(), 0);
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_RepeatAtSoundServer)->DenseRange(0, 2)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The media sat stopped for range(0) ms before each Repeat.
void BM_RepeatAfterStopped(benchmark::State& state)
{
    MeasureRepeats(state, PlayerMedia::Wav(), int(state.range(0)));
}
GUARDED_BENCHMARK(BM_RepeatAfterStopped)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
