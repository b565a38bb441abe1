// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the feedback on a take (no Qt, no sound server):
//
// - Pitch under noise: espeak-ng sentences in a male and a female voice,
//   white noise at 20 and 10 dB below the speech; the truth is the tracker on
//   the clean sound. Gross errors (over 20 % off) among frames voiced in
//   both, the median fine error in cents, and the voicing decision's F1.
// - Timing: a speech-like buzz against itself said with its tempo
//   ratio swinging between 0.7 and 1.8; each original frame's take frame against
//   the true warp: median error and share within 50 ms.
// - Melody: twenty random melodies, each said again at another pitch and
//   with one change (flattened, or its final rise turned into a fall): the
//   share of pairs in which the changed one scores lower.
// - The time to compare a 10 s take with a 10 s original.

#include "components/align/SpokenSentences.h"
#include "components/speech/PitchTracker.h"
#include "components/speech/TakeComparison.h"
#include "support/SyntheticVoice.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

std::vector<float> WithNoise(const std::vector<float>& samples, double snrDb, unsigned seed)
{
    std::vector<float> noisy = samples;
    const std::vector<float> noise =
        SyntheticVoice::Noise(double(samples.size()) / SyntheticVoice::kRate,
                              SyntheticVoice::Rms(samples) * std::pow(10.0, -snrDb / 20), seed);
    for (std::size_t i = 0; i < noisy.size() && i < noise.size(); ++i)
        noisy[i] += noise[i];
    return noisy;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

void BM_PitchUnderNoise(benchmark::State& state)
{
    const double snrDb = double(state.range(0));
    const std::vector<std::string> sentences = {"Could you tell me the way to the station, please?",
                                                "I have never seen such a beautiful garden.",
                                                "We are meeting at seven o'clock tomorrow evening."};
    std::size_t both = 0, gross = 0, truePositive = 0, falsePositive = 0, falseNegative = 0;
    std::vector<double> cents;
    for (auto _ : state) {
        for (const char* voice : {"en", "en+f3"}) {
            std::string failure;
            const auto speaker = SentenceSpeaker::Open(voice, 160, failure);
            if (!speaker) {
                state.SkipWithError(failure.c_str());
                return;
            }
            const SpokenSentences spoken = speaker->Speak(sentences, 0.4);
            const PitchContour clean = TrackPitch(spoken.samples, spoken.rate);
            const PitchContour noisy = TrackPitch(WithNoise(spoken.samples, snrDb, 11), spoken.rate);
            for (std::size_t i = 0; i < clean.frames.size(); ++i) {
                const bool truth = clean.frames[i].Voiced(), found = noisy.frames[i].Voiced();
                truePositive += truth && found;
                falsePositive += !truth && found;
                falseNegative += truth && !found;
                if (!truth || !found)
                    continue;
                ++both;
                const double ratio = noisy.frames[i].hz / clean.frames[i].hz;
                if (std::abs(ratio - 1) > 0.2)
                    ++gross;
                else
                    cents.push_back(std::abs(1200 * std::log2(ratio)));
            }
        }
    }
    state.counters["gross_error_share"] = both ? double(gross) / double(both) : NAN;
    state.counters["fine_error_median_cents"] = Median(cents);
    state.counters["voicing_f1"] =
        2.0 * double(truePositive) / double(2 * truePositive + falsePositive + falseNegative);
    state.SetLabel(std::to_string(int(snrDb)) + " dB SNR");
}
BENCHMARK(BM_PitchUnderNoise)->Arg(20)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TimingAgainstKnownWarp(benchmark::State& state)
{
    // Score time of real time t: the tempo swings once every 2 s.
    constexpr double kSwing = 0.14; // score seconds per radian
    const auto scoreTime = [](double t) { return t + kSwing * std::sin(std::numbers::pi * t); };
    const double seconds = 6;
    const SyntheticVoice::Voice voice;
    const std::vector<float> original = SyntheticVoice::Render(voice, seconds);
    const std::vector<float> take = SyntheticVoice::Render(voice, seconds, scoreTime);
    std::vector<double> errors;
    for (auto _ : state) {
        const TakeComparison result = CompareTake({original, SyntheticVoice::kRate}, {take, SyntheticVoice::kRate});
        if (result.reason) {
            state.SkipWithError(result.reason->c_str());
            return;
        }
        errors.clear();
        for (std::size_t i = 0; i < result.takeFrame.size(); ++i) {
            if (!result.takeFrame[i])
                continue;
            // The real time at which the take says score time s, by bisection.
            const double s = double(i) * result.hopSeconds;
            double low = 0, high = seconds;
            for (int step = 0; step < 40; ++step)
                (scoreTime((low + high) / 2) < s ? low : high) = (low + high) / 2;
            errors.push_back(std::abs(*result.takeFrame[i] * result.hopSeconds - low));
        }
    }
    state.counters["median_error_ms"] = 1000 * Median(errors);
    state.counters["within_50ms_share"] =
        double(std::count_if(errors.begin(), errors.end(), [](double e) { return e <= 0.05; })) /
        double(errors.size());
}
BENCHMARK(BM_TimingAgainstKnownWarp)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ChangedMelodyScoresLower(benchmark::State& state)
{
    std::size_t pairs = 0, lower = 0;
    for (auto _ : state) {
        std::mt19937 random(5);
        std::uniform_real_distribution<double> uniform(0, 1);
        for (int melody = 0; melody < 20; ++melody) {
            const double depth = 10 + 30 * uniform(random), speed = 0.3 + uniform(random), shift = 6 * uniform(random);
            const double rise = 40 + 80 * uniform(random);
            const auto f0 = [=](double t) {
                return 120 + depth * std::sin(2 * std::numbers::pi * speed * t + shift) + (t > 2.4 ? rise * (t - 2.4) : 0);
            };
            SyntheticVoice::Voice voice;
            voice.f0 = f0;
            const std::vector<float> original = SyntheticVoice::Render(voice, 3);
            const auto score = [&](SyntheticVoice::Curve take) {
                SyntheticVoice::Voice other = voice;
                other.f0 = std::move(take);
                const TakeComparison result =
                    CompareTake({original, SyntheticVoice::kRate}, {SyntheticVoice::Render(other, 3), SyntheticVoice::kRate});
                return result.melodyScore.value_or(0);
            };
            const double same = score([=](double t) { return 1.5 * f0(t); });
            const double changed = melody % 2 ? score([](double) { return 150.0; })
                                              : score([=](double t) { return t > 2.4 ? 2 * f0(2.4) - f0(t) : f0(t); });
            ++pairs;
            lower += changed < same;
        }
    }
    state.counters["changed_scores_lower_share"] = double(lower) / double(pairs);
}
BENCHMARK(BM_ChangedMelodyScoresLower)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CompareTenSecondTake(benchmark::State& state)
{
    const SyntheticVoice::Voice voice;
    const std::vector<float> original = SyntheticVoice::Render(voice, 10);
    const std::vector<float> take = SyntheticVoice::Render(voice, 11, [](double t) { return t / 1.1; });
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareTake({original, SyntheticVoice::kRate}, {take, SyntheticVoice::kRate}));
}
BENCHMARK(BM_CompareTenSecondTake)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
