// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for segment repeat in the whole program, heard where a listener
// hears it: the real window with the real player plays to a private
// PulseAudio server, whose sink is recorded at its monitor. Each repeat is of
// a one-second segment of white noise, so that where the heard sound sits in
// the file is found by its content: how late the sound came after Repeat,
// whether it began on the segment's start, and how much was heard past the
// segment's end; on wav and on mp3 (constant and variable bit rate), after
// the media sat stopped a while, and in an hour of mp3 while its sound
// profile is being made.

#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/recorder/CMP3Enc.h"
#include "support/WindowHarness.h"
#include "HeardPlays.h"

#include <QTest>
#include <algorithm>
#include "GuardedBenchmark.h"
#include "ListeningServer.h"
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

// How the repeats of one benchmark are made.
struct RepeatSetting {
    std::string media;
    // Segments lie in the media's first `within` seconds.
    double within = PlayerMedia::kSoundSeconds;
    // Each iteration first lets the media sit stopped this long.
    int waitMs = 0;
    // The window has the real sound profiler, which keeps nothing and starts
    // the media's profile afresh before each repeat, so that every repeat
    // plays while the profile is being made.
    bool whileAnalysing = false;
};

// Repeats one-second segments of the media in the real window.
void MeasureRepeats(benchmark::State& state, const RepeatSetting& setting)
{
    const std::string& media = setting.media;
    PrivatePulseSession server;
    ServerRecording monitor;
    if (!ServerIsListening(state, server, monitor))
        return;
    const DecodedSound reference = DecodeSound(media, setting.within);
    if (!reference.problem.empty()) {
        state.SkipWithError(reference.problem.c_str());
        return;
    }
    // No profile can be kept in a folder under a file.
    std::unique_ptr<SoundProfiler> profiler = setting.whileAnalysing ? CreateSoundProfiler("/dev/null/cache") : nullptr;
    SoundProfiler* analysing = profiler.get();
    WindowHarness window;
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(), std::move(profiler));
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    QTest::qWait(300);

    std::mt19937 random(5);
    std::uniform_real_distribution<double> place(0.5, setting.within - kSegmentSeconds - 0.5);
    HeardPlays plays(kRate);
    std::vector<double> pastEnd;
    int duringAnalysis = 0;
    for (auto _ : state) {
        QTest::qWait(setting.waitMs);
        if (analysing)
            analysing->Analyse(media);
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
        const bool profileGrowing = analysing && analysing->Profile().State() == SoundProfile::Progress::Analysing;
        // The end heard is found by the content of the last sound, so that a
        // dropout on the way (a busy machine) does not pass for an early end.
        const long expected = std::lround(start * kRate);
        const long end = std::lround((start + kSegmentSeconds) * kRate);
        if (const std::optional<HeardSpan> heard = plays.Add(reference.samples, monitor.From(mark), expected, end)) {
            pastEnd.push_back(plays.Ms(heard->last - end));
            duringAnalysis += profileGrowing;
        }
    }
    const Spread past = SpreadOf(pastEnd);
    state.counters["past_end_min_ms"] = past.min;
    state.counters["past_end_median_ms"] = past.median;
    state.counters["past_end_max_ms"] = past.max;
    plays.Report(state, "repeat");
    if (analysing)
        state.counters["repeats_while_analysing"] = duringAnalysis;
}

void BM_RepeatAtSoundServer(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    MeasureRepeats(state, {format.path()});
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_RepeatAtSoundServer)->DenseRange(0, 2)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The media sat stopped for range(0) ms before each Repeat.
void BM_RepeatAfterStopped(benchmark::State& state)
{
    MeasureRepeats(state, {PlayerMedia::Wav(), PlayerMedia::kSoundSeconds, int(state.range(0))});
}
GUARDED_BENCHMARK(BM_RepeatAfterStopped)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// In the first minute of an hour of mp3, each repeat while the profile of the
// whole hour is being made.
void BM_RepeatWhileAnalysing(benchmark::State& state)
{
    MeasureRepeats(state, {PlayerMedia::HourLongMp3(), 60, 0, true});
    state.SetLabel("mp3 cbr, 60 min, while analysing");
}
GUARDED_BENCHMARK(BM_RepeatWhileAnalysing)->Iterations(15)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
