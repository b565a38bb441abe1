// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for aligning a text to its recording with the real aligner, which
// decodes the WAV, speaks the text with its own voice ("en" at its own pace)
// and warps one onto the other.
//
// The recordings are never spoken with the aligner's settings: chapters read
// by espeak-ng's en-us+f3 voice at 140 words a minute and by flite's slt
// voice, their tempo changed in parts of six sentences by up to 25 % either
// way (at their own pitch), under pink noise 20 dB below the speech, with
// pauses of 0.2 to 1.2 s and a 30 s introduction that the text lacks; five
// LibriVox clips of a human reader joined (pocketsphinx-testdata), their true
// starts taken four ways: at each clip's start, at its first sound, at its
// first word as pocketsphinx's forced alignment times it, and at its first
// word as marked by hand on its spectrogram; a Mandarin
// chapter read by espeak-ng's cmn+f3 voice. The chapters are made once and
// kept in the media folder with their text and their true sentence starts.
//
// - Accuracy: each sentence's start as timed against the true one: the share
//   within 100 and 50 ms, the largest error, the median error of the first
//   and of the last tenth of the sentences.
// - Speed and memory on an hour of espeak-ng reading: Align to the finished
//   report, Align to the first report that holds sentences, the peak of
//   resident memory while aligning against before; the same hour repeated
//   ten times (made in /dev/shm or /tmp for the run, deleted after it).

#include "GuardedBenchmark.h"
#include "ProcessFigures.h"
#include "components/align/SpeechTextAligner.h"
#include "components/align/TextSentences.h"
#include "support/CommandOutput.h"
#include "support/FileBytes.h"
#include "support/PlayerMedia.h"
#include "support/SoundDecoder.h"
#include "support/SpokenCorpus.h"
#include "support/WavFile.h"

#include <QTest>
#include <benchmark/benchmark.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr double kSnrDb = 20;
constexpr const char* kOtherEnglishVoice = "espeak-ng --stdout -v en-us+f3 -s 140";
constexpr const char* kFliteVoice = "flite -voice slt -o /dev/stdout -t";
constexpr const char* kMandarinVoice = "espeak-ng --stdout -v cmn+f3 -s 140";
constexpr const char* kLibriVoxFolder = "/usr/share/pocketsphinx/test/data/librivox";
constexpr const char* kPocketsphinxModel = "/usr/share/pocketsphinx/model/en-us";

// A recording with the text read in it, and where each of the text's
// sentences truly starts, in seconds.
struct Chapter {
    std::string media;
    std::string text;
    std::vector<double> starts;
    double seconds = 0;
};

fs::path ChapterFolder()
{
    const fs::path folder = fs::path(PlayerMedia::Folder()) / "align";
    fs::create_directories(folder);
    return folder;
}

// The chapter kept as `name` in the media folder (its .wav, .txt and .starts),
// made by `make` when it is not there yet. The WAV is written last, under a
// private name renamed into place, so that it stands for a complete chapter.
template <typename Maker>
Chapter KeptChapter(const std::string& name, Maker make)
{
    const fs::path base = ChapterFolder() / name;
    Chapter chapter;
    chapter.media = base.string() + ".wav";
    if (!fs::exists(chapter.media)) {
        std::string wav;
        make(chapter, wav);
        WriteFileBytes(base.string() + ".txt", chapter.text);
        std::ofstream starts(base.string() + ".starts");
        starts.precision(17);
        for (double start : chapter.starts)
            starts << start << '\n';
        starts.close();
        const std::string part = chapter.media + ".part" + std::to_string(::getpid());
        WriteFileBytes(part, wav);
        fs::rename(part, chapter.media);
    }
    chapter.text = ReadFileBytes(base.string() + ".txt");
    chapter.starts.clear();
    std::ifstream starts(base.string() + ".starts");
    for (double start; starts >> start;)
        chapter.starts.push_back(start);
    // 16-bit mono: two bytes a sample after the 44-byte header.
    std::ifstream header(chapter.media, std::ios::binary);
    unsigned char rate[4] = {};
    header.seekg(24);
    header.read(reinterpret_cast<char*>(rate), 4);
    const double perSecond = double(rate[0] | rate[1] << 8 | rate[2] << 16 | unsigned(rate[3]) << 24);
    chapter.seconds = double(fs::file_size(chapter.media) - 44) / 2 / perSecond;
    return chapter;
}

