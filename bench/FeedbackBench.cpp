// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the feedback on a take (no Qt, no sound server), on sentences
// spoken by espeak-ng: the original by one voice, the takes by other voices,
// pitches and tempos, some with a word or the melody changed on purpose.
// espeak-ng reports where each phoneme and word of its reading begins; those
// times are the truth of the timing figures.
//
// - Pitch under noise: the sentences in four voices and pitches, white noise
//   at 30, 20 and 10 dB below the speech; the truth is the tracker on the
//   clean sound, where a second estimate (normalised cross-correlation) of
//   the clean sound agrees with it. Gross errors (over 20 % off) among frames
//   voiced in both, the median fine error in cents, the voicing decision's
//   F1, and the share of clean frames where the two estimates disagree.
// - Timing: each phoneme onset of the original mapped onto the take through
//   the comparison, against where the take's reading says that phoneme (the
//   phonemes both readings have); takes by other voices, 25 % slower and
//   faster, at another pitch, under noise at 15 dB, and in other accents.
//   Median error and share within 50 ms.
// - Words said slower or faster on purpose (SSML prosody on one word of the
//   take): the share of them marked, and the share of marks on no such word.
// - Melody: pairs of takes by another voice, one with the original's melody
//   and one with it changed (flattened, the final rise of a question turned
//   into a fall or the reverse, the stress on another word): the share of
//   pairs in which the unchanged one scores higher.
// - A different sentence as the take: the share told apart (a reason given,
//   or most of the original not matched).
// - The time to compare a 10 s take with a 10 s original.

#include "components/speech/PitchTracker.h"
#include "components/speech/TakeComparison.h"
#include "support/SyntheticVoice.h"

#include <benchmark/benchmark.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A sentence as its words, and the punctuation that ends it.
struct Sentence {
    std::vector<std::string> words;
    std::string end;
};

const std::vector<Sentence> kSentences = {
    {{"Could", "you", "tell", "me", "the", "way", "to", "the", "station"}, "?"},
    {{"I", "have", "never", "seen", "such", "a", "beautiful", "garden"}, "."},
    {{"We", "are", "meeting", "at", "seven", "tomorrow", "evening"}, "."},
    {{"Would", "you", "like", "another", "cup", "of", "coffee"}, "?"},
    {{"The", "children", "were", "playing", "quietly", "in", "the", "library"}, "."},
    {{"Is", "this", "the", "train", "to", "Manchester"}, "?"},
    {{"My", "grandmother", "remembers", "every", "birthday", "in", "the", "family"}, "."},
    {{"Did", "you", "finish", "the", "report", "yesterday"}, "?"},
    {{"Please", "remember", "to", "close", "the", "windows", "tonight"}, "."},
    {{"Have", "you", "ever", "travelled", "across", "the", "mountains"}, "?"},
    {{"Everybody", "enjoyed", "the", "concert", "last", "Saturday"}, "."},
    {{"Can", "we", "borrow", "your", "umbrella", "tomorrow"}, "?"},
};

// Each take's voice in turn: espeak-ng's English with its variants, one of
// them its formant (Klatt) synthesiser.
const char* const kTakeVoices[] = {"en+f3", "en+m3", "en+f5", "en+klatt"};

struct Reading {
    std::string voice = "en";
    int wordsPerMinute = 160;
    int pitch = 50; // espeak-ng's 0..100 about the voice's own
    int range = 50; // 0: a monotone
};

struct Spoken {
    int rate = 0;
    std::vector<float> samples;
    std::vector<std::string> phonemes; // pauses left out
    std::vector<double> phonemeStarts; // seconds
    std::vector<double> wordStarts;    // seconds, one for each word of the text
    int lastTextPosition = 0;          // of the last word's event, while reading
    double Seconds() const { return double(samples.size()) / rate; }
    // Word `k` from its start to the next word's (the last to the sound's end).
    TimeSpan Word(std::size_t k) const
    {
        return {wordStarts[k], k + 1 < wordStarts.size() ? wordStarts[k + 1] : Seconds()};
    }
};

