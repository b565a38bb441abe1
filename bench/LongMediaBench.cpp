// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for ten-hour MP3s (constant and variable bit rate, made once and
// kept in the build tree): the time a load takes; the time from a click on
// Repeat to the first sound heard at hours 0.1, 5 and 9.9 (the first Repeat
// right after the start-up load, the first after the file sat loaded for
// 10 s, and later ones) and from a click on Play at hour 9.9, in the real
// window at a private PulseAudio server's monitor, with where the heard sound
// starts and how far past the segment's end it goes; and the player's seeks at
// hour 9.9: what the first one costs right after a load, and where the sound
// starts, to the sample. And the pause points of a long book: loading
// thousands of them, and adding one more, in the window (its list shown, as
// it is not in normal use, and hidden).

#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "support/SoundDecoder.h"
#include "support/WindowHarness.h"
#include "components/recorder/CMP3Enc.h"
#include "window/text/NumberText.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include "BenchPlayer.h"
#include "GuardedBenchmark.h"
#include "Spread.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <stdexcept>

namespace {

struct Format {
    const char* name;
    std::string (*path)();
};
const Format kFormats[] = {{"10 h mp3 cbr", &PlayerMedia::TenHourCbrMp3}, {"10 h mp3 vbr", &PlayerMedia::TenHourVbrMp3}};

constexpr int kRate = ServerRecording::kRate;
constexpr double kHours[] = {0.1, 5.0, 9.9};
constexpr int kDeepHour = 2;
// Segments and seek targets of an hour start within this many seconds of it.
constexpr double kSpread = 20.0;
constexpr double kSegmentSeconds = 1.0;
constexpr int kLaterRepeats = 5;
constexpr int kPlays = 5;
// How long the file sits loaded before the Repeat that is first "once loaded".
constexpr int kSettleMs = 10000;

// The decoded sound from a second before each hour to past its spread.
struct Reference {
    int rate = 0;
    std::vector<SoundStretch> stretches;

    const SoundStretch& At(int hour) const { return stretches[std::size_t(hour)]; }
    long SampleAt(int hour, double seconds) const { return std::lround((seconds - At(hour).from) * rate); }
};

void WriteReference(const std::string& file, const Reference& reference)
{
    const std::string scratch = file + ".part";
    {
        std::ofstream out(scratch, std::ios::binary);
        auto put = [&](const auto& value) { out.write(reinterpret_cast<const char*>(&value), sizeof value); };
        put(reference.rate);
        for (const SoundStretch& stretch : reference.stretches) {
            put(stretch.from);
            put(std::uint64_t(stretch.samples.size()));
            out.write(reinterpret_cast<const char*>(stretch.samples.data()),
                      std::streamsize(stretch.samples.size() * sizeof(float)));
        }
        if (!out)
            throw std::runtime_error("cannot write " + scratch);
    }
    std::filesystem::rename(scratch, file);
}

std::optional<Reference> ReadReference(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    auto get = [&](auto& value) { in.read(reinterpret_cast<char*>(&value), sizeof value); };
    Reference reference;
    get(reference.rate);
    for (std::size_t i = 0; i < std::size(kHours); ++i) {
        SoundStretch stretch;
        std::uint64_t count = 0;
        get(stretch.from);
        get(count);
        stretch.samples.resize(count);
        in.read(reinterpret_cast<char*>(stretch.samples.data()), std::streamsize(count * sizeof(float)));
        reference.stretches.push_back(std::move(stretch));
    }
    if (!in)
        return std::nullopt;
    return reference;
}

// Decoding a ten-hour file takes a minute or two: it is done once and kept
// beside the file.
const Reference& ReferenceOf(const std::string& path)
{
    static std::map<std::string, Reference> references;
    auto found = references.find(path);
    if (found != references.end())
        return found->second;
    const std::string file = path + ".reference";
    std::optional<Reference> reference = ReadReference(file);
    if (!reference) {
        std::vector<SoundStretch> wanted;
        for (double hour : kHours)
            wanted.push_back({hour * 3600 - 1, kSpread + 3, {}});
        DecodedStretches decoded = DecodeStretches(path, wanted);
        if (!decoded.problem.empty())
            throw std::runtime_error(decoded.problem);
        reference = Reference{decoded.rate, std::move(decoded.stretches)};
        WriteReference(file, *reference);
    }
    return references.emplace(path, std::move(*reference)).first->second;
}

void Count(benchmark::State& state, const std::string& name, const std::vector<double>& values)
{
    const Spread spread = SpreadOf(values);
    state.counters[name + "_min"] = spread.min;
    state.counters[name + "_median"] = spread.median;
    state.counters[name + "_max"] = spread.max;
}

// A private sound server, recorded at its sink's monitor.
struct SoundServer {
    SoundServer()
    {
        if (!server.Ready())
            throw std::runtime_error(server.Problem());
        monitor = std::make_unique<ServerRecording>();
        if (!monitor->WaitUntilListening())
            throw std::runtime_error("the server's monitor records nothing");
    }
    PrivatePulseSession server;
    std::unique_ptr<ServerRecording> monitor;
};

// The real program's window, started as the program starts with `media`
// remembered in its settings: the file is loaded (stopped) once the window is
// on screen.
class StartedWindow {
public:
    explicit StartedWindow(const std::string& media)
    {
        window.environment.settingsPath = window.PathIn("ardeno-recorder.ini");
        std::ofstream(window.environment.settingsPath, std::ios::binary)
            << "0.000000\r\n0.000000\r\n0.500000\r\n0.500000\r\n0.330000\r\n" << media;
        window.Create(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer());
        QObject::connect(&window.dlg->Opening(), &MediaSession::mediaLoaded, [this] { loaded = true; });
        window.dlg->OnInitDialog();
        window.dlg->show();
        if (!QTest::qWaitFor([this] { return loaded; }, 30000))
            throw std::runtime_error("the window did not load " + media);
    }

