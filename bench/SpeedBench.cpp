// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for playback at other speeds than the media's own, heard where a
// listener hears it: the real window with the real player plays to a private
// PulseAudio server, whose sink is recorded at its monitor.
//
// A 2 s segment of the stepped tone, and one of a train of 5 ms clicks every
// 250 ms (from 2.5 ms into one click to 2.5 ms into another, so that both
// ends are heard and found by their content), repeated at 50 %, 75 % and
// 150 %: how long after Repeat the sound came, how long it lasted against
// 2 s / speed, how far from the segment's ends its first and last sample
// were, the tone's pitch, and the clicks heard against those played and their
// width. And a speed key pressed while white noise plays at 100 %: how soon
// the new speed is heard, and how far its sound is from where the sound
// before it stopped.

#include "GuardedBenchmark.h"
#include "Spread.h"
#include "components/recorder/CMP3Enc.h"
#include "support/PlayedSound.h"
#include "support/PlayerMedia.h"
#include "support/PrivatePulseSession.h"
#include "support/SoundMeasure.h"
#include "support/SteppedTone.h"
#include "support/WindowHarness.h"
#include "window/commands/WindowCommands.h"
#include "window/speed/PlaybackSpeed.h"

#include <QAction>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kRate = ServerRecording::kRate;
constexpr double kSegmentSeconds = 2.0;
// The last (and first) 5 ms of a segment are its own at any speed: what is
// heard there is found in the file by its content.
constexpr std::size_t kEdge = kRate / 200;

double Ms(double samples)
{
    return samples * 1000.0 / kRate;
}

struct Sound {
    const char* name;
    std::string (*path)();
    double start;
};
const Sound kSounds[] = {{"stepped tone", &PlayerMedia::SteppedToneWav, 1.5},
                         {"clicks", &PlayerMedia::BurstTrainWav, 1.0 + kBurstSeconds / 2}};

// The window with the real player and recorder at a private sound server,
// the media opened; nothing if any of it could not be set up (the reason is
// the benchmark's error).
struct Rig {
    PrivatePulseSession server;
    std::optional<ServerRecording> monitor;
    DecodedSound reference;
    WindowHarness window;

    bool SetUp(benchmark::State& state, const std::string& media)
    {
        if (!server.Ready()) {
            state.SkipWithError(server.Problem().c_str());
            return false;
        }
        monitor.emplace();
        if (!monitor->WaitUntilListening()) {
            state.SkipWithError("the server's monitor records nothing");
            return false;
        }
        reference = DecodeSound(media);
        if (!reference.problem.empty()) {
            state.SkipWithError(reference.problem.c_str());
            return false;
        }
        window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer());
        window.prompts.openAnswers.push_back(media);
        // Open plays the media; what is measured starts from silence.
        window.Click(ControlId::Open);
        QTest::qWait(300);
        window.Click(ControlId::TopStop);
        QTest::qWait(300);
        return true;
    }

    // Where `heard` (kEdge samples) lies in the file near `expected`.
    std::optional<long> Find(const std::vector<float>& heard, long expected) const
    {
        return FindInReference(reference.samples, heard, expected, kRate / 10, 0, kEdge);
    }
};

void Report(benchmark::State& state, const std::string& name, const std::vector<double>& values)
{
    const Spread spread = SpreadOf(values);
    state.counters[name + "_min"] = spread.min;
    state.counters[name + "_median"] = spread.median;
    state.counters[name + "_max"] = spread.max;
}

