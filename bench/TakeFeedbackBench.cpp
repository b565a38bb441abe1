// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the feedback on a take as the window gets it, on a 10 s
// sentence at 5 s of a 30 s MP3 lesson (a speech-like buzz) and a 10.5 s take
// of it in the recorder's format (MP3, 44.1 kHz stereo), the take's melody a
// fifth higher and its tempo swinging:
//
// - BM_TakeComparedInBackground: the real comparer, from Compare to its report
//   on the GUI thread: the sentence decoded from its place in the lesson, the
//   take decoded whole, the two compared.
// - BM_FeedbackDrawn: the window (fake engines) given that comparison, from
//   the report to the sound area painted with the two melodies and the marks.
//
// Their sum is the time from a take's end until its feedback shows.

#include "GuardedBenchmark.h"
#include "Spread.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"
#include "components/feedback/BackgroundTakeComparer.h"
#include "support/FileBytes.h"
#include "support/SyntheticVoice.h"
#include "support/WavFile.h"
#include "support/WindowHarness.h"
#include "window/feedback/TakeFeedback.h"
#include "window/shadowing/Shadowing.h"
#include "window/waveform/WaveformView.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <stdexcept>

namespace {

const TimeSpan kSentence{5, 15};

// `wav` encoded as the recorder encodes.
void EncodeMp3(const std::string& wav, const std::string& mp3)
{
    if (std::optional<std::string> problem = InitialiseMediaFramework())
        throw std::runtime_error(*problem);
    const std::string description = "filesrc location=\"" + wav + "\" ! wavparse ! audioconvert ! audioresample ! "
                                    "audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! filesink location=\"" + mp3 + "\"";
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(description.c_str(), nullptr));
    if (!pipeline)
        throw std::runtime_error("cannot make " + mp3);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    const GstMessageHandle end{gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                                          GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))};
    if (!end || GST_MESSAGE_TYPE(end.get()) != GST_MESSAGE_EOS)
        throw std::runtime_error("cannot encode " + mp3);
}

struct Material {
    QTemporaryDir dir;
    std::string lesson = dir.filePath("lesson.mp3").toStdString();
    std::string take = dir.filePath("take.mp3").toStdString();

    Material()
    {
        using namespace SyntheticVoice;
        const Voice speaker;
        const std::vector<float> lessonSound = Render(speaker, 30);
        Voice learner;
        learner.f0 = [&](double t) { return 1.5 * speaker.f0(t); };
        // Said 0.5 s late, its tempo swinging by a quarter either way.
        const std::vector<float> takeSound = Render(learner, 10.5, [](double t) {
            return t < 0.5 ? kSentence.start : kSentence.start + (t - 0.5) + 0.2 * std::sin(t * std::numbers::pi / 2.5);
        });
        const std::string lessonWav = dir.filePath("lesson.wav").toStdString();
        const std::string takeWav = dir.filePath("take.wav").toStdString();
        WriteFileBytes(lessonWav, WavBytes(lessonSound, kRate));
        WriteFileBytes(takeWav, WavBytes(takeSound, kRate));
        EncodeMp3(lessonWav, lesson);
        EncodeMp3(takeWav, take);
    }
};

const Material& TheMaterial()
{
    static const Material material;
    return material;
}

ComparedTake CompareOnce(BackgroundTakeComparer& comparer)
{
    const Material& material = TheMaterial();
    QSignalSpy reported(&comparer, &TakeComparer::compared);
    comparer.Compare({material.lesson, kSentence, material.take});
    if (!reported.wait(10000))
        throw std::runtime_error("the comparer did not report within 10 s");
    ComparedTake result = reported.front().front().value<ComparedTake>();
    if (!result.problem.empty())
        throw std::runtime_error(result.problem);
    if (result.comparison.reason)
        throw std::runtime_error(*result.comparison.reason);
    return result;
}

void BM_TakeComparedInBackground(benchmark::State& state)
{
    BackgroundTakeComparer comparer;
    CompareOnce(comparer); // the thread started, the framework's plugins loaded
    std::vector<double> ms;
    ComparedTake result;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        result = CompareOnce(comparer);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(ms.back() / 1000);
    }
    const Spread spread = SpreadOf(ms);
    state.counters["min_ms"] = spread.min;
    state.counters["median_ms"] = spread.median;
    state.counters["max_ms"] = spread.max;
    state.counters["melody_score"] = result.comparison.melodyScore.value_or(-1);
    state.counters["timing_score"] = result.comparison.timingScore;
    state.counters["marks"] = double(result.comparison.slower.size() + result.comparison.faster.size()
                                     + result.comparison.unmatched.size());
}
GUARDED_BENCHMARK(BM_TakeComparedInBackground)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_FeedbackDrawn(benchmark::State& state)
{
    BackgroundTakeComparer comparer;
    const TakeComparison comparison = CompareOnce(comparer).comparison;

    WindowHarness window;
    window.Start();
    window.player->length = 30;
    window.dlg->resize(window.dlg->size());
    const std::string media = window.OpenMedia("lesson.mp3");
    const std::string take = window.dlg->Shadow().TakePath(kSentence);
    std::filesystem::create_directories(std::filesystem::path(take).parent_path());
    WriteFileBytes(take, "take");
    window.OpenMedia("lesson.mp3");
    window.player->position = kSentence.start;
    window.dlg->Segment().SetSegment(kSentence.start, kSentence.end);
    WaveformView& view = window.dlg->Waveform();
    std::vector<double> ms;
    for (auto _ : state) {
        window.MenuCommand("Play my take")->trigger();
        QElapsedTimer timer;
        timer.start();
        window.takeComparer->Deliver(comparison);
        view.grab();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(ms.back() / 1000);
        if (window.dlg->Feedback().Marks().empty() && !comparison.slower.empty())
            throw std::runtime_error("no marks were drawn");
    }
    const Spread spread = SpreadOf(ms);
    state.counters["min_ms"] = spread.min;
    state.counters["median_ms"] = spread.median;
    state.counters["max_ms"] = spread.max;
}
GUARDED_BENCHMARK(BM_FeedbackDrawn)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