// espeak-ng hands its sound and events to this, with the reading being made as user data.
int TakeSoundAndEvents(short* wave, int count, espeak_EVENT* events)
{
    auto* spoken = static_cast<Spoken*>(events->user_data);
    for (; events->type != espeakEVENT_LIST_TERMINATED; ++events) {
        const double at = events->audio_position / 1000.0;
        if (events->type == espeakEVENT_PHONEME && events->id.string[0] != '_') {
            spoken->phonemes.emplace_back(events->id.string);
            spoken->phonemeStarts.push_back(at);
        }
        // A word event also comes for the sentence's end, at a text position
        // before the last word's; it is no word.
        if (events->type == espeakEVENT_WORD && events->text_position > spoken->lastTextPosition) {
            spoken->wordStarts.push_back(at);
            spoken->lastTextPosition = events->text_position;
        }
    }
    if (wave)
        for (int i = 0; i < count; ++i)
            spoken->samples.push_back(float(wave[i]) / 32768.0f);
    return 0;
}

// The process's synthesiser, started once (espeak-ng cannot be started twice
// in a process), with phoneme events; its rate.
int Synthesiser()
{
    static const int rate = [] {
        const int started = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                              espeakINITIALIZE_DONT_EXIT | espeakINITIALIZE_PHONEME_EVENTS);
        if (started <= 0)
            throw std::runtime_error("espeak-ng cannot start (is espeak-ng-data installed?)");
        espeak_SetSynthCallback(TakeSoundAndEvents);
        return started;
    }();
    return rate;
}

// `ssml`, SSML text, read as `reading` says.
Spoken Speak(const std::string& ssml, const Reading& reading)
{
    Spoken spoken;
    spoken.rate = Synthesiser();
    if (espeak_SetVoiceByName(reading.voice.c_str()) != EE_OK)
        throw std::runtime_error("espeak-ng has no voice " + reading.voice);
    espeak_SetParameter(espeakRATE, reading.wordsPerMinute, 0);
    espeak_SetParameter(espeakPITCH, reading.pitch, 0);
    espeak_SetParameter(espeakRANGE, reading.range, 0);
    if (espeak_Synth(ssml.c_str(), ssml.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakSSML, nullptr,
                     &spoken) != EE_OK)
        throw std::runtime_error("espeak-ng could not read: " + ssml);
    return spoken;
}

// The sentence as SSML, word `wrapped` (if any) between `open` and `close`.
std::string Text(const Sentence& sentence, std::string end, std::size_t wrapped = SIZE_MAX,
                 const std::string& open = "", const std::string& close = "")
{
    std::string text;
    for (std::size_t k = 0; k < sentence.words.size(); ++k) {
        if (k > 0)
            text += ' ';
        text += k == wrapped ? open + sentence.words[k] + close : sentence.words[k];
    }
    return text + end;
}

std::string Text(const Sentence& sentence)
{
    return Text(sentence, sentence.end);
}

// Every sentence, one after another, as one text.
std::string AllSentences()
{
    std::string text;
    for (const Sentence& sentence : kSentences)
        text += Text(sentence) + ' ';
    return text;
}

std::vector<float> WithNoise(const std::vector<float>& samples, int rate, double snrDb, unsigned seed)
{
    std::vector<float> noisy = samples;
    const std::vector<float> noise = SyntheticVoice::Noise(
        double(samples.size()) / rate, SyntheticVoice::Rms(samples) * std::pow(10.0, -snrDb / 20), seed, rate);
    for (std::size_t i = 0; i < noisy.size() && i < noise.size(); ++i)
        noisy[i] += noise[i];
    return noisy;
}