// The `n`th of 14,400 distinct English sentences of ten to sixteen words.
std::string EnglishSentence(std::size_t n)
{
    static const char* const subjects[] = {"The old farmer", "My younger sister", "A tired doctor", "The quiet teacher",
                                           "Our new neighbour", "The little boy", "A young painter", "The captain",
                                           "Her best friend", "The village baker", "A careful student",
                                           "The tall stranger"};
    static const char* const verbs[] = {"carried", "painted", "found",  "repaired", "described",
                                        "forgot",  "opened",  "sold",   "measured", "cleaned"};
    static const char* const objects[] = {"a wooden box",         "the broken clock",     "an old map of the valley",
                                          "the garden gate",      "a letter from the city", "the heavy winter coat",
                                          "a basket of apples",   "the blue bicycle",     "a small boat",
                                          "the kitchen window",   "a book about birds",   "the silver key"};
    static const char* const endings[] = {"before the sun went down",      "on a cold morning in March",
                                          "while the others were asleep",  "after a long and difficult week",
                                          "near the edge of the forest",   "without saying a word",
                                          "just before the market opened", "in the middle of the storm",
                                          "for the third time that year",  "with great care and patience"};
    // The digits of n, each part shifted by those before it: every part
    // changes from one sentence to the next, and no two sentences are alike.
    const std::size_t s = n % 12, v = (n / 12) % 10, o = (n / 120) % 12, e = (n / 1440) % 10;
    return std::string(subjects[s]) + " " + verbs[(v + s) % 10] + " " + objects[(o + v + s) % 12] + " "
           + endings[(e + o + v + s) % 10] + ".";
}

// About 30 s of words before the chapter's own, which the text lacks.
const std::vector<std::string>& EnglishIntroduction()
{
    static const std::vector<std::string> introduction = {
        "This is a recording made for the practice of listening, and it is free for anyone to use.",
        "The reader would like to thank everyone who helped to prepare these texts.",
        "Before we begin, please find a quiet place where you will not be disturbed.",
        "You may pause the recording at any time and listen to a part of it again.",
        "The story that follows was written many years ago in a small town by the sea.",
        "Now let us begin with the first part.",
    };
    return introduction;
}

const std::vector<std::string>& MandarinSentences()
{
    static const std::vector<std::string> sentences = {
        "今天早上我坐火车去海边。", "她打开窗户，听外面的雨声。", "大多数学生在中午以前考完了试。",
        "请问最近的图书馆在哪里？", "他在这个小城里住了二十年。", "汤太烫了，我们等了一会儿。",
        "每个星期天他们都带着狗在河边散步！", "我昨天把雨伞忘在车站了。", "学习一门语言需要耐心和每天的练习。",
        "博物馆星期一和节假日不开门。", "我哥哥在一个乐队里弹吉他。", "离开房间的时候请把灯关掉。",
        "孩子们在海滩上用沙子堆了一座城堡。", "出发以前我们应该先看看天气。", "她的新书明年春天出版。",
        "面包师每天很早就卖新鲜的面包。",
    };
    return sentences;
}

const std::vector<std::string>& MandarinIntroduction()
{
    static const std::vector<std::string> introduction = {"这是一段供大家练习听力的录音。",
                                                          "感谢所有帮助我们准备课文的朋友。"};
    return introduction;
}

// `introduction` and then `sentences` read by `voice`, the tempo changed in
// parts of six sentences, pauses of 0.2 to 1.2 s, pink noise at 20 dB SNR;
// the text holds `sentences` only, joined by `separator`.
void ReadChapter(Chapter& chapter, std::string& wav, const std::vector<std::string>& introduction,
                 const std::vector<std::string>& sentences, const std::string& voice, const std::string& separator)
{
    static const double tempos[] = {1.0, 1.25, 0.8, 1.1, 0.75, 0.9};
    std::vector<std::string> read = introduction;
    read.insert(read.end(), sentences.begin(), sentences.end());
    SpokenReading reading{voice, {}};
    for (std::size_t i = 0; i < read.size(); ++i)
        reading.tempos.push_back(i < introduction.size() ? 1.0 : tempos[((i - introduction.size()) / 6) % 6]);
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> pause(0.2, 1.2);
    std::vector<double> pauses(read.size());
    for (double& p : pauses)
        p = pause(random);
    const SpokenCorpus corpus = MakeSpokenCorpus(read, pauses, kSnrDb, 0.5, reading);
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        chapter.text += (i ? separator : "") + sentences[i];
        chapter.starts.push_back(corpus.sentences[introduction.size() + i].start);
    }
    wav = WavBytes(corpus.samples, corpus.rate);
}