    WindowHarness window;
    bool loaded = false;
};

// What one click was followed by at the monitor.
struct Heard {
    double toSoundMs = 0;
    double firstErrorMs = 0;
    double pastEndMs = 0;
    bool gaps = false;
};

// Repeats the one-second segment from `start`; nothing when what was heard is
// not that segment.
std::optional<Heard> RepeatOnce(StartedWindow& started, ServerRecording& monitor, const Reference& reference,
                                int hour, double start)
{
    WindowHarness& window = started.window;
    window.dlg->Segment().SetSegment(start, start + kSegmentSeconds);
    const std::size_t mark = monitor.Size();
    window.Click(ControlId::Repeat);
    if (!QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 10000))
        throw std::runtime_error("Repeat did not stop within 10 s");
    // What the server still plays after the stop.
    QTest::qWait(400);
    const long first = reference.SampleAt(hour, start);
    const long end = reference.SampleAt(hour, start + kSegmentSeconds);
    std::optional<HeardSpan> heard =
        LocateHeard(reference.At(hour).samples, monitor.From(mark), first, end, reference.rate / 5);
    if (!heard)
        return std::nullopt;
    const double ms = 1000.0 / reference.rate;
    return Heard{double(heard->silenceBefore) * ms, double(heard->first - first) * ms,
                 double(heard->last - end) * ms, heard->gaps > 0};
}

// Play from `end` (Play makes the segment's end its start); nothing when what
// was heard is not the file there.
std::optional<Heard> PlayOnce(StartedWindow& started, ServerRecording& monitor, const Reference& reference, int hour,
                              double end)
{
    WindowHarness& window = started.window;
    window.dlg->Segment().SetSegment(end - kSegmentSeconds, end);
    const std::size_t mark = monitor.Size();
    const std::size_t boxes = window.prompts.boxes.size();
    window.Click(ControlId::Play);
    if (window.prompts.boxes.size() > boxes)
        throw std::runtime_error("Play failed: " + window.prompts.boxes[boxes].text);
    // Half a second of sound, however late it comes.
    std::size_t silence = 0;
    const bool heardAny = QTest::qWaitFor(
        [&] { return AfterSilence(monitor.From(mark), silence).size() >= std::size_t(kRate / 2); }, 15000);
    window.Click(ControlId::TopStop);
    if (!heardAny)
        return std::nullopt;
    QTest::qWait(300);
    std::vector<float> heard = AfterSilence(monitor.From(mark), silence);
    const long expected = reference.SampleAt(hour, end);
    std::optional<long> first =
        FindInReference(reference.At(hour).samples, heard, expected, reference.rate / 10, 0);
    if (!first)
        return std::nullopt;
    const double ms = 1000.0 / reference.rate;
    return Heard{double(silence) * ms, double(*first - expected) * ms, 0, false};
}

