// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the sentences: how well the sentences found in spoken sound
// match the true ones, and how they play at a private PulseAudio server.
//
// The corpus: twenty sentences spoken by espeak-ng, each cut to its sound,
// with pauses of 180 to 800 ms between them, clean and under pink noise at
// 30, 20 and 10 dB below the speech. The real window makes the sound profile
// (the real profiler) and finds the sentences in it.
//
// - Boundary F1: the boundaries are each sentence's first and last sound as
//   found (before the margins) against the true ones; a found boundary counts
//   when it lies within 100 ms of a true one (each true one counts once).
// - Onsets clipped: true first sounds that the sentence found around them
//   starts more than 20 ms after (margins included).
// - N to first sound, and the drill (each sentence twice, a pause of half its
//   length after each play), heard at the server's monitor: the corpus at
//   20 dB, whose noise makes every sample of a play audible, so that each
//   play's first and last sample are found by content.

#include "GuardedBenchmark.h"
#include "HeardPlays.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/recorder/CMP3Enc.h"
#include "support/FileBytes.h"
#include "support/PlayedSound.h"
#include "support/PrivatePulseSession.h"
#include "support/SoundDecoder.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "support/WindowHarness.h"
#include "window/commands/WindowCommands.h"
#include "window/sentences/SentenceWork.h"

#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cmath>
#include <optional>

namespace {

constexpr int kRate = ServerRecording::kRate;
// A boundary counts within this distance of the truth; an onset is clipped
// when its sentence starts this much later.
constexpr double kBoundaryReach = 0.1;
constexpr double kClipped = 0.02;

// The corpus at `snrDb` (none: clean) as a WAV file at the monitor's rate in
// `folder`, with the corpus itself.
std::pair<std::string, SpokenCorpus> CorpusFile(const QTemporaryDir& folder, std::optional<double> snrDb)
{
    SpokenCorpus corpus = MakeSpokenCorpus(EverydaySentences(), CorpusPauses(EverydaySentences().size() - 1), snrDb);
    const std::string path = folder.filePath(QStringLiteral("spoken-%1.wav").arg(snrDb.value_or(99))).toStdString();
    WriteFileBytes(path, WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    return {path, std::move(corpus)};
}

// The real window with the real player and profiler, `media` open and its
// sentences found (false when they were not within 30 s).
bool OpenAndFind(WindowHarness& window, const QTemporaryDir& folder, const std::string& media)
{
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(folder.filePath("cache").toStdString()));
    window.prompts.openAnswers.push_back(media);
    window.Click(ControlId::Open);
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    const bool found = QTest::qWaitFor([&] { return finder.Progress() == SentenceFinder::State::Found; }, 30000);
    window.Click(ControlId::TopStop);
    return found;
}

struct Scores {
    double f1 = 0;
    int clipped = 0;
};

Scores Score(const SpokenCorpus& corpus, const SentenceMap& found)
{
    std::vector<double> truth, edges;
    for (const TimeSpan& sentence : corpus.sentences)
        truth.insert(truth.end(), {sentence.start, sentence.end});
    for (const TimeSpan& sound : found.sounds)
        edges.insert(edges.end(), {sound.start, sound.end});
    std::vector<bool> taken(edges.size());
    int matched = 0;
    for (double boundary : truth) {
        std::optional<std::size_t> best;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            if (!taken[i] && std::abs(edges[i] - boundary) <= kBoundaryReach
                && (!best || std::abs(edges[i] - boundary) < std::abs(edges[*best] - boundary)))
                best = i;
        }
        if (best) {
            taken[*best] = true;
            ++matched;
        }
    }
    Scores scores;
    const double precision = edges.empty() ? 0 : double(matched) / double(edges.size());
    const double recall = double(matched) / double(truth.size());
    scores.f1 = precision + recall > 0 ? 2 * precision * recall / (precision + recall) : 0;
    for (const TimeSpan& sentence : corpus.sentences) {
        for (const TimeSpan& around : found.sentences) {
            if (around.end > sentence.start) {
                scores.clipped += around.start > sentence.start + kClipped;
                break;
            }
        }
    }
    return scores;
}