// An English chapter of `count` sentences after the introduction, read by `voice`.
Chapter EnglishChapter(const std::string& name, std::size_t count, const std::string& voice)
{
    return KeptChapter(name, [&](Chapter& chapter, std::string& wav) {
        std::vector<std::string> sentences;
        for (std::size_t i = 0; i < count; ++i)
            sentences.push_back(EnglishSentence(i));
        ReadChapter(chapter, wav, EnglishIntroduction(), sentences, voice, " ");
    });
}

// Where a clip's speech starts, in seconds: its first 10 ms whose level is
// within 26 dB of its loudest 10 ms (the clips hold up to 0.3 s of room tone
// before the reader's first word).
double FirstSound(const DecodedSound& clip)
{
    const std::size_t window = std::size_t(clip.rate / 100);
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= clip.samples.size(); at += window) {
        double power = 0;
        for (std::size_t i = at; i < at + window; ++i)
            power += double(clip.samples[i]) * clip.samples[i];
        levels.push_back(std::sqrt(power / double(window)));
    }
    const double loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    const auto first = std::find_if(levels.begin(), levels.end(), [&](double level) { return level > loudest * 0.05; });
    return double(first - levels.begin()) * double(window) / clip.rate;
}

// Where pocketsphinx, its en-us model held to the clip's `words`, times the
// first of them in the clip, in seconds: a forced alignment by a recogniser
// trained on people, which knows nothing of this aligner's method.
double FirstWord(const std::string& clip, const std::string& words)
{
    const fs::path grammar = ChapterFolder() / ("librivox-" + std::to_string(::getpid()) + ".gram");
    WriteFileBytes(grammar.string(), "#JSGF V1.0;\ngrammar clip;\npublic <clip> = " + words + ";\n");
    const std::string model = kPocketsphinxModel;
    const std::string printed = CommandOutput("pocketsphinx_continuous -infile " + ShellQuoted(clip) + " -hmm " + model
                                              + "/en-us -dict " + model + "/cmudict-en-us.dict -jsgf "
                                              + ShellQuoted(grammar.string()) + " -time yes -logfn /dev/null 2>/dev/null");
    fs::remove(grammar);
    // After the words heard come lines of "word start end probability"; the
    // silence and noises are in <> or [].
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string word;
        double start = 0, end = 0, probability = 0;
        if (fields >> word >> start >> end >> probability && word[0] != '<' && word[0] != '[')
            return start;
    }
    throw std::runtime_error("pocketsphinx timed no word of " + clip + " (are pocketsphinx and pocketsphinx-en-us "
                             "installed?): " + printed.substr(0, 200));
}

// Where each clip's first word begins, in seconds, as marked by hand on its
// spectrogram (80 dB range, 1.4 ms a column): the first energy of the word's
// first sound, the aspiration of "he" and "had" or the breathy onset of "and"
// and "unless" included, the breath and room tone before it left out. Marked
// before the aligner's times were looked at; read to within about 10 ms.
double MarkedFirstWord(const std::string& id)
{
    static const std::pair<const char*, double> marks[] = {
        {"0870", 0.235}, {"0880", 0.240}, {"0890", 0.235}, {"0920", 0.240}, {"0930", 0.240}};
    for (const auto& [suffix, seconds] : marks)
        if (id.ends_with(suffix))
            return seconds;
    throw std::runtime_error("no first word is marked for LibriVox clip " + id);
}

// Where each LibriVox clip's sentence is taken to start.
enum class ClipTruth { Start, FirstSound, FirstWord, Marked };

