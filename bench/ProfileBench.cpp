// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the sound profile, on an hour of mp3 (white noise, stereo,
// 128 kbit/s): the time from a click on Open to the first waveform drawn; the
// CPU time of the whole profile next to that of a pipeline that only decodes
// the file (the floor); reading it back from the cache; the memory it takes;
// how long a cancel takes; and the cost of painting the view. Repeat while a
// profile is being made is measured by repeat_bench.

#include "GuardedBenchmark.h"
#include "ProcessFigures.h"
#include "components/GstElements.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"
#include "components/player/GstMediaPlayer.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/profile/ProfileCache.h"
#include "support/PlayerMedia.h"
#include "support/WindowHarness.h"
#include "window/media/MediaProfile.h"
#include "window/preferences/Preferences.h"
#include "window/waveform/WaveformView.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace {

// The longest an hour's profile may take before the benchmark gives up.
constexpr int kProfileLimitMs = 120000;

// Runs the event loop until the profile is no longer growing; false when it
// still is after the limit.
bool WaitUntilMade(const SoundProfiler& profiler)
{
    return QTest::qWaitFor([&] { return profiler.Profile().State() != SoundProfile::Progress::Analysing; },
                           kProfileLimitMs);
}

// The real player, its sound going to a sink that keeps time and plays nothing
// (no sound server is needed).
std::unique_ptr<IMediaPlayer> SilentPlayer()
{
    InitialiseMediaFramework();
    GstElementHandle sink = MakeElement("fakesink");
    g_object_set(sink.get(), "sync", TRUE, nullptr);
    return std::make_unique<GstMediaPlayer>(GstPlayerSettings{std::move(sink)});
}

bool Complete(const SoundProfiler& profiler, benchmark::State& state)
{
    if (profiler.Profile().State() == SoundProfile::Progress::Complete)
        return true;
    state.SkipWithError(("no complete profile: " + profiler.Profile().Problem()).c_str());
    return false;
}

