// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpeechTextAligner.h"

#include "components/align/CreateTextAligner.h"
#include "components/align/SpokenAlignment.h"
#include "components/align/SpokenSentences.h"
#include "components/align/TextSentences.h"
#include "components/align/WindowedAlignment.h"
#include "components/profile/DecodingPass.h"
#include "components/speech/LevelMatch.h"
#include "components/speech/Mfcc.h"

#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

namespace {

// The synthetic reading's pace and the pause between its sentences: a
// steady reader's, so that the recording's own pauses warp onto them.
constexpr int kWordsPerMinute = 165;
constexpr double kPauseSeconds = 0.3;
// Reports while working come at most this often ...
constexpr std::chrono::milliseconds kReportEvery{250};
// ... and the warping looks for more input this often while it waits.
constexpr std::chrono::milliseconds kWarpWaits{20};

using Clock = std::chrono::steady_clock;

// A rate for the features' settings where it does not matter.
constexpr int kAnyRate = 16000;

// The language of a voice ("en-us" -> "en"), whose abbreviations the text's
// sentences are split by.
std::string LanguageOf(const std::string& voiceId)
{
    return voiceId.substr(0, voiceId.find_first_of("-+_"));
}

// Each frame of interleaved sound as the mean of its channels.
template <typename Sample> void MixToMono(std::span<const Sample> samples, int channels, std::vector<float>& mono)
{
    constexpr float scale = std::is_same_v<Sample, float> ? 1.0f : 1.0f / 32768.0f;
    mono.resize(samples.size() / std::size_t(std::max(1, channels)));
    for (std::size_t frame = 0; frame < mono.size(); ++frame) {
        float sum = 0;
        for (int channel = 0; channel < channels; ++channel)
            sum += float(samples[frame * std::size_t(channels) + std::size_t(channel)]);
        mono[frame] = sum * scale / float(channels);
    }
}

MfccSettings SettingsAt(int rate)
{
    MfccSettings settings;
    settings.rate = rate;
    // The loudness weighs like two cepstral coefficients: without it a
    // sentence's soft first sound warps onto the noise of a long pause.
    settings.loudnessWeight = 2.0;
    return settings;
}

} // namespace

struct AlignmentJob {
    explicit AlignmentJob(const WindowSettings& settings) : windows(settings) {}

    std::string mediaPath;
    std::string voice;
    std::vector<TextSentence> sentences;
    Clock::time_point started = Clock::now();
    std::atomic<bool> dropped{false};
    std::atomic<Clock::rep> lastReport{0};

    // Fed by the decoding and the reading, warped on a thread of its own.
    WindowedAligner windows;
    // Written by the media framework's thread until the decoding ends.
    std::unique_ptr<MfccStream> heard;
    // Raises a quiet recording before its features are made. With `heard`,
    // used by the streaming thread and at the end by the GUI thread.
    std::optional<LevelMatch> heardMatch;
    std::mutex heardMutex;
    std::atomic<double> decodedSeconds{0};
    // Written by the reading's thread until the reading ends.
    std::atomic<std::size_t> sentencesSpoken{0};
    std::atomic<double> spokenSeconds{0};
    std::atomic<std::size_t> sentencesTimed{0};

    // GUI thread only.
    bool decoded = false;
    std::string problem;
    // The sentences timed so far, in the text's order.
    std::vector<TimedSentence> timed;

    // True when a report is due (and takes the turn for it).
    bool ReportDue()
    {
        const Clock::rep now = Clock::now().time_since_epoch().count();
        Clock::rep last = lastReport.load();
        const auto every = std::chrono::duration_cast<Clock::duration>(kReportEvery).count();
        return now - last >= every && lastReport.compare_exchange_strong(last, now);
    }
    // Of the whole work: the reading, the decoding and the warping, which
    // trails them, weigh alike.
    double Fraction() const
    {
        if (sentences.empty())
            return 0;
        const std::size_t count = sentencesSpoken.load();
        const double readShare = double(count) / double(sentences.size());
        double decodeShare = 1;
        if (!decoded) {
            // The recording is about as long as the reading will be.
            const double expected = count > 0 ? spokenSeconds.load() / double(count) * double(sentences.size()) : 0;
            decodeShare = expected > 0 ? std::min(0.95, decodedSeconds.load() / expected) : 0;
        }
        const double timedShare = double(sentencesTimed.load()) / double(sentences.size());
        return (readShare + decodeShare + timedShare) / 3;
    }
};