// The LibriVox clips joined in their order; each clip's transcription is a
// sentence of the text, and `truth` says where it starts.
Chapter LibriVoxChapter(ClipTruth truth)
{
    const std::string name = truth == ClipTruth::Marked       ? "librivox-marked-words"
                             : truth == ClipTruth::FirstWord  ? "librivox-first-words"
                             : truth == ClipTruth::FirstSound ? "librivox-first-sounds"
                                                              : "librivox-clip-starts";
    return KeptChapter(name, [&](Chapter& chapter, std::string& wav) {
        std::ifstream ids(std::string(kLibriVoxFolder) + "/fileids");
        std::ifstream transcription(std::string(kLibriVoxFolder) + "/transcription");
        std::vector<float> joined;
        int rate = 0;
        for (std::string id, line; ids >> id && std::getline(transcription, line);) {
            const std::string path = std::string(kLibriVoxFolder) + "/" + id + ".wav";
            const DecodedSound clip = DecodeSound(path);
            if (!clip.problem.empty() || (rate && clip.rate != rate))
                throw std::runtime_error("LibriVox clip " + id + ": " + clip.problem + " (rate "
                                         + std::to_string(clip.rate) + ")");
            rate = clip.rate;
            // "<s> words of the clip </s> (id)" as a sentence.
            const std::string words = line.substr(4, line.find(" </s>") - 4);
            std::string sentence = words;
            sentence[0] = char(std::toupper(static_cast<unsigned char>(sentence[0])));
            chapter.text += (chapter.text.empty() ? "" : " ") + sentence + ".";
            const double into = truth == ClipTruth::Marked       ? MarkedFirstWord(id)
                                : truth == ClipTruth::FirstWord  ? FirstWord(path, words)
                                : truth == ClipTruth::FirstSound ? FirstSound(clip)
                                                                 : 0;
            chapter.starts.push_back(double(joined.size()) / rate + into);
            joined.insert(joined.end(), clip.samples.begin(), clip.samples.end());
        }
        if (chapter.starts.empty())
            throw std::runtime_error(std::string("no LibriVox clips in ") + kLibriVoxFolder
                                     + " (is pocketsphinx-testdata installed?)");
        wav = WavBytes(joined, rate);
    });
}

Chapter MandarinChapter()
{
    return KeptChapter("mandarin", [](Chapter& chapter, std::string& wav) {
        ReadChapter(chapter, wav, MandarinIntroduction(), MandarinSentences(), kMandarinVoice, "");
    });
}

// One alignment by the real aligner, timed from Align.
struct AlignRun {
    AlignmentReport report;
    double seconds = 0;
    std::optional<double> firstSentencesSeconds;
    double peakGrowthMiB = 0;
    std::optional<WarpFit> firstFit;
};

AlignRun Align(const Chapter& chapter, const std::string& voice, std::chrono::seconds limit)
{
    SpeechTextAligner aligner;
    AlignRun run;
    bool finished = false;
    using Clock = std::chrono::steady_clock;
    Clock::time_point begun;
    auto since = [&] { return std::chrono::duration<double>(Clock::now() - begun).count(); };
    QObject::connect(&aligner, &TextAligner::progressed, [&](const AlignmentReport& report) {
        if (!report.sentences.empty() && !run.firstSentencesSeconds)
            run.firstSentencesSeconds = since();
        if (report.finished) {
            run.seconds = since();
            run.report = report;
            finished = true;
        }
    });
    ResetPeakResident();
    const double before = ResidentMiB();
    begun = Clock::now();
    aligner.Align(chapter.media, chapter.text, voice);
    if (!QTest::qWaitFor([&] { return finished; }, int(std::chrono::milliseconds(limit).count())))
        throw std::runtime_error("no finished report within " + std::to_string(limit.count()) + " s");
    run.peakGrowthMiB = PeakResidentMiB() - before;
    run.firstFit = aligner.LastFirstFit();
    return run;
}

