// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/SpokenSentences.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>

namespace {

std::mutex g_synthesiser;

// espeak-ng hands its sound to this, with the call's sound as user data.
int TakeSound(short* wave, int count, espeak_EVENT* events)
{
    if (!wave || count <= 0 || !events)
        return 0;
    auto* sound = static_cast<std::vector<float>*>(events->user_data);
    for (int i = 0; i < count; ++i)
        sound->push_back(float(wave[i]) / 32768.0f);
    return 0;
}

// Started once and never terminated: espeak-ng 1.51's espeak_Terminate can
// wait for ever on its own thread, and a second espeak_Initialize in one
// process hangs the same way. Called with g_synthesiser held.
int SynthesiserRate()
{
    static const int rate = [] {
        const int started = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (started > 0)
            espeak_SetSynthCallback(TakeSound);
        return started;
    }();
    return rate;
}

} // namespace

std::optional<SentenceSpeaker> SentenceSpeaker::Open(const std::string& voice, int wordsPerMinute, std::string& failure)
{
    std::unique_lock<std::mutex> turn(g_synthesiser);
    const int rate = SynthesiserRate();
    if (rate <= 0) {
        failure = "espeak-ng cannot start (is its data, espeak-ng-data, installed?)";
        return std::nullopt;
    }
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
        failure = "espeak-ng has no voice \"" + voice + "\"";
        return std::nullopt;
    }
    espeak_SetParameter(espeakRATE, std::clamp(wordsPerMinute, espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
    return SentenceSpeaker(rate, std::move(turn));
}

void SentenceSpeaker::Speak(const std::vector<std::string>& sentences, double pauseSeconds,
                            const std::function<void(std::span<const float>)>& onSound,
                            const std::function<bool(std::size_t, SpokenSpan)>& onSentence) const
{
    const auto pause = std::size_t(pauseSeconds * m_rate);
    const std::vector<float> silence(pause, 0.0f);
    std::vector<float> sound;
    std::size_t spoken = 0;
    for (std::size_t index = 0; index < sentences.size(); ++index) {
        const std::string& sentence = sentences[index];
        sound.clear();
        // Synchronous output: the call returns once the sentence is spoken.
        espeak_Synth(sentence.c_str(), sentence.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &sound);
        // Its sound without the synthesiser's own silence around it.
        std::size_t first = 0, end = sound.size();
        while (first < end && std::abs(sound[first]) < 1e-3f)
            ++first;
        while (end > first && std::abs(sound[end - 1]) < 1e-3f)
            --end;
        if (index > 0) {
            onSound(silence);
            spoken += silence.size();
        }
        onSound(std::span<const float>(sound).subspan(first, end - first));
        const SpokenSpan span{spoken, spoken + (end - first)};
        spoken = span.second;
        if (!onSentence(index, span))
            return;
    }
}

SpokenSentences SentenceSpeaker::Speak(const std::vector<std::string>& sentences, double pauseSeconds) const
{
    SpokenSentences spoken;
    spoken.rate = m_rate;
    Speak(
        sentences, pauseSeconds,
        [&](std::span<const float> sound) { spoken.samples.insert(spoken.samples.end(), sound.begin(), sound.end()); },
        [&](std::size_t, SpokenSpan span) {
            spoken.spans.push_back(span);
            return true;
        });
    return spoken;
}

std::vector<SynthesiserVoice> SentenceSpeaker::Voices()
{
    std::lock_guard<std::mutex> turn(g_synthesiser);
    std::vector<SynthesiserVoice> voices;
    if (SynthesiserRate() <= 0)
        return voices;
    for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); voice && *voice; ++voice) {
        // Each language as a priority byte and a tag ending in a NUL; an
        // empty tag ends the list.
        for (const char* language = (*voice)->languages; language && language[0] && language[1];) {
            const int priority = language[0];
            const std::string tag = language + 1;
            voices.push_back({tag, (*voice)->name ? (*voice)->name : "", priority});
            language += 1 + tag.size() + 1;
        }
    }
    return voices;
}