SpeechTextAligner::SpeechTextAligner(const WindowSettings& windows) : m_windows(windows)
{
    // The loudness follows the cepstral coefficients.
    m_windows.loudness = std::size_t(SettingsAt(kAnyRate).coefficients);
}

SpeechTextAligner::~SpeechTextAligner()
{
    Cancel();
    m_workers.clear(); // joins them
}

void SpeechTextAligner::Start(std::function<void()> work)
{
    // Threads that have finished are joined now.
    std::erase_if(m_workers, [](const Worker& worker) { return worker.done->load(); });
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_workers.push_back({std::jthread([work = std::move(work), done] {
                             work();
                             *done = true;
                         }),
                         done});
}

std::vector<AlignVoice> SpeechTextAligner::Voices() const
{
    // Listed once: while an alignment speaks, the synthesiser is not free.
    if (!m_voices.empty())
        return m_voices;
    // Each language once, spoken by its most usual voice. A voice's name
    // reads as espeak-ng gives it; a language that is not a variant of one
    // ("en", "zh") is named without its variant's part ("English").
    std::map<std::string, SynthesiserVoice> byLanguage;
    for (const SynthesiserVoice& voice : SentenceSpeaker::Voices()) {
        auto [known, added] = byLanguage.emplace(voice.language, voice);
        if (!added && voice.priority < known->second.priority)
            known->second = voice;
    }
    std::vector<AlignVoice> voices;
    for (const auto& [language, voice] : byLanguage) {
        std::string name = voice.name;
        std::replace(name.begin(), name.end(), '_', ' ');
        if (language.find('-') == std::string::npos)
            name = name.substr(0, name.find(" ("));
        voices.push_back({language, name + " (" + language + ")"});
    }
    std::sort(voices.begin(), voices.end(), [](const AlignVoice& x, const AlignVoice& y) { return x.name < y.name; });
    m_voices = voices;
    return voices;
}

void SpeechTextAligner::Align(const std::string& mediaPath, const std::string& text, const std::string& voiceId)
{
    Cancel();
    auto job = std::make_shared<AlignmentJob>(m_windows);
    job->mediaPath = mediaPath;
    job->voice = voiceId;
    job->sentences = SplitSentences(text, LanguageOf(voiceId));
    m_job = job;
    if (job->sentences.empty()) {
        m_job.reset();
        Report(job, true, "the text has no sentences to align");
        return;
    }
    try {
        m_decoding = std::make_unique<DecodingPass>(
            mediaPath,
            [job](const SoundChunk& chunk) {
                if (job->dropped)
                    return;
                std::lock_guard lock(job->heardMutex);
                if (!job->heard) {
                    const int rate = chunk.rate;
                    job->heard = std::make_unique<MfccStream>(SettingsAt(rate));
                    job->heardMatch.emplace(rate, [job = job.get(), rate](std::span<const float> mono) {
                        job->heard->Push(mono);
                        job->windows.Heard().Append(job->heard->TakeFrames());
                        job->decodedSeconds = double(job->heard->SamplesPushed()) / rate;
                    });
                }
                thread_local std::vector<float> mono;
                std::visit([&](auto samples) { MixToMono(samples, chunk.channels, mono); }, chunk.samples);
                job->heardMatch->Push(mono);
            },
            [this, job](const std::string& problem) {
                if (std::lock_guard lock(job->heardMutex); job->heardMatch && !job->dropped)
                    job->heardMatch->Finish();
                job->decoded = true;
                job->windows.Heard().Finish();
                if (!problem.empty() && job->problem.empty())
                    job->problem = problem;
                OnPartDone(job);
            });
    } catch (const std::runtime_error& error) {
        m_job.reset();
        Report(job, true, error.what());
        return;
    }
    Report(job, false);

    Start([this, job] {
        std::string failure;
        std::optional<SentenceSpeaker> speaker = SentenceSpeaker::Open(job->voice, kWordsPerMinute, failure);
        if (speaker) {
            const double rate = speaker->Rate();
            MfccStream spoken(SettingsAt(speaker->Rate()));
            std::vector<std::string> texts;
            for (const TextSentence& sentence : job->sentences)
                texts.push_back(sentence.text);
            speaker->Speak(
                texts, kPauseSeconds,
                [&](std::span<const float> sound) {
                    spoken.Push(sound);
                    job->windows.Synthetic().Append(spoken.TakeFrames());
                },
                [&](std::size_t, SpokenSpan span) {
                    job->windows.AddSentence({double(span.first) / rate, double(span.second) / rate});
                    job->spokenSeconds = double(span.second) / rate;
                    ++job->sentencesSpoken;
                    if (job->ReportDue())
                        Post(job, [this, job] { Report(job, false); });
                    return !job->dropped;
                });
            job->windows.Synthetic().Finish();
            job->windows.EndSentences();
            return;
        }
        Post(job, [this, job, failure] {
            if (job->problem.empty())
                job->problem = failure;
            OnPartDone(job);
        });
    });
    Start([this, job] { Warp(job); });
}

