// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the MP3 recorder: CPU time per recorded minute, memory over a
// long recording, and the time from StartRec to the first captured sample,
// on a test tone and on a real (private) PulseAudio server.

#include "ProcessFigures.h"
#include "components/recorder/CMP3Enc.h"
#include "support/PrivatePulseSession.h"

#include <QTest>
#include "GuardedBenchmark.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Music-like sound in 0.1 s buffers, produced as fast as the encoder takes it.
std::string NonLiveInput(int minutes)
{
    return "audiotestsrc wave=pink-noise volume=0.5 samplesperbuffer=4410 num-buffers=" + std::to_string(minutes * 600)
           + " ! capsfilter caps=audio/x-raw,rate=44100,channels=2";
}

std::string ScratchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("recorder-bench-") + name)).string();
}

bool StartInto(CMP3Enc& engine, std::string path, benchmark::State& state)
{
    engine.SetFileName(path.data());
    if (engine.StartRec())
        return true;
    state.SkipWithError(engine.LastError().c_str());
    return false;
}

// Waits for a non-live recording to reach its end, calling `tick` meanwhile;
// the event loop brings the news of the end.
template <typename Tick>
void WaitForEnd(CMP3Enc& engine, Tick tick)
{
    while (engine.IsRecording()) {
        tick();
        QTest::qWait(5);
    }
}

void BM_CpuPerRecordedMinute(benchmark::State& state)
{
    const std::string path = ScratchFile("cpu.mp3");
    double cpuSeconds = 0;
    for (auto _ : state) {
        CMP3Enc engine(NonLiveInput(1));
        const double before = ProcessCpuSeconds();
        if (!StartInto(engine, path, state))
            break;
        WaitForEnd(engine, [] {});
        cpuSeconds += ProcessCpuSeconds() - before;
    }
    state.counters["cpu_s_per_recorded_min"] = cpuSeconds / double(state.iterations());
    std::filesystem::remove(path);
}
GUARDED_BENCHMARK(BM_CpuPerRecordedMinute)->Iterations(3)->Unit(benchmark::kMillisecond);

// Three hours of sound, encoded as fast as it goes (about three minutes).
void BM_MemoryOverHoursOfSound(benchmark::State& state)
{
    const std::string path = ScratchFile("hours.mp3");
    for (auto _ : state) {
        CMP3Enc engine(NonLiveInput(180));
        if (!StartInto(engine, path, state))
            break;
        double afterOneMinute = 0;
        double afterOneHour = 0;
        WaitForEnd(engine, [&] {
            if (afterOneMinute == 0 && engine.GetRSec() >= 60)
                afterOneMinute = ResidentMiB();
            if (afterOneHour == 0 && engine.GetRSec() >= 3600)
                afterOneHour = ResidentMiB();
        });
        state.counters["rss_MiB_after_1_min"] = afterOneMinute;
        state.counters["rss_MiB_after_60_min"] = afterOneHour;
        state.counters["rss_MiB_after_180_min"] = ResidentMiB();
        state.counters["recorded_s"] = engine.GetRSec();
        state.counters["file_MiB"] = double(engine.GetFileSize()) / (1024.0 * 1024.0);
    }
    std::filesystem::remove(path);
}
GUARDED_BENCHMARK(BM_MemoryOverHoursOfSound)->Iterations(1)->Unit(benchmark::kSecond);

// StartRec returns once the first sample has been captured, so its duration
// is the time to the first sample. The very first start of an input is
// reported on its own: a sound server's first capture start is slow.
double TimeOneStart(const std::string& input, const std::string& path, benchmark::State& state)
{
    CMP3Enc engine(input);
    const auto before = std::chrono::steady_clock::now();
    if (!StartInto(engine, path, state))
        return 0;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - before;
    engine.StopRec();
    return took.count();
}

void MeasureStarts(benchmark::State& state, const std::string& input)
{
    const std::string path = ScratchFile("start.mp3");
    state.counters["first_start_ms"] = TimeOneStart(input, path, state) * 1000;
    for (auto _ : state) {
        const double took = TimeOneStart(input, path, state);
        if (state.error_occurred())
            break;
        state.SetIterationTime(took);
    }
    std::filesystem::remove(path);
}

void BM_StartToFirstSample_TestTone(benchmark::State& state)
{
    MeasureStarts(state, "audiotestsrc is-live=true");
}
GUARDED_BENCHMARK(BM_StartToFirstSample_TestTone)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// The default input of a private PulseAudio server that hears a tone.
void BM_StartToFirstSample_PulseAudio(benchmark::State& state)
{
    PrivatePulseSession server;
    if (!server.Ready() || !server.PlayTone(440)) {
        state.SkipWithError(server.Problem().c_str());
        return;
    }
    MeasureStarts(state, CMP3Enc::kDefaultInput);
}
GUARDED_BENCHMARK(BM_StartToFirstSample_PulseAudio)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