// The first Repeat at `hour` right after the start-up load, the first after
// the file sat loaded for 10 s, and later ones.
void BM_LongRepeat(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    const int hour = int(state.range(1));
    const std::string media = format.path();
    const Reference& reference = ReferenceOf(media);
    SoundServer sound;
    std::mt19937 random(13);
    std::uniform_real_distribution<double> place(kHours[hour] * 3600, kHours[hour] * 3600 + kSpread - 1.5);
    std::vector<double> later, laterError, laterPastEnd;
    int unmatched = 0;
    int withGaps = 0;
    for (auto _ : state) {
        std::optional<Heard> rightAfter;
        {
            StartedWindow started(media);
            rightAfter = RepeatOnce(started, *sound.monitor, reference, hour, place(random));
        }
        StartedWindow started(media);
        QTest::qWait(kSettleMs);
        std::optional<Heard> settled = RepeatOnce(started, *sound.monitor, reference, hour, place(random));
        for (int i = 0; i < kLaterRepeats; ++i) {
            if (std::optional<Heard> heard = RepeatOnce(started, *sound.monitor, reference, hour, place(random))) {
                later.push_back(heard->toSoundMs);
                laterError.push_back(heard->firstErrorMs);
                laterPastEnd.push_back(heard->pastEndMs);
                withGaps += heard->gaps;
            } else {
                ++unmatched;
            }
        }
        state.counters["first_right_after_load_ms"] = rightAfter ? rightAfter->toSoundMs : -1;
        state.counters["first_after_10s_ms"] = settled ? settled->toSoundMs : -1;
        unmatched += !rightAfter + !settled;
        for (const std::optional<Heard>& first : {rightAfter, settled}) {
            if (first) {
                laterError.push_back(first->firstErrorMs);
                laterPastEnd.push_back(first->pastEndMs);
                withGaps += first->gaps;
            }
        }
    }
    Count(state, "later_ms", later);
    Count(state, "first_sample_error_ms", laterError);
    Count(state, "past_end_ms", laterPastEnd);
    state.counters["repeats_measured"] = double(laterError.size());
    state.counters["unmatched"] = unmatched;
    state.counters["repeats_with_dropouts"] = withGaps;
    state.SetLabel(std::string(format.name) + " at hour " + std::to_string(kHours[hour]).substr(0, 3));
}
GUARDED_BENCHMARK(BM_LongRepeat)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// Play at hour 9.9, in a window that has played already.
void BM_LongPlay(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    const std::string media = format.path();
    const Reference& reference = ReferenceOf(media);
    SoundServer sound;
    std::mt19937 random(17);
    const double from = kHours[kDeepHour] * 3600;
    std::uniform_real_distribution<double> place(from + kSegmentSeconds, from + kSpread - 1.5);
    std::vector<double> toSound, error;
    int unmatched = 0;
    for (auto _ : state) {
        StartedWindow started(media);
        RepeatOnce(started, *sound.monitor, reference, kDeepHour, place(random));
        for (int i = 0; i < kPlays; ++i) {
            if (std::optional<Heard> heard = PlayOnce(started, *sound.monitor, reference, kDeepHour, place(random))) {
                toSound.push_back(heard->toSoundMs);
                error.push_back(heard->firstErrorMs);
            } else {
                ++unmatched;
            }
        }
    }
    Count(state, "play_to_sound_ms", toSound);
    Count(state, "first_sample_error_ms", error);
    state.counters["unmatched"] = unmatched;
    state.SetLabel(std::string(format.name) + " at hour 9.9");
}
GUARDED_BENCHMARK(BM_LongPlay)->DenseRange(0, 1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_LongLoad(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    MeasureLoads(state, format.path());
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_LongLoad)->DenseRange(0, 1)->Iterations(10)->Unit(benchmark::kMillisecond);

// The first seek to hour 9.9 right after a load, in a new player each time
// (what it learns of a file it keeps for that file).
void BM_LongFirstDeepSeek(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    const std::string media = format.path();
    for (auto _ : state) {
        state.PauseTiming();
        auto player = MakePlayer();
        player->SetMediaFileName(media);
        state.ResumeTiming();
        player->SetCurrentPosition(kHours[kDeepHour] * 3600);
        state.PauseTiming();
        player.reset();
        state.ResumeTiming();
    }
    state.SetLabel(format.name);
}
GUARDED_BENCHMARK(BM_LongFirstDeepSeek)->DenseRange(0, 1)->Iterations(5)->Unit(benchmark::kMillisecond);

// Later seeks to hour 9.9 (timed), each followed by playback until the sound
// output has enough to say where it started.
void BM_LongSeekAccuracy(benchmark::State& state)
{
    const Format& format = kFormats[state.range(0)];
    const std::string media = format.path();
    const Reference& reference = ReferenceOf(media);
    SoundCapture sound;
    auto player = MakePlayer(sound.Sink());
    player->SetMediaFileName(media);
    const double from = kHours[kDeepHour] * 3600;
    player->SetCurrentPosition(from);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(from, from + kSpread - 1.5);
    std::vector<double> errors;
    int unmatched = 0;
    for (auto _ : state) {
        const double target = place(random);
        player->SetCurrentPosition(target);
        state.PauseTiming();
        player->Play();
        const bool played = QTest::qWaitFor([&] { return sound.PlayedCount() >= 4096; }, 3000);
        player->Pause();
        const long expected = reference.SampleAt(kDeepHour, target);
        std::optional<long> start;
        if (played)
            start = FindInReference(reference.At(kDeepHour).samples, sound.Played(), expected, reference.rate);
        if (start)
            errors.push_back(std::abs(double(*start - expected)));
        else
            ++unmatched;
        state.ResumeTiming();
    }
    const Spread spread = SpreadOf(errors);
    state.counters["worst_samples"] = spread.max;
    state.counters["median_samples"] = spread.median;
    state.counters["unmatched"] = unmatched;
    state.SetLabel(std::string(format.name) + " at hour 9.9");
}
GUARDED_BENCHMARK(BM_LongSeekAccuracy)->DenseRange(0, 1)->Iterations(25)->Unit(benchmark::kMillisecond);

// A pause-point file of range(0) points (one every 7.5 s of a long book),
// loaded by the window; range(1) shows the list.
class PausePointWindow {
public:
    explicit PausePointWindow(benchmark::State& state)
    {
        window.Start();
        const std::string media = window.PathIn("book.mp3");
        std::string text;
        for (std::int64_t i = 0; i < state.range(0); ++i)
            text += FormatFileTime(7.5 * double(i)) + "\r\n";
        std::ofstream(window.PathIn("book.txt"), std::ios::binary) << text;
        window.dlg->Media().SetPath(media);
        if (state.range(1))
            window.PointList()->show();
    }
    WindowHarness window;
};

// Runs `command` of the window's pause points once per iteration, the points
// loaded first.
void MeasurePausePoints(benchmark::State& state, const std::function<void(PausePoints&, const std::string&)>& command)
{
    PausePointWindow window(state);
    PausePoints& points = window.window.dlg->Points();
    const std::string media = window.window.dlg->Media().Path();
    points.LoadPausePoints(media);
    for (auto _ : state) {
        command(points, media);
        QApplication::processEvents();
    }
    state.counters["points"] = double(points.Times().size());
    state.SetLabel(state.range(1) ? "list shown" : "list hidden");
}

void BM_PausePointsLoad(benchmark::State& state)
{
    MeasurePausePoints(state, [](PausePoints& points, const std::string& media) { points.LoadPausePoints(media); });
}
GUARDED_BENCHMARK(BM_PausePointsLoad)
    ->ArgsProduct({{300, 5000, 50000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Add puts a point after the last one and selects it.
void BM_PausePointAdd(benchmark::State& state)
{
    MeasurePausePoints(state, [](PausePoints& points, const std::string&) { points.Add(); });
}
GUARDED_BENCHMARK(BM_PausePointAdd)
    ->ArgsProduct({{300, 5000, 50000}, {0, 1}})
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

} // namespace