void SpeechTextAligner::Warp(const std::shared_ptr<AlignmentJob>& job)
{
    while (!job->dropped && !job->windows.Done()) {
        std::vector<TimeSpan> spans = job->windows.Advance();
        if (spans.empty()) {
            std::this_thread::sleep_for(kWarpWaits);
            continue;
        }
        // A recording that does not say the text is told by its first window,
        // before any of its sentences is shown.
        if (job->windows.DistanceRatio() > kMismatchedRatio || !MismatchOf(*job->windows.FirstFit()).empty())
            break;
        job->sentencesTimed += spans.size();
        // The last ones are reported with the end.
        const bool more = !job->windows.Done();
        Post(job, [this, job, more, spans = std::move(spans)] {
            for (const TimeSpan& span : spans) {
                const TextSentence& sentence = job->sentences[job->timed.size()];
                job->timed.push_back({sentence.text, sentence.startsParagraph, span});
            }
            if (more && job == m_job)
                Report(job, false);
        });
    }
    const std::optional<WarpFit>& fit = job->windows.FirstFit();
    std::string mismatch = fit ? MismatchOf(*fit) : std::string();
    if (mismatch.empty() && job->windows.DistanceRatio() > kMismatchedRatio) {
        WarpFit windows;
        windows.distanceRatio = job->windows.DistanceRatio();
        mismatch = MismatchOf(windows);
    }
    Post(job, [this, job, mismatch, fit] {
        if (job != m_job)
            return;
        m_job.reset();
        m_lastFirstFit = fit;
        if (job->windows.Heard().Count() == 0)
            Report(job, true, "\"" + job->mediaPath + "\" has no sound to align the text to");
        else if (!mismatch.empty())
            Report(job, true,
                   "the sound of \"" + job->mediaPath + "\" does not seem to say this text (in this language): " + mismatch);
        else
            Report(job, true);
    });
}

void SpeechTextAligner::Cancel()
{
    if (m_job)
        m_job->dropped = true;
    m_job.reset();
    m_decoding.reset();
}

void SpeechTextAligner::OnPartDone(const std::shared_ptr<AlignmentJob>& job)
{
    if (job != m_job)
        return;
    if (job->decoded && m_decoding) {
        // Not in its own end handler: dropped once the event loop is back.
        QMetaObject::invokeMethod(this, [pass = std::shared_ptr<DecodingPass>(std::move(m_decoding))] {}, Qt::QueuedConnection);
    }
    if (!job->problem.empty()) {
        Cancel();
        Report(job, true, job->problem);
    }
}

void SpeechTextAligner::Report(const std::shared_ptr<AlignmentJob>& job, bool finished, const std::string& problem)
{
    AlignmentReport report;
    report.mediaPath = job->mediaPath;
    report.total = job->sentences.size();
    report.finished = finished;
    report.problem = problem;
    if (finished && problem.empty()) {
        report.sentences = std::move(job->timed);
        report.fraction = 1;
        report.secondsLeft = 0;
    } else {
        if (!finished)
            report.sentences = job->timed;
        report.fraction = job->Fraction();
        const double elapsed = std::chrono::duration<double>(Clock::now() - job->started).count();
        if (report.fraction >= 0.05 && !finished)
            report.secondsLeft = elapsed * (1 - report.fraction) / report.fraction;
    }
    emit progressed(report);
}

void SpeechTextAligner::Post(const std::shared_ptr<AlignmentJob>& job, std::function<void()> what)
{
    if (job->dropped)
        return;
    QMetaObject::invokeMethod(
        this, [job, what = std::move(what)] {
            if (!job->dropped)
                what();
        },
        Qt::QueuedConnection);
}

std::unique_ptr<TextAligner> CreateTextAligner()
{
    return std::make_unique<SpeechTextAligner>();
}