// range(0): the noise's level below the speech in dB (0: clean); range(1):
// the shortest pause that splits, in ms.
void BM_SentenceBoundaries(benchmark::State& state)
{
    const std::optional<double> snr = state.range(0) ? std::optional<double>(double(state.range(0))) : std::nullopt;
    QTemporaryDir folder;
    const auto [media, corpus] = CorpusFile(folder, snr);
    for (auto _ : state) {
        WindowHarness window;
        if (!OpenAndFind(window, folder, media)) {
            state.SkipWithError("the sentences were not found within 30 s");
            return;
        }
        window.dlg->Sentences().SetShortestPause(double(state.range(1)) / 1000);
        const SentenceFinder& finder = window.dlg->Sentences().Finder();
        const Scores scores = Score(corpus, finder.Map());
        state.counters["f1"] = scores.f1;
        state.counters["onsets_clipped"] = scores.clipped;
        state.counters["sentences_found"] = double(finder.Sentences().size());
        state.counters["sentences_spoken"] = double(corpus.sentences.size());
    }
    state.SetLabel((snr ? std::to_string(int(*snr)) + " dB SNR" : std::string("clean")) + ", shortest pause "
                   + std::to_string(state.range(1)) + " ms");
}
GUARDED_BENCHMARK(BM_SentenceBoundaries)
    ->ArgsProduct({{0, 30, 20, 10}, {150, 250}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The corpus at 20 dB SNR in the real window at a private sound server, its
// sentences found; the monitor records what is heard.
struct HeardRig {
    PrivatePulseSession server;
    std::optional<ServerRecording> monitor;
    QTemporaryDir folder;
    DecodedSound reference;
    WindowHarness window;
    std::vector<TimeSpan> sentences;

    bool SetUp(benchmark::State& state)
    {
        if (!server.Ready() || !monitor.emplace().WaitUntilListening()) {
            state.SkipWithError("no private sound server");
            return false;
        }
        const std::string media = CorpusFile(folder, 20.0).first;
        reference = DecodeSound(media);
        if (!OpenAndFind(window, folder, media)) {
            state.SkipWithError("the sentences were not found within 30 s");
            return false;
        }
        sentences = window.dlg->Sentences().Finder().Sentences();
        QTest::qWait(300);
        return true;
    }
};

// Heard at the server: N to the first sound of the sentence, past its end;
// the drill's plays, past their ends, and the pauses between them.
void BM_SentencesHeard(benchmark::State& state)
{
    HeardRig rig;
    if (!rig.SetUp(state))
        return;
    ServerRecording& monitor = *rig.monitor;
    WindowHarness& window = rig.window;
    const std::vector<TimeSpan>& sentences = rig.sentences;
    const DecodedSound& reference = rig.reference;

    HeardPlays plays(kRate);
    std::vector<double> pastEnd;
    std::size_t next = 0;
    for (auto _ : state) {
        if (next + 2 > sentences.size())
            next = 0;
        window.dlg->Segment().SetSegment(sentences[next].end, sentences[next].end);
        const TimeSpan sentence = sentences[next + 1];
        next += 2;
        const std::size_t mark = monitor.Size();
        window.dlg->Commands().CommandFor(Qt::Key_N)->trigger();
        if (!QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 10000)) {
            state.SkipWithError("the sentence did not end within 10 s");
            return;
        }
        QTest::qWait(400);
        const long first = std::lround(sentence.start * kRate);
        const long last = std::lround(sentence.end * kRate);
        if (const std::optional<HeardSpan> heard = plays.Add(reference.samples, monitor.From(mark), first, last))
            pastEnd.push_back(plays.Ms(heard->last - last));
    }
    plays.Report(state, "next");
    const Spread past = SpreadOf(pastEnd);
    state.counters["past_end_max_ms"] = past.max;
}
GUARDED_BENCHMARK(BM_SentencesHeard)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The drill at the server: each of two sentences twice, a pause of half its
// length after each play; where each play ended against the sentence's end,
// and each pause against the one set.
void BM_DrillHeard(benchmark::State& state)
{
    HeardRig rig;
    if (!rig.SetUp(state))
        return;
    ServerRecording& monitor = *rig.monitor;
    WindowHarness& window = rig.window;
    const std::vector<TimeSpan>& sentences = rig.sentences;
    const DecodedSound& reference = rig.reference;
    std::vector<double> pastEnd, pauseError;
    for (auto _ : state) {
        // From the third sentence on, two sentences: four plays.
        window.dlg->Segment().SetSegment(sentences[2].start, sentences[2].end);
        window.prompts.drillAnswers.push_back(DrillSettings{2, 0.5, true});
        const std::size_t mark = monitor.Size();
        window.dlg->Sentences().ChooseDrill();
        Drill& drill = window.dlg->Sentences().Drilling();
        const double total = 2 * 1.5 * (sentences[2].Length() + sentences[3].Length()) + 1;
        if (!QTest::qWaitFor([&] { return monitor.Size() > mark + std::size_t(total * kRate); }, int(total * 2000))) {
            state.SkipWithError("the server's monitor stopped recording");
            return;
        }
        drill.Stop();
        QTest::qWait(400);
        // The plays are the stretches of sound between the silences of the
        // pauses (the noise makes every played sample audible); a dropout of a
        // busy machine, far shorter than any pause here, does not end one.
        const std::vector<float> heard = monitor.From(mark);
        std::vector<std::pair<std::size_t, std::size_t>> stretches;
        for (std::size_t i = 0; i < heard.size(); ++i) {
            const bool silent = std::abs(heard[i]) < 1e-4f;
            if (!silent && (stretches.empty() || i > stretches.back().second + kRate / 5))
                stretches.push_back({i, i});
            if (!silent)
                stretches.back().second = i;
        }
        const TimeSpan played[] = {sentences[2], sentences[2], sentences[3], sentences[3]};
        for (std::size_t k = 0; k < 4 && k < stretches.size(); ++k) {
            std::vector<float> one(heard.begin() + std::ptrdiff_t(stretches[k].first),
                                   heard.begin() + std::ptrdiff_t(stretches[k].second + 1));
            const long last = std::lround(played[k].end * kRate);
            if (std::optional<HeardSpan> span = LocateHeard(reference.samples, one, std::lround(played[k].start * kRate),
                                                            last, kRate / 5))
                pastEnd.push_back(double(span->last - last) * 1000 / kRate);
            if (k + 1 < stretches.size() && k < 3) {
                const double pause = double(stretches[k + 1].first - stretches[k].second) / kRate;
                pauseError.push_back(1000 * (pause - 0.5 * played[k].Length()));
            }
        }
    }
    const Spread past = SpreadOf(pastEnd);
    const Spread pause = SpreadOf(pauseError);
    state.counters["past_end_min_ms"] = past.min;
    state.counters["past_end_max_ms"] = past.max;
    state.counters["pause_error_min_ms"] = pause.min;
    state.counters["pause_error_max_ms"] = pause.max;
    state.counters["plays_measured"] = double(pastEnd.size());
}
GUARDED_BENCHMARK(BM_DrillHeard)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
