// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the transcript readers: a ten-hour audiobook's LRC of 10,000
// bilingual lines (Chinese text, its English translation at the same time
// tag) read from its file in UTF-8 and in GB18030, and an SRT of 5,000 cues;
// the time of ReadTranscriptFile and the heap the transcript holds after it.
// No window, no sound: the readers alone.

#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int kBookLines = 10000;
constexpr int kCues = 5000;
constexpr double kBookSeconds = 10 * 3600.0;

const char* const kChinese[] = {"他每天早上六点起床，然后去公园跑步。", "这本书讲的是一个小村庄的故事。",
                                "我们明天下午三点在图书馆门口见面。", "请你把窗户关上，外面太冷了。"};
const char* const kEnglish[] = {"He gets up at six every morning and goes running in the park.",
                                "This book tells the story of a small village.",
                                "Let's meet at the library entrance at three tomorrow afternoon.",
                                "Please close the window, it is too cold outside."};

// The book's lines, each with its translation, evenly over ten hours.
Transcript Book(TranscriptFormat format, int lines, bool bilingual)
{
    Transcript book;
    book.format = format;
    book.tags = {{"ti", "A ten-hour book"}, {"ar", "A reader"}};
    const double step = kBookSeconds / lines;
    for (int i = 0; i < lines; ++i) {
        TranscriptLine line;
        line.start = i * step;
        line.end = (i + 1) * step - 0.3;
        line.text = kChinese[i % 4];
        if (bilingual)
            line.translation = kEnglish[i % 4];
        else
            line.text += std::string("\n") + kEnglish[i % 4];
        book.lines.push_back(std::move(line));
    }
    return book;
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

// Reads the file over and over; the counters say what one read gave and
// how much heap its transcript holds.
void ReadFile(benchmark::State& state, const Transcript& content, const std::string& encoding, const char* name)
{
    ScratchFolder folder;
    Transcript written = content;
    written.encoding = encoding;
    const std::string path = folder.PathOf(name);
    WriteFileBytes(path, WriteTranscript(written));
    std::size_t lines = 0;
    for (auto _ : state) {
        TranscriptReadResult result = ReadTranscriptFile(path);
        if (!result.transcript) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        lines = result.transcript->lines.size();
        benchmark::DoNotOptimize(result);
    }
    const std::size_t before = HeapInUse();
    TranscriptReadResult kept = ReadTranscriptFile(path);
    const std::size_t after = HeapInUse();
    state.counters["lines"] = double(lines);
    state.counters["file_MiB"] = double(ReadFileBytes(path).size()) / (1024.0 * 1024.0);
    state.counters["heap_MiB"] = double(after - before) / (1024.0 * 1024.0);
    state.SetLabel(encoding);
}

void BM_TenHourBookLrc(benchmark::State& state)
{
    ReadFile(state, Book(TranscriptFormat::Lrc, kBookLines, true), state.range(0) ? "GB18030" : "UTF-8",
             "book.lrc");
}

void BM_SrtCues(benchmark::State& state)
{
    ReadFile(state, Book(TranscriptFormat::Srt, kCues, false), "UTF-8", "cues.srt");
}

} // namespace

BENCHMARK(BM_TenHourBookLrc)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SrtCues)->Unit(benchmark::kMillisecond);
