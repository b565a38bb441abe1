// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for shadowing in the whole program, heard where a listener hears
// it: the real window, player and take engines at a private PulseAudio
// server, whose sink is recorded at its monitor and is also the default
// input. Each iteration drills a spoken sentence once with its take
// recorded; a second spoken sentence, played into the sink as soon as the
// take records, stands for the learner. Measured: the time from the take's
// end (the moment the 0.6 s of silence were complete) to the first sound of
// its playback, the time from the sentence's end until the take captures,
// where the playback starts against the take's first sound, how
// much of the sentence and of the take went unheard at either end, and the
// process's CPU while shadowing.

#include "GuardedBenchmark.h"
#include "ListeningServer.h"
#include "ProcessFigures.h"
#include "Spread.h"
#include "components/recorder/EncoderSettings.h"
#include "components/takes/PlaybackStart.h"
#include "components/takes/TakeDecoding.h"
#include "components/takes/VoiceActivity.h"
#include "support/ShadowingScene.h"
#include "window/shadowing/Shadowing.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

namespace {

constexpr int kRate = ServerRecording::kRate;

double Ms(double samples)
{
    return samples * 1000.0 / kRate;
}

// The frame of the decoded take at which the take recorder's rule ended it.
std::optional<std::size_t> TakeEnd(const std::vector<std::int16_t>& take)
{
    VoiceActivity activity({encoder_settings::kSampleRate, encoder_settings::kChannels, 0.6, 1e6});
    constexpr std::size_t kBlock = 441 * encoder_settings::kChannels;
    for (std::size_t at = 0; at < take.size(); at += kBlock) {
        if (activity.Feed(std::span(take).subspan(at, std::min(kBlock, take.size() - at))))
            return (at + kBlock) / encoder_settings::kChannels;
    }
    return std::nullopt;
}

// The first sample that is not silence, from `from` on.
std::optional<std::size_t> FirstSound(const std::vector<float>& samples, std::size_t from)
{
    for (std::size_t i = from; i < samples.size(); ++i) {
        if (std::abs(samples[i]) >= 1e-4f)
            return i;
    }
    return std::nullopt;
}

void BM_Shadowing(benchmark::State& state)
{
    PrivatePulseSession server;
    ServerRecording monitor;
    if (!ServerIsListening(state, server, monitor))
        return;
    QTemporaryDir folder;
    ShadowingScene scene(folder.path().toStdString(), server, monitor);
    const TimeSpan sentence = scene.lesson.sentences[0];
    const TimeSpan spoken = scene.repetition.sentences[0];
    const Shadowing& shadowing = scene.window.dlg->Shadow();

    std::vector<double> toSound, toCapture, cut, sentenceClipped, takeClipped, cpu;
    int unmatched = 0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        const ShadowingScene::Turn turn = scene.DrillTheFirstSentence();
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
        cpu.push_back((ProcessCpuSeconds() - cpuBefore) / wall.count() * 100);
        if (!scene.window.prompts.boxes.empty() || turn.playbackMark == 0) {
            state.SkipWithError(scene.window.prompts.boxes.empty() ? "the take was never played back"
                                                                   : scene.window.prompts.boxes.back().text.c_str());
            break;
        }

        // The sentence as the drill played it, and the take in its file.
        const std::vector<float> heard = monitor.From(turn.sentenceMark);
        const std::size_t recordingFrom = turn.recordingMark - turn.sentenceMark;
        const std::optional<HeardSpan> played =
            LocateHeard(scene.lessonSound.samples, std::vector<float>(heard.begin(), heard.begin() + std::ptrdiff_t(recordingFrom)), std::lround(sentence.start * kRate),
                        std::lround(sentence.end * kRate), kRate / 5);
        const DecodedSound takeSound = DecodeSound(shadowing.TakePath(scene.sentence));
        const std::vector<std::int16_t> take = DecodeTake(shadowing.TakePath(scene.sentence));
        const std::optional<HeardSpan> inTake =
            LocateHeard(scene.repetitionSound.samples, takeSound.samples, std::lround(spoken.start * kRate),
                        std::lround(spoken.end * kRate), kRate / 5);
        const std::optional<std::size_t> takeEnd = TakeEnd(take);
        if (!played || !inTake || !takeEnd) {
            ++unmatched;
            continue;
        }
        // From the sentence's last sound to the take capturing: what a learner
        // who starts at once loses.
        const std::size_t sentenceEnd = played->silenceBefore + std::size_t(played->last - played->first);
        toCapture.push_back(Ms(double(turn.capturingMark - turn.sentenceMark) - double(sentenceEnd)));
        sentenceClipped.push_back(Ms(double(std::max(0L, played->first - std::lround(sentence.start * kRate))
                                            + std::max(0L, std::lround(sentence.end * kRate) - played->last))));
        // Where playback starts against the take's first sound: > 0 is
        // silence left before it, < 0 sound cut off.
        cut.push_back(Ms(double(inTake->silenceBefore) - double(PlaybackStart(take, encoder_settings::kChannels, kRate))));

        // The learner's sentence as the monitor heard it when it was played
        // in: its first sound there lines the take's timeline up with the
        // monitor's.
        const std::optional<std::size_t> spokenThere = FirstSound(heard, sentenceEnd);
        const std::size_t playbackFrom = turn.playbackMark - turn.sentenceMark;
        const std::optional<std::size_t> playbackSound = FirstSound(heard, playbackFrom);
        const std::optional<HeardSpan> playedBack =
            LocateHeard(scene.repetitionSound.samples, std::vector<float>(heard.begin() + std::ptrdiff_t(playbackFrom), heard.end()),
                        std::lround(spoken.start * kRate), std::lround(spoken.end * kRate), kRate / 5);
        if (!spokenThere || !playbackSound || !playedBack || *spokenThere >= playbackFrom) {
            ++unmatched;
            continue;
        }
        const double takeEndThere = double(*takeEnd) - double(inTake->silenceBefore) + double(*spokenThere);
        toSound.push_back(Ms(double(*playbackSound) - takeEndThere));
        takeClipped.push_back(Ms(double(std::max(0L, playedBack->first - inTake->first)
                                        + std::max(0L, inTake->last - playedBack->last))));
    }
    auto report = [&](const std::string& name, const std::vector<double>& values) {
        const Spread spread = SpreadOf(values);
        state.counters[name + "_min"] = spread.min;
        state.counters[name + "_median"] = spread.median;
        state.counters[name + "_max"] = spread.max;
    };
    report("take_end_to_sound_ms", toSound);
    report("sentence_end_to_capture_ms", toCapture);
    report("lead_left_ms", cut);
    report("sentence_clipped_ms", sentenceClipped);
    report("take_clipped_ms", takeClipped);
    report("cpu_percent", cpu);
    state.counters["turns_measured"] = double(toSound.size());
    state.counters["unmatched"] = unmatched;
}
GUARDED_BENCHMARK(BM_Shadowing)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