double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// The accuracy figures of `run` against the chapter's true starts, as counters.
void CountAccuracy(benchmark::State& state, const Chapter& chapter, const AlignRun& run)
{
    if (!run.report.problem.empty())
        throw std::runtime_error("the aligner failed: " + run.report.problem);
    if (run.report.sentences.size() != chapter.starts.size())
        throw std::runtime_error("the aligner timed " + std::to_string(run.report.sentences.size())
                                 + " sentences of the " + std::to_string(chapter.starts.size()) + " read");
    std::vector<double> errors;
    double late = 0;
    for (std::size_t i = 0; i < chapter.starts.size(); ++i) {
        const double error = (run.report.sentences[i].span.start - chapter.starts[i]) * 1000;
        late += error;
        errors.push_back(std::abs(error));
    }
    const auto within = [&](double ms) {
        return 100.0 * double(std::count_if(errors.begin(), errors.end(), [ms](double e) { return e <= ms; }))
               / double(errors.size());
    };
    const std::size_t tenth = std::max<std::size_t>(1, errors.size() / 10);
    state.counters["sentences"] = double(errors.size());
    state.counters["media_s"] = chapter.seconds;
    state.counters["within_100ms_pct"] = within(100);
    state.counters["within_50ms_pct"] = within(50);
    // Positive: the starts are timed late on the whole.
    state.counters["mean_signed_error_ms"] = late / double(errors.size());
    const auto worst = std::max_element(errors.begin(), errors.end());
    state.counters["max_error_ms"] = *worst;
    // Counted from 1, in the text's order.
    state.counters["max_error_sentence"] = double(worst - errors.begin() + 1);
    state.counters["median_error_first_tenth_ms"] = MedianOf({errors.begin(), errors.begin() + std::ptrdiff_t(tenth)});
    state.counters["median_error_last_tenth_ms"] = MedianOf({errors.end() - std::ptrdiff_t(tenth), errors.end()});
    state.counters["align_s"] = run.seconds;
}

void RunAccuracy(benchmark::State& state, const Chapter& chapter, const std::string& voice)
{
    for (auto _ : state)
        CountAccuracy(state, chapter, Align(chapter, voice, std::chrono::minutes(10)));
}

// About five minutes of chapter after the introduction.
constexpr std::size_t kShortChapterSentences = 50;
// About an hour.
constexpr std::size_t kHourSentences = 670;

// range(0): 0 espeak-ng's en-us+f3 at 140 words a minute, 1 flite's slt.
void BM_SyntheticChapterAccuracy(benchmark::State& state)
{
    const bool flite = state.range(0) == 1;
    const Chapter chapter = EnglishChapter(flite ? "chapter-flite" : "chapter-espeak", kShortChapterSentences,
                                           flite ? kFliteVoice : kOtherEnglishVoice);
    RunAccuracy(state, chapter, "en");
    state.SetLabel(flite ? "flite slt" : "espeak-ng en-us+f3 140 wpm");
}

// range(0): the truth at the clips' starts (0), at their first sounds (1),
// at their first words as pocketsphinx times them (2), as marked by hand (3).
void BM_LibriVoxAccuracy(benchmark::State& state)
{
    static const char* const labels[] = {"truth at each clip's start", "truth at each clip's first sound",
                                         "truth at each clip's first word, by pocketsphinx",
                                         "truth at each clip's first word, marked by hand"};
    RunAccuracy(state, LibriVoxChapter(ClipTruth(state.range(0))), "en");
    state.SetLabel(labels[state.range(0)]);
}

void BM_MandarinAccuracy(benchmark::State& state)
{
    RunAccuracy(state, MandarinChapter(), "cmn");
}

// The chapter's recording with the text of `other`.
Chapter WithTextOf(Chapter chapter, const Chapter& other)
{
    chapter.text = other.text;
    chapter.starts.clear();
    return chapter;
}

// An English chapter's text of as many sentences as the bench's chapters,
// none of them theirs, in the same words.
Chapter OtherEnglishText(std::size_t count = kShortChapterSentences)
{
    Chapter chapter;
    for (std::size_t i = 0; i < count; ++i)
        chapter.text += (i ? " " : "") + EnglishSentence(kShortChapterSentences + i);
    return chapter;
}

// A lesson: a few sentences after the introduction, too few boundaries for
// the pauses to tell another text by.
constexpr std::size_t kLessonSentences = 6;

