// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the reader of the text streams inside media: an hour of sound
// in Matroska with two subtitle streams of 1,200 cues each (made once, kept
// in the build tree), read from Read to its report; the time, the CPU it
// took, and the peak of resident memory while it read against before.

#include "components/transcript/GstSubtitleStreams.h"
#include "ProcessFigures.h"
#include "support/PlayerMedia.h"

#include <QSignalSpy>
#include <benchmark/benchmark.h>
#include <string>

namespace {

void BM_HourLongMatroskaStreams(benchmark::State& state)
{
    const std::string path = PlayerMedia::HourLongSubtitledMkv();
    GstSubtitleStreams reader;
    double peakGrowth = 0;
    double cpu = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        QSignalSpy reports(&reader, &SubtitleStreams::streamsRead);
        ResetPeakResident();
        const double before = ResidentMiB();
        const double cpuBefore = ProcessCpuSeconds();
        reader.Read(path);
        if (!reports.wait(120000)) {
            state.SkipWithError("no report within two minutes");
            return;
        }
        cpu += ProcessCpuSeconds() - cpuBefore;
        peakGrowth = std::max(peakGrowth, PeakResidentMiB() - before);
        const auto reading = reports.front().front().value<SubtitleReading>();
        if (!reading.problem.empty() || reading.streams.size() != 2) {
            state.SkipWithError(("not the two streams: " + reading.problem).c_str());
            return;
        }
        lines = reading.streams[0].transcript.lines.size() + reading.streams[1].transcript.lines.size();
    }
    state.counters["lines"] = double(lines);
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["peak_growth_MiB"] = peakGrowth;
    state.counters["file_MiB"] = double(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HourLongMatroskaStreams)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