// range(0): the sound (kSounds), range(1): the speed in percent.
void BM_SegmentAtSpeed(benchmark::State& state)
{
    const Sound& sound = kSounds[state.range(0)];
    const double speed = double(state.range(1)) / 100;
    state.SetLabel(std::string(sound.name) + " at " + std::to_string(state.range(1)) + " %");
    Rig rig;
    if (!rig.SetUp(state, sound.path()))
        return;
    rig.window.dlg->Speed().SetSpeed(speed);
    rig.window.dlg->Segment().SetSegment(sound.start, sound.start + kSegmentSeconds);
    const long startSample = std::lround(sound.start * kRate);
    const long endSample = std::lround((sound.start + kSegmentSeconds) * kRate);
    const std::vector<float> segment(rig.reference.samples.begin() + startSample,
                                     rig.reference.samples.begin() + endSample);
    const std::vector<Burst> played = FindBursts(segment, kRate);

    std::vector<double> toSound, durationError, startError, pastEnd, pitchError, clickRatio, clickWidth;
    int unmatched = 0;
    for (auto _ : state) {
        QTest::qWait(300);
        const std::size_t mark = rig.monitor->Size();
        rig.window.Click(ControlId::Repeat);
        if (!QTest::qWaitFor([&] { return !rig.window.dlg->IsTimerRunning(RepeatTimer); }, 10000)) {
            state.SkipWithError("Repeat did not stop within 10 s");
            break;
        }
        QTest::qWait(400);
        const std::vector<float> recorded = rig.monitor->From(mark);
        const SoundSpan span = FindSound(recorded);
        if (span.last - span.first < 2 * kEdge) {
            ++unmatched;
            continue;
        }
        const std::vector<float> heard(recorded.begin() + std::ptrdiff_t(span.first),
                                       recorded.begin() + std::ptrdiff_t(span.last));
        toSound.push_back(Ms(double(span.first)));
        durationError.push_back(Ms(double(heard.size())) - kSegmentSeconds / speed * 1000);
        if (state.range(0) == 0) {
            // Each second's tone, read 0.1 s away from the changes.
            double worst = 0;
            for (int second = 1; second <= 3; ++second) {
                const double from = std::max(double(second), sound.start) + 0.1;
                const double to = std::min(second + 1.0, sound.start + kSegmentSeconds) - 0.1;
                const auto at = std::size_t((from - sound.start) / speed * kRate);
                const auto count = std::size_t((to - from) / speed * kRate);
                const double frequency = ToneFrequency(std::span(heard).subspan(at, count), kRate);
                worst = std::max(worst, std::abs(frequency / SteppedTone::Frequency(second) - 1) * 100);
            }
            pitchError.push_back(worst);
        } else {
            // A steady tone matches itself a period away, so the ends are
            // found by their content only in the clicks.
            const std::optional<long> first = rig.Find(heard, startSample);
            const std::optional<long> tail = rig.Find(std::vector<float>(heard.end() - kEdge, heard.end()),
                                                      endSample - long(kEdge));
            if (first && tail) {
                startError.push_back(Ms(double(*first - startSample)));
                pastEnd.push_back(Ms(double(*tail + long(kEdge) - endSample)));
            } else {
                ++unmatched;
            }
            const std::vector<Burst> clicks = FindBursts(heard, kRate);
            clickRatio.push_back(double(clicks.size()) / double(played.size()));
            clickWidth.push_back(MedianWidth(clicks) * 1000);
        }
    }
    Report(state, "repeat_to_sound_ms", toSound);
    Report(state, "duration_error_ms", durationError);
    if (state.range(0) == 0) {
        Report(state, "pitch_error_percent", pitchError);
    } else {
        Report(state, "first_sample_error_ms", startError);
        Report(state, "past_end_ms", pastEnd);
        Report(state, "click_ratio", clickRatio);
        Report(state, "click_width_ms", clickWidth);
        state.counters["clicks_played"] = double(played.size());
        state.counters["played_click_width_ms"] = MedianWidth(played) * 1000;
    }
    state.counters["repeats_measured"] = double(toSound.size());
    state.counters["unmatched"] = unmatched;
}
GUARDED_BENCHMARK(BM_SegmentAtSpeed)
    ->ArgsProduct({{0, 1}, {50, 75, 150}})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A speed key while white noise plays at 100 %: [ (90 %) or ] (110 %), by
// range(0).
void BM_SpeedKeyToSound(benchmark::State& state)
{
    const Qt::Key key = state.range(0) == 0 ? Qt::Key_BracketLeft : Qt::Key_BracketRight;
    state.SetLabel(state.range(0) == 0 ? "[ to 90 %" : "] to 110 %");
    Rig rig;
    if (!rig.SetUp(state, PlayerMedia::Wav()))
        return;
    CRecorderDlg& dlg = *rig.window.dlg;
    QAction* command = dlg.Commands().CommandFor(key);
    std::vector<double> toNewSpeed, jump;
    int unmatched = 0;
    for (auto _ : state) {
        dlg.Speed().Normal();
        dlg.Segment().SetSegment(0.5, PlayerMedia::kSoundSeconds - 0.5);
        rig.window.Click(ControlId::Repeat);
        QTest::qWait(700);
        const std::size_t before = rig.monitor->Size() - kRate / 10;
        const double position = dlg.Player().GetCurrentPosition();
        const std::size_t mark = rig.monitor->Size();
        command->trigger();
        QTest::qWait(500);
        dlg.Segment().Stop();
        const std::vector<float> recorded = rig.monitor->From(before);
        // The sound before the key, followed as long as it goes on in the
        // file; then the first sound after it, found in the file.
        const std::vector<float> old(recorded.begin(), recorded.begin() + std::ptrdiff_t(kEdge));
        const std::optional<long> oldAt = rig.Find(old, std::lround((position - 0.1) * kRate));
        if (!oldAt) {
            ++unmatched;
            continue;
        }
        std::size_t end = 0;
        while (end < recorded.size() && std::size_t(*oldAt) + end < rig.reference.samples.size() &&
               std::abs(recorded[end] - rig.reference.samples[std::size_t(*oldAt) + end]) < 1e-3f)
            ++end;
        std::size_t next = end;
        while (next < recorded.size() && IsSilent(recorded[next]))
            ++next;
        if (next + kEdge > recorded.size()) {
            ++unmatched;
            continue;
        }
        const std::vector<float> fresh(recorded.begin() + std::ptrdiff_t(next),
                                       recorded.begin() + std::ptrdiff_t(next + kEdge));
        const std::optional<long> freshAt = rig.Find(fresh, *oldAt + long(end));
        if (!freshAt) {
            ++unmatched;
            continue;
        }
        toNewSpeed.push_back(Ms(double(next) - double(mark - before)));
        jump.push_back(Ms(double(*freshAt - (*oldAt + long(end)))));
    }
    dlg.Speed().Normal();
    Report(state, "key_to_new_speed_ms", toNewSpeed);
    Report(state, "position_jump_ms", jump);
    state.counters["changes_measured"] = double(toNewSpeed.size());
    state.counters["unmatched"] = unmatched;
}
GUARDED_BENCHMARK(BM_SpeedKeyToSound)->DenseRange(0, 1)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