void CountSpeed(benchmark::State& state, const Chapter& chapter, const AlignRun& run)
{
    state.counters["realtime_x"] = chapter.seconds / run.seconds;
    state.counters["first_sentences_s"] = run.firstSentencesSeconds.value_or(-1);
    state.counters["peak_growth_MiB"] = run.peakGrowthMiB;
}

Chapter HourChapter()
{
    return EnglishChapter("hour-espeak", kHourSentences, kOtherEnglishVoice);
}

// The same chapter's sentences in the reverse order: a text in the same
// words that is not the recording's. `separator` joins them.
Chapter Reversed(const Chapter& chapter, const std::string& language, const std::string& separator)
{
    Chapter reversed;
    const std::vector<TextSentence> sentences = SplitSentences(chapter.text, language);
    for (auto sentence = sentences.rbegin(); sentence != sentences.rend(); ++sentence)
        reversed.text += (reversed.text.empty() ? "" : separator) + sentence->text;
    return reversed;
}

// A recording with a text, right or wrong, and the aligner's voice.
struct FitCase {
    const char* label;
    std::function<Chapter()> make;
    const char* voice = "en";
};

const std::vector<FitCase>& FitCases()
{
    const auto espeak = [] { return EnglishChapter("chapter-espeak", kShortChapterSentences, kOtherEnglishVoice); };
    const auto flite = [] { return EnglishChapter("chapter-flite", kShortChapterSentences, kFliteVoice); };
    const auto espeakLesson = [] { return EnglishChapter("lesson-espeak", kLessonSentences, kOtherEnglishVoice); };
    const auto fliteLesson = [] { return EnglishChapter("lesson-flite", kLessonSentences, kFliteVoice); };
    static const std::vector<FitCase> cases = {
        {"right: espeak-ng", espeak},
        {"right: flite", flite},
        {"right: LibriVox", [] { return LibriVoxChapter(ClipTruth::Start); }},
        {"right: Mandarin", MandarinChapter, "cmn"},
        {"right: the hour", HourChapter},
        {"wrong: flite, other text", [=] { return WithTextOf(flite(), OtherEnglishText()); }},
        {"wrong: espeak-ng, other text", [=] { return WithTextOf(espeak(), OtherEnglishText()); }},
        {"wrong: espeak-ng, LibriVox text", [=] { return WithTextOf(espeak(), LibriVoxChapter(ClipTruth::Start)); }},
        {"wrong: LibriVox, espeak-ng text", [=] { return WithTextOf(LibriVoxChapter(ClipTruth::Start), espeak()); }},
        {"wrong: espeak-ng, own text reversed", [=] { return WithTextOf(espeak(), Reversed(espeak(), "en", " ")); }},
        {"wrong: flite, own text reversed", [=] { return WithTextOf(flite(), Reversed(flite(), "en", " ")); }},
        {"wrong: Mandarin, own text reversed",
         [] { return WithTextOf(MandarinChapter(), Reversed(MandarinChapter(), "zh", "")); }, "cmn"},
        {"right: espeak-ng lesson", espeakLesson},
        {"right: flite lesson", fliteLesson},
        {"wrong: espeak-ng lesson, LibriVox text", [=] { return WithTextOf(espeakLesson(), LibriVoxChapter(ClipTruth::Start)); }},
        {"wrong: flite lesson, other text", [=] { return WithTextOf(fliteLesson(), OtherEnglishText(kLessonSentences)); }},
        {"wrong: LibriVox, other lesson text", [] { return WithTextOf(LibriVoxChapter(ClipTruth::Start), OtherEnglishText(5)); }},
        {"wrong: espeak-ng lesson, own text reversed", [=] { return WithTextOf(espeakLesson(), Reversed(espeakLesson(), "en", " ")); }},
        {"wrong: flite lesson, own text reversed", [=] { return WithTextOf(fliteLesson(), Reversed(fliteLesson(), "en", " ")); }},
    };
    return cases;
}

