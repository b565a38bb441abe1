// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the media player: load time per format, the cost and accuracy
// of a seek (target against the first sample played, found by content), the
// cost of GetCurrentPosition while playing (the window reads it ten times a
// second per timer), and, at a private PulseAudio server, whether the first
// sample heard after Play is the target and how long it takes to be heard.

#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "support/SoundDecoder.h"

#include <QTest>
#include "BenchPlayer.h"
#include "GuardedBenchmark.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr int kRate = 44100;

struct Format {
    const char* name;
    std::string (*path)();
};

const Format kFormats[] = {{"wav", &PlayerMedia::Wav},    {"mp3 cbr", &PlayerMedia::CbrMp3},
                           {"mp3 vbr", &PlayerMedia::VbrMp3}, {"mpg", &PlayerMedia::Mpg},
                           {"vcd dat", &PlayerMedia::Dat}};

void BM_Load(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    MeasureLoads(state, format.path());
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_Load)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Each iteration seeks (timed) to a random place, then plays (untimed) until
// the sound output has enough to say where playback started.
void BM_SeekAccuracy(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    std::string path = format.path();
    DecodedSound reference = DecodeSound(path);
    if (!reference.problem.empty()) {
        state.SkipWithError(reference.problem.c_str());
        return;
    }
    SoundCapture sound;
    auto player = MakePlayer(sound.Sink());
    player->SetMediaFileName(path);
    double length = double(reference.samples.size()) / kRate;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(reference.start + 0.1, reference.start + length - 0.5);

    double worst = 0;
    double sum = 0;
    int measured = 0;
    int lost = 0;
    for (auto _ : state) {
        double target = place(random);
        player->SetCurrentPosition(target);
        state.PauseTiming();
        player->Play();
        bool played = QTest::qWaitFor([&] { return sound.PlayedCount() >= 4096; }, 3000);
        player->Pause();
        long expected = std::lround((target - reference.start) * kRate);
        std::optional<long> start;
        if (played)
            start = FindInReference(reference.samples, sound.Played(), expected, kRate);
        if (start) {
            double error = std::abs(double(*start - expected)) * 1000.0 / kRate;
            worst = std::max(worst, error);
            sum += error;
            ++measured;
        } else {
            ++lost;
        }
        state.ResumeTiming();
    }
    state.counters["worst_ms"] = worst;
    state.counters["mean_ms"] = measured ? sum / measured : -1;
    state.counters["unmatched"] = lost;
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_SeekAccuracy)->DenseRange(0, 4)->Iterations(25)->Unit(benchmark::kMillisecond);

void BM_GetCurrentPosition(benchmark::State& state)
{
    auto player = MakePlayer();
    player->SetMediaFileName(PlayerMedia::CbrMp3());
    player->Play();
    double position = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(position = player->GetCurrentPosition());
    state.counters["last_position_s"] = position;
}
GUARDED_BENCHMARK(BM_GetCurrentPosition)->Unit(benchmark::kMicrosecond);

// Seek, then Play after the player has waited paused for range(0) ms: the
// error of the first sample heard, and the time from Play to hearing it.
void BM_SoundServerStart(benchmark::State& state)
{
    PrivatePulseSession server;
    if (!server.Ready()) {
        state.SkipWithError(server.Problem().c_str());
        return;
    }
    std::string path = PlayerMedia::Wav();
    DecodedSound reference = DecodeSound(path);
    if (!reference.problem.empty()) {
        state.SkipWithError(reference.problem.c_str());
        return;
    }
    {
        ServerRecording monitor;
        if (!monitor.WaitUntilListening())
            state.SkipWithError("the server's monitor records nothing");
        auto player = MakePlayer();
        player->SetMediaFileName(path);
        std::mt19937 random(11);
        std::uniform_real_distribution<double> place(0.5, 5.0);
        double worst = 0;
        double latency = 0;
        int heard = 0;
        for (auto _ : state) {
            double target = place(random);
            player->SetCurrentPosition(target);
            QTest::qWait(int(state.range(0)));
            std::size_t mark = monitor.Size();
            player->Play();
            QTest::qWait(300);
            player->Pause();
            QTest::qWait(100);
            std::size_t silence = 0;
            std::vector<float> recorded = AfterSilence(monitor.From(mark), silence);
            long expected = std::lround(target * kRate);
            std::optional<long> start = FindInReference(reference.samples, recorded, expected, kRate / 10, 0);
            if (start) {
                worst = std::max(worst, std::abs(double(*start - expected)) * 1000.0 / kRate);
                latency += double(silence) * 1000.0 / kRate;
                ++heard;
            }
        }
        state.counters["worst_first_sample_ms"] = worst;
        state.counters["play_to_sound_ms"] = heard ? latency / heard : -1;
        state.counters["unheard"] = double(state.iterations()) - heard;
    }
}
GUARDED_BENCHMARK(BM_SoundServerStart)->Arg(0)->Arg(1000)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