TakeComparison Compare(const Spoken& original, const Spoken& take)
{
    return CompareTake({original.samples, original.rate}, {take.samples, take.rate});
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

double Share(std::size_t part, std::size_t whole)
{
    return whole ? double(part) / double(whole) : NAN;
}

double Overlap(const TimeSpan& x, const TimeSpan& y)
{
    return std::max(0.0, std::min(x.end, y.end) - std::max(x.start, y.start));
}

// A second, independent estimate of f0 at `seconds` into clean sound: the
// lag of the normalised cross-correlation's highest peak in 60..500 Hz (the
// shortest lag whose peak comes within 5 % of it, against a doubled period),
// over a 40 ms window, refined by a parabola; none without a peak of 0.8.
std::optional<double> CorrelationF0(const std::vector<float>& samples, int rate, double seconds)
{
    const auto window = std::size_t(0.04 * rate), shortest = std::size_t(rate / 500), longest = std::size_t(rate / 60);
    const auto start = std::ptrdiff_t(seconds * rate) - std::ptrdiff_t(window / 2);
    if (start < 0 || std::size_t(start) + window + longest + 1 >= samples.size())
        return std::nullopt;
    const float* x = samples.data() + start;
    std::vector<double> r(longest + 2, 0);
    double head = 0;
    for (std::size_t j = 0; j < window; ++j)
        head += double(x[j]) * x[j];
    for (std::size_t lag = shortest - 1; lag <= longest + 1; ++lag) {
        double cross = 0, shifted = 0;
        for (std::size_t j = 0; j < window; ++j) {
            cross += double(x[j]) * x[j + lag];
            shifted += double(x[j + lag]) * x[j + lag];
        }
        r[lag] = head > 0 && shifted > 0 ? cross / std::sqrt(head * shifted) : 0;
    }
    const auto peak = [&](std::size_t lag) { return r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]; };
    double highest = 0;
    for (std::size_t lag = shortest; lag <= longest; ++lag)
        if (peak(lag))
            highest = std::max(highest, r[lag]);
    if (highest < 0.8)
        return std::nullopt;
    for (std::size_t lag = shortest; lag <= longest; ++lag) {
        if (!peak(lag) || r[lag] < 0.95 * highest)
            continue;
        const double curvature = r[lag - 1] - 2 * r[lag] + r[lag + 1];
        const double offset = curvature < 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / curvature : 0;
        return rate / (double(lag) + offset);
    }
    return std::nullopt;
}

void BM_PitchUnderNoise(benchmark::State& state)
{
    const double snrDb = double(state.range(0));
    const Reading readings[] = {{"en", 160, 50, 50}, {"en+f3", 160, 50, 50}, {"en", 160, 15, 50}, {"en+f5", 160, 85, 70}};
    const std::string text = AllSentences();
    std::size_t both = 0, gross = 0, truePositive = 0, falsePositive = 0, falseNegative = 0;
    std::size_t checked = 0, disagreeing = 0;
    std::vector<double> cents;
    for (auto _ : state) {
        unsigned seed = 11;
        for (const Reading& reading : readings) {
            const Spoken spoken = Speak(text, reading);
            const PitchContour clean = TrackPitch(spoken.samples, spoken.rate);
            const PitchContour noisy = TrackPitch(WithNoise(spoken.samples, spoken.rate, snrDb, seed++), spoken.rate);
            for (std::size_t i = 0; i < clean.frames.size(); ++i) {
                const bool truth = clean.frames[i].Voiced(), found = noisy.frames[i].Voiced();
                truePositive += truth && found;
                falsePositive += !truth && found;
                falseNegative += truth && !found;
                if (!truth)
                    continue;
                // The clean contour is the truth where the second estimate
                // agrees with it; where it has one and disagrees, the frame
                // is left out of the errors below and counted.
                const auto second = CorrelationF0(spoken.samples, spoken.rate, double(i) * clean.hopSeconds);
                checked += second.has_value();
                if (second && std::abs(clean.frames[i].hz / *second - 1) > 0.2) {
                    ++disagreeing;
                    continue;
                }
                if (!found)
                    continue;
                ++both;
                const double ratio = noisy.frames[i].hz / clean.frames[i].hz;
                if (std::abs(ratio - 1) > 0.2)
                    ++gross;
                else
                    cents.push_back(std::abs(1200 * std::log2(ratio)));
            }
        }
    }
    state.counters["gross_error_share"] = Share(gross, both);
    state.counters["fine_error_median_cents"] = Median(cents);
    state.counters["voicing_f1"] =
        2.0 * double(truePositive) / double(2 * truePositive + falsePositive + falseNegative);
    state.counters["clean_frames_checked"] = double(checked);
    state.counters["clean_disagreeing_share"] = Share(disagreeing, checked);
    state.SetLabel(std::to_string(int(snrDb)) + " dB SNR");
}
BENCHMARK(BM_PitchUnderNoise)->Arg(30)->Arg(20)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