// The first window's fit (see WarpFit) of right texts and of wrong ones in
// the same language. range(0): the case in FitCases().
void BM_FirstWindowFit(benchmark::State& state)
{
    const FitCase& fitCase = FitCases().at(std::size_t(state.range(0)));
    const Chapter chapter = fitCase.make();
    for (auto _ : state) {
        const AlignRun run = Align(chapter, fitCase.voice, std::chrono::minutes(30));
        if (!run.firstFit)
            throw std::runtime_error("no window was warped: " + run.report.problem);
        state.counters["right"] = std::string_view(fitCase.label).starts_with("right") ? 1 : 0;
        // 1: reported as a recording that does not seem to say the text.
        state.counters["told_wrong"] = run.report.problem.find("does not seem") != std::string::npos ? 1 : 0;
        state.counters["distance_ratio"] = run.firstFit->distanceRatio;
        state.counters["duration_spread"] = run.firstFit->durationSpread;
        state.counters["stray_pct"] = 100 * run.firstFit->strayShare;
        state.counters["paused_boundaries_pct"] = 100 * run.firstFit->pausedBoundaries.value_or(-1);
        state.counters["pause_overlap_pct"] = 100 * run.firstFit->pauseOverlap.value_or(-1);
        state.counters["tempo_spread"] = run.firstFit->tempoSpread;
        state.counters["order_gain"] = run.firstFit->orderGain.value_or(-1);
    }
    state.SetLabel(fitCase.label);
}

void BM_HourLongChapter(benchmark::State& state)
{
    const Chapter chapter = HourChapter();
    for (auto _ : state) {
        const AlignRun run = Align(chapter, "en", std::chrono::minutes(30));
        CountAccuracy(state, chapter, run);
        CountSpeed(state, chapter, run);
    }
}

// The hour's WAV ten times over with its text ten times over, in a folder
// with room for it, removed when it goes. The repeats leave out the
// introduction: they start 0.15 s before the text's first sentence, within
// the pause before it, so that only the first hour has words the text lacks.
struct TenHours {
    Chapter chapter;

    explicit TenHours(const Chapter& hour)
    {
        constexpr int kTimes = 10;
        const std::string data = ReadFileBytes(hour.media).substr(44);
        const double rate = double(data.size()) / 2 / hour.seconds;
        const auto cut = std::size_t(std::max(0.0, hour.starts.front() - 0.15) * rate) * 2;
        const std::string repeat = data.substr(cut);
        const std::size_t frames = (data.size() + (kTimes - 1) * repeat.size()) / 2;
        struct statvfs shm {};
        const bool shmRoom = statvfs("/dev/shm", &shm) == 0 && shm.f_bavail * shm.f_frsize > 4 * frames;
        chapter.media = std::string(shmRoom ? "/dev/shm" : "/tmp") + "/align-ten-hours-" + std::to_string(::getpid())
                        + ".wav";
        std::ofstream out(chapter.media, std::ios::binary);
        out << WavBytes({}, int(std::lround(rate)), frames) << data;
        chapter.text = hour.text;
        chapter.starts = hour.starts;
        double offset = hour.seconds - double(cut / 2) / rate;
        for (int i = 1; i < kTimes; ++i) {
            out << repeat;
            chapter.text += " " + hour.text;
            for (double start : hour.starts)
                chapter.starts.push_back(start + offset);
            offset += double(repeat.size() / 2) / rate;
        }
        if (!out.flush())
            throw std::runtime_error("cannot write " + chapter.media + " (" + std::to_string(frames / 500) + " kB)");
        chapter.seconds = double(frames) / rate;
    }
    ~TenHours() { fs::remove(chapter.media); }
    TenHours(const TenHours&) = delete;
    TenHours& operator=(const TenHours&) = delete;
};

void BM_TenHourChapter(benchmark::State& state)
{
    const TenHours tenHours(HourChapter());
    for (auto _ : state) {
        const AlignRun run = Align(tenHours.chapter, "en", std::chrono::minutes(60));
        CountAccuracy(state, tenHours.chapter, run);
        CountSpeed(state, tenHours.chapter, run);
    }
}

GUARDED_BENCHMARK(BM_SyntheticChapterAccuracy)->DenseRange(0, 1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
GUARDED_BENCHMARK(BM_LibriVoxAccuracy)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
GUARDED_BENCHMARK(BM_MandarinAccuracy)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
GUARDED_BENCHMARK(BM_FirstWindowFit)->DenseRange(0, 18)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
GUARDED_BENCHMARK(BM_HourLongChapter)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
GUARDED_BENCHMARK(BM_TenHourChapter)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