// The floor: the same file through decodebin into a fakesink, as fast as it goes.
void BM_DecodeOnly(benchmark::State& state)
{
    InitialiseMediaFramework();
    const std::string path = PlayerMedia::HourLongMp3();
    double cpu = 0;
    for (auto _ : state) {
        GstPipelineHandle pipeline =
            AdoptPipeline(gst_parse_launch("filesrc name=in ! decodebin ! fakesink sync=false", nullptr));
        GstElementHandle in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
        g_object_set(in.get(), "location", path.c_str(), nullptr);
        const double before = ProcessCpuSeconds();
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
        GstBusHandle bus(gst_element_get_bus(pipeline.get()));
        GstMessageHandle end(gst_bus_timed_pop_filtered(bus.get(), GST_CLOCK_TIME_NONE,
                                                        GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        cpu += ProcessCpuSeconds() - before;
        if (GST_MESSAGE_TYPE(end.get()) != GST_MESSAGE_EOS)
            state.SkipWithError("the hour of mp3 does not decode");
    }
    state.counters["cpu_s"] = cpu / double(state.iterations());
}
GUARDED_BENCHMARK(BM_DecodeOnly)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole profile of the hour, nothing kept before; with the resident
// memory it adds while it is made (the media framework is loaded beforehand).
void BM_WholeProfile(benchmark::State& state)
{
    const std::string path = PlayerMedia::HourLongMp3();
    double cpu = 0;
    double peakGrowth = 0;
    std::size_t summaryBytes = 0;
    std::uintmax_t keptBytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        QTemporaryDir cache;
        auto profiler = CreateSoundProfiler(cache.path().toStdString());
        const double residentBefore = ResidentMiB();
        double residentPeak = residentBefore;
        const double before = ProcessCpuSeconds();
        profiler->Analyse(path);
        while (!QTest::qWaitFor([&] { return profiler->Profile().State() != SoundProfile::Progress::Analysing; }, 50))
            residentPeak = std::max(residentPeak, ResidentMiB());
        cpu += ProcessCpuSeconds() - before;
        if (!Complete(*profiler, state))
            break;
        peakGrowth = std::max(peakGrowth, residentPeak - residentBefore);
        summaryBytes = profiler->Profile().Summary().size_bytes();
        seconds = profiler->Profile().Seconds();
        keptBytes = std::filesystem::file_size(ProfileCache(cache.path().toStdString()).PathFor(*FileIdentity::Of(path)));
    }
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["profiled_s"] = seconds;
    const double hours = std::max(1.0, seconds) / 3600.0;
    state.counters["summary_KiB_per_hour"] = double(summaryBytes) / 1024.0 / hours;
    state.counters["kept_MiB_per_hour"] = double(keptBytes) / (1024.0 * 1024.0) / hours;
    state.counters["resident_growth_peak_MiB"] = peakGrowth;
}
GUARDED_BENCHMARK(BM_WholeProfile)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Analyse on a profile that was kept: complete on return.
void BM_ReopenFromCache(benchmark::State& state)
{
    const std::string path = PlayerMedia::HourLongMp3();
    QTemporaryDir cache;
    auto profiler = CreateSoundProfiler(cache.path().toStdString());
    profiler->Analyse(path);
    if (!WaitUntilMade(*profiler) || !Complete(*profiler, state))
        return;
    for (auto _ : state) {
        profiler->Analyse(path);
        if (profiler->Profile().State() != SoundProfile::Progress::Complete)
            state.SkipWithError("the kept profile was not used");
    }
}
GUARDED_BENCHMARK(BM_ReopenFromCache)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// A cancel half a second into the hour's profile.
void BM_Cancel(benchmark::State& state)
{
    const std::string path = PlayerMedia::HourLongMp3();
    QTemporaryDir cache;
    auto profiler = CreateSoundProfiler(cache.path().toStdString());
    for (auto _ : state) {
        state.PauseTiming();
        profiler->Analyse(path);
        QTest::qWait(500);
        state.ResumeTiming();
        profiler->Cancel();
    }
}
GUARDED_BENCHMARK(BM_Cancel)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// The real window and player: from the click on Open to the first paint of
// the view that has levels to draw, nothing kept before.
void BM_FirstWaveformDrawn(benchmark::State& state)
{
    const std::string path = PlayerMedia::HourLongMp3();
    for (auto _ : state) {
        QTemporaryDir cache;
        WindowHarness window;
        window.Start(nullptr, SilentPlayer(), CreateSoundProfiler(cache.path().toStdString()));
        const MediaProfile& profile = window.dlg->Profile();
        std::optional<double> drawnAfterMs;
        QElapsedTimer clock;
        // Painted with levels: the paint event arrives after the profile grew.
        struct PaintWatch : QObject {
            std::function<void()> onPaint;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    onPaint();
                return false;
            }
        } paints;
        paints.onPaint = [&] {
            if (!drawnAfterMs && profile.Profile().BlockCount() > 0)
                drawnAfterMs = double(clock.nsecsElapsed()) / 1e6;
        };
        window.dlg->Waveform().installEventFilter(&paints);
        window.prompts.openAnswers.push_back(path);
        clock.start();
        window.Click(ControlId::Open);
        if (!QTest::qWaitFor([&] { return drawnAfterMs.has_value(); }, 10000)) {
            state.SkipWithError("no waveform drawn within 10 s");
            break;
        }
        state.SetIterationTime(*drawnAfterMs / 1000.0);
    }
}
GUARDED_BENCHMARK(BM_FirstWaveformDrawn)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Painting the whole view in the real window, with the hour's profile
// complete and the view showing range(0) seconds around the middle of the
// hour: with its picture made afresh (after a zoom, a scroll or new levels),
// or from the picture (each frame of the moving cursor paints less than this).
void MeasureRepaint(benchmark::State& state, bool afresh)
{
    const std::string path = PlayerMedia::HourLongMp3();
    QTemporaryDir cache;
    WindowHarness window;
    Preferences(window.environment.preferencesPath).SetValue(QStringLiteral("Waveform/SpanSeconds"), double(state.range(0)));
    window.Start(nullptr, SilentPlayer(), CreateSoundProfiler(cache.path().toStdString()));
    window.prompts.openAnswers.push_back(path);
    window.Click(ControlId::Open);
    window.dlg->Segment().Pause();
    if (!QTest::qWaitFor([&] { return window.dlg->Profile().Profile().State() != SoundProfile::Progress::Analysing; },
                         kProfileLimitMs)) {
        state.SkipWithError("the profile was not made in time");
        return;
    }
    window.dlg->Player().SetCurrentPosition(1800);
    WaveformView& view = window.dlg->Waveform();
    view.SetBands(QStringLiteral("segment of the benchmark"), {{1795, 1805, QColor(255, 255, 255, 40), {}}});
    view.repaint();
    for (auto _ : state) {
        if (afresh) {
            state.PauseTiming();
            view.SetBands(QStringLiteral("segment of the benchmark"), {{1795, 1805, QColor(255, 255, 255, 40), {}}});
            state.ResumeTiming();
        }
        view.repaint();
    }
    state.counters["width_px"] = view.width();
    state.counters["span_s"] = view.Axis().Span();
}

void BM_RepaintAfresh(benchmark::State& state)
{
    MeasureRepaint(state, true);
}
GUARDED_BENCHMARK(BM_RepaintAfresh)->Arg(1)->Arg(20)->Arg(3600)->Unit(benchmark::kMillisecond);

void BM_RepaintFromPicture(benchmark::State& state)
{
    MeasureRepaint(state, false);
}
GUARDED_BENCHMARK(BM_RepaintFromPicture)->Arg(20)->Unit(benchmark::kMillisecond);

} // namespace
