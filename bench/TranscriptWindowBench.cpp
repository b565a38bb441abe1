// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for transcripts in the whole window.
//
// - A ten-hour book's LRC of 10,000 bilingual lines beside its media, with
//   the fake player and profiler: from Open to the Transcript window shown
//   with all its rows, and the heap and resident memory that grew for it.
// - Follow work while paused (fake player): the player's position and status
//   reads in a second of pause, with the transcript and without one.
// - A lesson of twenty sentences spoken by espeak-ng whose LRC times are
//   300 ms late, with the real profiler: the share of snapped lines that hold
//   all of their sentence's sound and none of a neighbour's.
// - The same lesson under pink noise at 20 dB (every played sample audible,
//   so that a play is found by its content) with the real player at a private
//   PulseAudio server: a click on a line to its first sound heard at the
//   server's monitor, and the sound heard past the line's end.

#include "GuardedBenchmark.h"
#include "HeardPlays.h"
#include "ListeningServer.h"
#include "ProcessFigures.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/recorder/CMP3Enc.h"
#include "components/transcript/TranscriptWriter.h"
#include "support/FileBytes.h"
#include "support/PlayedSound.h"
#include "support/PrivatePulseSession.h"
#include "support/SoundDecoder.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"
#include "support/WindowHarness.h"
#include "window/sentences/SentenceWork.h"
#include "window/transcript/TranscriptWindow.h"
#include "window/transcript/TranscriptWork.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <malloc.h>
#include <optional>