// The ways a take of the same sentence is read in the timing figures.
enum class TakeKind { OtherVoice, Slower, Faster, OtherPitch, Noisy, OtherAccent };

// Other accents of English, read with other phonemes and timings in places.
const char* const kAccents[] = {"en-us+f3", "en-gb-scotland", "en-gb-x-gbclan+m3", "en-029+f5"};

// The phonemes two readings share, as pairs of their indices in order (the
// longest common subsequence of their names): the points whose times are
// known in both.
std::vector<std::pair<std::size_t, std::size_t>> CommonPhonemes(const Spoken& x, const Spoken& y)
{
    const std::size_t m = x.phonemes.size(), n = y.phonemes.size();
    std::vector<std::vector<std::size_t>> longest(m + 1, std::vector<std::size_t>(n + 1, 0));
    for (std::size_t i = m; i-- > 0;)
        for (std::size_t j = n; j-- > 0;)
            longest[i][j] = x.phonemes[i] == y.phonemes[j] ? longest[i + 1][j + 1] + 1
                                                           : std::max(longest[i + 1][j], longest[i][j + 1]);
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t i = 0, j = 0; i < m && j < n;) {
        if (x.phonemes[i] == y.phonemes[j]) {
            pairs.emplace_back(i++, j++);
        } else if (longest[i + 1][j] >= longest[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

void BM_TimingOnSpokenTakes(benchmark::State& state)
{
    const auto kind = TakeKind(state.range(0));
    const char* const labels[] = {"other voice", "25 % slower", "25 % faster", "same voice, other pitch",
                                  "other voice, 15 dB SNR", "other accent"};
    std::vector<double> errors;
    std::size_t takes = 0, refused = 0, framesUnmatched = 0, frames = 0, phonemes = 0;
    for (auto _ : state) {
        for (std::size_t s = 0; s < kSentences.size(); ++s) {
            const Spoken original = Speak(Text(kSentences[s]), {});
            Reading reading{kTakeVoices[s % std::size(kTakeVoices)]};
            if (kind == TakeKind::Slower)
                reading.wordsPerMinute = 120;
            if (kind == TakeKind::Faster)
                reading.wordsPerMinute = 200;
            if (kind == TakeKind::OtherPitch)
                reading = {"en", 160, s % 2 ? 85 : 15, 80};
            if (kind == TakeKind::OtherAccent)
                reading.voice = kAccents[s % std::size(kAccents)];
            Spoken take = Speak(Text(kSentences[s]), reading);
            if (kind == TakeKind::Noisy)
                take.samples = WithNoise(take.samples, take.rate, 15, unsigned(s));
            ++takes;
            const TakeComparison result = Compare(original, take);
            if (result.reason) {
                ++refused;
                continue;
            }
            for (const auto& frame : result.takeFrame) {
                ++frames;
                framesUnmatched += !frame;
            }
            phonemes += original.phonemes.size();
            for (const auto& [p, q] : CommonPhonemes(original, take)) {
                const auto i = std::size_t(std::lround(original.phonemeStarts[p] / result.hopSeconds));
                const auto& frame = result.takeFrame[std::min(i, result.takeFrame.size() - 1)];
                errors.push_back(frame ? std::abs(*frame * result.hopSeconds - take.phonemeStarts[q]) : INFINITY);
            }
        }
    }
    state.counters["median_error_ms"] = 1000 * Median(errors);
    state.counters["within_50ms_share"] =
        Share(std::size_t(std::count_if(errors.begin(), errors.end(), [](double e) { return e <= 0.05; })),
              errors.size());
    state.counters["points"] = double(errors.size());
    state.counters["takes"] = double(takes);
    state.counters["takes_refused"] = double(refused);
    state.counters["phonemes"] = double(phonemes);
    state.counters["unmatched_share"] = Share(framesUnmatched, frames);
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_TimingOnSpokenTakes)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

// The sentence's longest word that is not its last (whose end the sentence's
// own slowing down blurs).
std::size_t LongestWord(const Spoken& original)
{
    std::size_t longest = 0;
    for (std::size_t k = 1; k + 1 < original.wordStarts.size(); ++k)
        if (original.Word(k).Length() > original.Word(longest).Length())
            longest = k;
    return longest;
}

void BM_SlowerAndFasterWords(benchmark::State& state)
{
    std::size_t changed = 0, found = 0, marks = 0, falseMarks = 0;
    // A mark is on a changed word when it overlaps it by this much.
    constexpr double kOnWord = 0.05;
    for (auto _ : state) {
        for (std::size_t s = 0; s < kSentences.size(); ++s) {
            const Spoken original = Speak(Text(kSentences[s]), {});
            const char* voice = kTakeVoices[s % std::size(kTakeVoices)];
            const std::size_t word = LongestWord(original);
            const TimeSpan truth = original.Word(word);
            const bool slower = s % 2 == 0;
            const std::string text = Text(kSentences[s], kSentences[s].end, word,
                                          slower ? "<prosody rate=\"x-slow\">" : "<prosody rate=\"x-fast\">",
                                          "</prosody>");
            // The take with the word changed, at the original's tempo, slower
            // throughout and under noise; and the same takes unchanged (their
            // marks are all false), and faster throughout.
            struct Take {
                bool change;
                int wordsPerMinute;
                bool noisy;
            };
            const Take takes[] = {{true, 160, false},  {true, 120, false},  {true, 160, true},  {false, 160, false},
                                  {false, 120, false}, {false, 200, false}, {false, 160, true}};
            for (const auto [change, wordsPerMinute, noisy] : takes) {
                Spoken take = Speak(change ? text : Text(kSentences[s]), {voice, wordsPerMinute});
                if (noisy)
                    take.samples = WithNoise(take.samples, take.rate, 15, unsigned(s));
                const TakeComparison result = Compare(original, take);
                if (result.reason) {
                    state.SkipWithError(("a take was refused: " + *result.reason).c_str());
                    return;
                }
                changed += change;
                const auto& right = slower ? result.slower : result.faster;
                found += change && std::any_of(right.begin(), right.end(),
                                               [&](const TimeSpan& mark) { return Overlap(mark, truth) >= kOnWord; });
                for (const auto* kindOfMark : {&result.slower, &result.faster})
                    for (const TimeSpan& mark : *kindOfMark) {
                        ++marks;
                        falseMarks += !(change && kindOfMark == &right && Overlap(mark, truth) >= kOnWord);
                    }
            }
        }
    }
    state.counters["words_changed"] = double(changed);
    state.counters["takes"] = double(7 * kSentences.size());
    state.counters["recall"] = Share(found, changed);
    state.counters["marks"] = double(marks);
    state.counters["false_mark_share"] = Share(falseMarks, marks);
}
BENCHMARK(BM_SlowerAndFasterWords)->Iterations(1)->Unit(benchmark::kMillisecond);

// What changes the melody of the second take of a pair.
enum class MelodyChange { Flattened, FinalTurned, StressMoved };

void BM_ChangedMelodyScoresLower(benchmark::State& state)
{
    const auto change = MelodyChange(state.range(0));
    const char* const labels[] = {"flattened", "final rise turned into a fall or back", "stress moved"};
    std::size_t pairs = 0, lower = 0, unscored = 0;
    std::vector<double> margins;
    for (auto _ : state) {
        for (std::size_t s = 0; s < kSentences.size(); ++s) {
            const Sentence& sentence = kSentences[s];
            Reading reading{kTakeVoices[s % std::size(kTakeVoices)]};
            std::string originalText = Text(sentence), changedText = originalText;
            Reading changedReading = reading;
            if (change == MelodyChange::Flattened)
                changedReading.range = 0;
            if (change == MelodyChange::FinalTurned)
                changedText = Text(sentence, sentence.end == "?" ? "." : "?");
            if (change == MelodyChange::StressMoved) {
                // Stress on the second word, or on the one before the last.
                const std::size_t stressed = 1, moved = sentence.words.size() - 2;
                originalText = Text(sentence, sentence.end, stressed, "<emphasis>", "</emphasis>");
                changedText = Text(sentence, sentence.end, moved, "<emphasis>", "</emphasis>");
            }
            const Spoken original = Speak(originalText, {});
            const auto score = [&](const std::string& text, const Reading& by) {
                const TakeComparison result = Compare(original, Speak(text, by));
                unscored += !result.melodyScore;
                return result.melodyScore.value_or(0);
            };
            const double same = score(originalText, reading), changed = score(changedText, changedReading);
            ++pairs;
            lower += changed < same;
            margins.push_back(same - changed);
        }
    }
    state.counters["pairs"] = double(pairs);
    state.counters["changed_scores_lower_share"] = Share(lower, pairs);
    state.counters["median_margin"] = Median(margins);
    state.counters["unscored"] = double(unscored);
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_ChangedMelodyScoresLower)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DifferentSentenceToldApart(benchmark::State& state)
{
    std::size_t takes = 0, toldApart = 0, refused = 0;
    for (auto _ : state) {
        for (std::size_t s = 0; s < kSentences.size(); ++s) {
            const Spoken original = Speak(Text(kSentences[s]), {});
            const Spoken other =
                Speak(Text(kSentences[(s + 1) % kSentences.size()]), {kTakeVoices[s % std::size(kTakeVoices)]});
            const TakeComparison result = Compare(original, other);
            ++takes;
            if (result.reason) {
                ++refused;
                ++toldApart;
                continue;
            }
            double unmatched = 0;
            for (const UnmatchedStretch& stretch : result.unmatched)
                unmatched += stretch.original.Length();
            toldApart += unmatched > 0.5 * original.Seconds();
        }
    }
    state.counters["takes"] = double(takes);
    state.counters["told_apart_share"] = Share(toldApart, takes);
    state.counters["refused"] = double(refused);
}
BENCHMARK(BM_DifferentSentenceToldApart)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CompareTenSecondTake(benchmark::State& state)
{
    // As many sentences as make 10 s in the original's voice, cut to 10 s;
    // the take the same in another voice, slower.
    const std::string text = AllSentences();
    Spoken original = Speak(text, {});
    Spoken take = Speak(text, {"en+f3", 145});
    original.samples.resize(std::min(original.samples.size(), std::size_t(10 * original.rate)));
    take.samples.resize(std::min(take.samples.size(), std::size_t(11 * take.rate)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Compare(original, take));
    state.SetLabel(std::to_string(original.Seconds()).substr(0, 4) + " s original, " +
                   std::to_string(take.Seconds()).substr(0, 4) + " s take");
}
BENCHMARK(BM_CompareTenSecondTake)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