namespace {

constexpr int kRate = ServerRecording::kRate;
constexpr int kBookLines = 10000;
constexpr double kBookSeconds = 10 * 3600.0;
// How late the lesson's LRC times each line's start.
constexpr double kLrcLate = 0.3;

const char* const kChinese[] = {"他每天早上六点起床，然后去公园跑步。", "这本书讲的是一个小村庄的故事。",
                                "我们明天下午三点在图书馆门口见面。", "请你把窗户关上，外面太冷了。"};
const char* const kEnglish[] = {"He gets up at six every morning and goes running in the park.",
                                "This book tells the story of a small village.",
                                "Let's meet at the library entrance at three tomorrow afternoon.",
                                "Please close the window, it is too cold outside."};

// The book's LRC bytes: each line with its translation at the same time tag,
// evenly over ten hours.
std::string BookLrc()
{
    Transcript book;
    book.tags = {{"ti", "A ten-hour book"}};
    const double step = kBookSeconds / kBookLines;
    for (int i = 0; i < kBookLines; ++i) {
        TranscriptLine line;
        line.start = i * step;
        line.end = (i + 1) * step;
        line.text = kChinese[i % 4];
        line.translation = kEnglish[i % 4];
        book.lines.push_back(std::move(line));
    }
    return WriteTranscript(book);
}

double HeapMiB()
{
    return double(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// Events are handled, without sleeping, until `done` or 10 s have passed;
// false when they did.
template <typename Done> bool HandleEventsUntil(Done done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

bool ShownWithRows(const TranscriptWork& work, int rows)
{
    return work.Window() && work.Window()->isVisible() && work.Window()->List().model()->rowCount() == rows;
}

// Each iteration a new window (the fake player and profiler) opens a media
// file first, so that what only the first media makes is not counted; then
// the book's media, timed from Open until the Transcript window is shown with
// its 10,000 rows and the events of its showing (its first paint among them)
// are handled. Arg 0: the book is the first transcript, so the Transcript
// window is made for it; arg 1: the first media had a one-line transcript in
// the same languages, so the window and its fonts exist and what grows is
// what the book itself takes.
void BM_BookShown(benchmark::State& state)
{
    const bool windowOpen = state.range(0) == 1;
    const std::string book = BookLrc();
    double heapGrowth = 0;
    double residentGrowth = 0;
    for (auto _ : state) {
        WindowHarness window;
        window.Start();
        window.player->length = 60;
        if (windowOpen)
            WriteFileBytes(window.PathIn("warm-up.lrc"), std::string("[00:01.00]") + kChinese[0] + "\n[00:01.00]" +
                                                             kEnglish[0] + "\n");
        window.OpenMedia("warm-up.mp3");
        const TranscriptWork& work = window.dlg->Transcript();
        if (windowOpen && !HandleEventsUntil([&] { return ShownWithRows(work, 1); })) {
            state.SkipWithError("the Transcript window did not show the warm-up's line within 10 s");
            return;
        }
        QTest::qWait(50);
        WriteFileBytes(window.PathIn("book.lrc"), book);
        window.player->length = kBookSeconds;

        const double heapBefore = HeapMiB();
        const double residentBefore = ResidentMiB();
        QElapsedTimer timer;
        timer.start();
        window.OpenMedia("book.mp3");
        if (!HandleEventsUntil([&] { return ShownWithRows(work, kBookLines); })) {
            state.SkipWithError("the Transcript window did not show the book's 10,000 rows within 10 s");
            return;
        }
        QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        heapGrowth = std::max(heapGrowth, HeapMiB() - heapBefore);
        residentGrowth = std::max(residentGrowth, ResidentMiB() - residentBefore);
    }
    state.counters["lines"] = kBookLines;
    state.counters["heap_growth_max_MiB"] = heapGrowth;
    state.counters["rss_growth_max_MiB"] = residentGrowth;
    state.SetLabel(windowOpen ? "Transcript window already open" : "first transcript: the window is made");
}
GUARDED_BENCHMARK(BM_BookShown)->Arg(0)->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The fake player's position and status reads in a second of pause after a
// second of play, by everything in the window.
int ReadsWhilePaused(WindowHarness& window)
{
    window.Click(ControlId::Play);
    QTest::qWait(1000);
    window.Click(ControlId::Pause);
    QTest::qWait(50);
    window.player->calls.clear();
    window.player->statusReads = 0;
    QTest::qWait(1000);
    int reads = window.player->statusReads;
    for (const std::string& call : window.player->calls)
        reads += call.rfind(FakePlayer::kGetPosition, 0) == 0;
    return reads;
}

void BM_FollowWhilePaused(benchmark::State& state)
{
    for (auto _ : state) {
        WindowHarness window;
        window.Start();
        window.player->length = kBookSeconds;
        window.OpenMedia("plain.mp3");
        const int without = ReadsWhilePaused(window);
        WriteFileBytes(window.PathIn("book.lrc"), BookLrc());
        window.OpenMedia("book.mp3");
        if (!QTest::qWaitFor([&] { return ShownWithRows(window.dlg->Transcript(), kBookLines); }, 10000)) {
            state.SkipWithError("the book's transcript was not shown within 10 s");
            return;
        }
        state.counters["player_reads_paused_with_transcript"] = ReadsWhilePaused(window);
        state.counters["player_reads_paused_without_transcript"] = without;
    }
}
GUARDED_BENCHMARK(BM_FollowWhilePaused)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The lesson: the spoken sentences (under noise at `snrDb`, none: clean) as
// lesson.wav at the monitor's rate in the window's folder, and lesson.lrc
// beside it, each line timed kLrcLate after its sentence's first sound.
SpokenCorpus WriteLesson(const WindowHarness& window, std::optional<double> snrDb)
{
    const std::vector<std::string>& sentences = EverydaySentences();
    SpokenCorpus corpus = MakeSpokenCorpus(sentences, CorpusPauses(sentences.size() - 1), snrDb);
    WriteFileBytes(window.PathIn("lesson.wav"), WavBytes(AtTwiceTheRate(corpus.samples), 2 * corpus.rate));
    Transcript lrc;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        TranscriptLine line;
        line.start = corpus.sentences[i].start + kLrcLate;
        line.end = i + 1 < sentences.size() ? corpus.sentences[i + 1].start + kLrcLate
                                            : double(corpus.samples.size()) / corpus.rate;
        line.text = sentences[i];
        lrc.lines.push_back(std::move(line));
    }
    WriteFileBytes(window.PathIn("lesson.lrc"), WriteTranscript(lrc));
    return corpus;
}

// Opens the lesson and waits (30 s at most) until its sentences are found
// and its lines snapped to them; false when they were not.
bool OpenLesson(WindowHarness& window, std::size_t lines)
{
    window.OpenMedia("lesson.wav");
    const SentenceFinder& finder = window.dlg->Sentences().Finder();
    return QTest::qWaitFor(
        [&] {
            return finder.Progress() == SentenceFinder::State::Found
                   && window.dlg->Transcript().LineSpans().size() == lines;
        },
        30000);
}

// Whether `span` cuts off some of sentence i's sound.
bool ClipsItsSentence(const TimeSpan& span, const std::vector<TimeSpan>& sentences, std::size_t i)
{
    return span.start > sentences[i].start || span.end < sentences[i].end;
}

// Whether `span` takes in some of the sound of sentence i's neighbours.
bool TakesANeighbour(const TimeSpan& span, const std::vector<TimeSpan>& sentences, std::size_t i)
{
    return (i > 0 && span.start < sentences[i - 1].end) || (i + 1 < sentences.size() && span.end > sentences[i + 1].start);
}

void BM_LinesSnapped(benchmark::State& state)
{
    for (auto _ : state) {
        WindowHarness window;
        window.Start(nullptr, nullptr, CreateSoundProfiler(window.PathIn("cache")));
        const SpokenCorpus corpus = WriteLesson(window, std::nullopt);
        window.player->length = double(corpus.samples.size()) / corpus.rate;
        if (!OpenLesson(window, corpus.sentences.size())) {
            state.SkipWithError("the lesson's sentences were not found, or its lines not snapped, within 30 s");
            return;
        }
        // Snapping works on the profile's sentences; give a late update of
        // them the chance to land before the spans are read.
        QTest::qWait(200);
        const std::vector<TimeSpan>& spans = window.dlg->Transcript().LineSpans();
        int held = 0, clipping = 0, taking = 0;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const bool clips = ClipsItsSentence(spans[i], corpus.sentences, i);
            const bool takes = TakesANeighbour(spans[i], corpus.sentences, i);
            held += !clips && !takes;
            clipping += clips;
            taking += takes;
        }
        state.counters["lines"] = double(spans.size());
        state.counters["lines_clipping_their_sound"] = clipping;
        state.counters["lines_taking_a_neighbours_sound"] = taking;
        state.counters["lines_holding_their_sound_alone"] = held;
        state.counters["lines_holding_their_sound_alone_pct"] = 100.0 * held / double(spans.size());
    }
    state.SetLabel("LRC 300 ms late, clean speech");
}
GUARDED_BENCHMARK(BM_LinesSnapped)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// A click on a line (the Transcript window's lineClicked, as a click on the
// list gives it) to its first sound at the server's monitor, every other
// line in turn; and how far past the line's (snapped) end the sound went.
void BM_LineClickHeard(benchmark::State& state)
{
    PrivatePulseSession server;
    ServerRecording monitor;
    if (!ServerIsListening(state, server, monitor))
        return;
    WindowHarness window;
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(window.PathIn("cache")));
    const SpokenCorpus corpus = WriteLesson(window, 20.0);
    const DecodedSound reference = DecodeSound(window.PathIn("lesson.wav"));
    if (!OpenLesson(window, corpus.sentences.size())) {
        state.SkipWithError("the lesson's sentences were not found, or its lines not snapped, within 30 s");
        return;
    }
    window.Click(ControlId::TopStop);
    QTest::qWait(300);
    TranscriptWork& work = window.dlg->Transcript();
    work.ShowWindow();
    const std::vector<TimeSpan> spans = work.LineSpans();

    HeardPlays plays(kRate);
    std::vector<double> pastEnd;
    std::size_t row = 1;
    for (auto _ : state) {
        if (row >= spans.size())
            row = 1;
        const std::size_t mark = monitor.Size();
        emit work.Window()->lineClicked(int(row));
        if (!QTest::qWaitFor([&] { return window.dlg->IsTimerRunning(RepeatTimer); }, 2000)
            || !QTest::qWaitFor([&] { return !window.dlg->IsTimerRunning(RepeatTimer); }, 10000)) {
            state.SkipWithError("the line did not play and end within 10 s");
            return;
        }
        QTest::qWait(400);
        const long first = std::lround(spans[row].start * kRate);
        const long last = std::lround(spans[row].end * kRate);
        if (const std::optional<HeardSpan> heard = plays.Add(reference.samples, monitor.From(mark), first, last))
            pastEnd.push_back(plays.Ms(heard->last - last));
        row += 2;
    }
    plays.Report(state, "line");
    const Spread past = SpreadOf(pastEnd);
    state.counters["past_end_max_ms"] = past.max;
}
GUARDED_BENCHMARK(BM_LineClickHeard)->Iterations(8)->UseRealTime()->Unit(benchmark::kMillisecond);

// The lesson played from its start at the server, twice: for each line, how long
// after its sentence's first sound reached the monitor the heard line
// (HeardLine) became it. Both ends are counted in the monitor's samples (the
// recording's length when the line changed, and where the sentence's first
// sound lies in the recording, found by content), so that the monitor's own
// delay cancels out. A snapped line starts in the pause before its sound:
// negative figures are a highlight that came before the sound.
void BM_HighlightHeard(benchmark::State& state)
{
    PrivatePulseSession server;
    ServerRecording monitor;
    if (!ServerIsListening(state, server, monitor))
        return;
    WindowHarness window;
    window.Start(WindowHarness::RealRecorder(CMP3Enc::kDefaultInput), WindowHarness::RealPlayer(),
                 CreateSoundProfiler(window.PathIn("cache")));
    const SpokenCorpus corpus = WriteLesson(window, 20.0);
    const DecodedSound reference = DecodeSound(window.PathIn("lesson.wav"));
    if (!OpenLesson(window, corpus.sentences.size())) {
        state.SkipWithError("the lesson's sentences were not found, or its lines not snapped, within 30 s");
        return;
    }
    window.Click(ControlId::TopStop);
    QTest::qWait(300);
    const TranscriptWork& work = window.dlg->Transcript();
    constexpr std::size_t kLinesPlayed = 8;
    const double playedSeconds = corpus.sentences[kLinesPlayed - 1].end + 0.2;

    std::vector<double> lag;
    int missed = 0;
    for (auto _ : state) {
        const std::size_t mark = monitor.Size();
        // The recording's length when each line became the one heard.
        std::vector<std::optional<std::size_t>> changedAt(kLinesPlayed);
        // Each play from the lesson's start: Play plays on from the segment's
        // end, which the stop before left where it stopped.
        window.Edit(ControlId::EndTime)->setText("0");
        window.LoseFocus(ControlId::EndTime);
        window.Click(ControlId::Play);
        QElapsedTimer playing;
        playing.start();
        int heard = work.HeardLine();
        while (playing.elapsed() < qint64(playedSeconds * 1000) + 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (work.HeardLine() != heard) {
                heard = work.HeardLine();
                if (heard >= 0 && std::size_t(heard) < kLinesPlayed && !changedAt[std::size_t(heard)])
                    changedAt[std::size_t(heard)] = monitor.Size() - mark;
            }
            QTest::qSleep(1);
        }
        window.Click(ControlId::TopStop);
        QTest::qWait(300);
        const std::vector<float> recorded = monitor.From(mark);
        std::size_t silence = 0;
        AfterSilence(recorded, silence);
        for (std::size_t i = 0; i < kLinesPlayed; ++i) {
            // The recording from a little before where the sentence's first
            // sound would be, had the play started at the file's start, found
            // in the file by its content.
            const long onset = std::lround(corpus.sentences[i].start * kRate);
            const long from = long(silence) + onset - kRate / 20;
            if (!changedAt[i] || from < 0 || std::size_t(from) + kRate / 2 > recorded.size()) {
                ++missed;
                continue;
            }
            const std::vector<float> chunk(recorded.begin() + from, recorded.begin() + from + kRate / 2);
            const std::optional<long> found = FindInReference(reference.samples, chunk, onset - kRate / 20, kRate / 5, 0);
            if (!found) {
                ++missed;
                continue;
            }
            const long onsetRecorded = from + (onset - *found);
            lag.push_back(1000.0 * (double(*changedAt[i]) - double(onsetRecorded)) / kRate);
        }
    }
    const Spread spread = SpreadOf(lag);
    state.counters["highlight_after_sound_min_ms"] = spread.min;
    state.counters["highlight_after_sound_median_ms"] = spread.median;
    state.counters["highlight_after_sound_max_ms"] = spread.max;
    state.counters["highlights_measured"] = double(lag.size());
    state.counters["highlights_missed"] = missed;
}
GUARDED_BENCHMARK(BM_HighlightHeard)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
