// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Sentences spoken by espeak-ng one after another, each one's sound handed
// on as it is made, with where each one begins and ends: the synthetic
// reading a recording is aligned to.

// Each sentence's first and past-last sample in the sound spoken.
using SpokenSpan = std::pair<std::size_t, std::size_t>;

struct SpokenSentences {
    int rate = 0;
    std::vector<float> samples;     // mono, -1..1
    std::vector<SpokenSpan> spans;
};

// A language the synthesiser speaks, and the voice that speaks it.
struct SynthesiserVoice {
    std::string language;  // a tag espeak-ng takes as a voice ("en", "en-us", "zh")
    std::string name;      // the voice's, as espeak-ng names it ("English_(America)")
    int priority = 0;      // lower: the voice is the language's more usual one
};

// The synthesiser of the process. espeak-ng keeps one state per process, so
// one speaker speaks at a time: a speaker holds it from Open until it is
// destroyed, and another Open waits until then.
class SentenceSpeaker {
public:
    // `voice`: an espeak-ng voice name such as "en" or "en-us+f3";
    // `wordsPerMinute` from 80 to 450.
    static std::optional<SentenceSpeaker> Open(const std::string& voice, int wordsPerMinute, std::string& failure);

    int Rate() const { return m_rate; }
    // Each sentence (UTF-8) after the one before, `pauseSeconds` of silence
    // between them; `onSound` gets the sound as it comes (silences as zeros),
    // `onSentence` each sentence's span once it is spoken. Stops early, after
    // the sentence being spoken, when `onSentence` returns false.
    void Speak(const std::vector<std::string>& sentences, double pauseSeconds,
               const std::function<void(std::span<const float>)>& onSound,
               const std::function<bool(std::size_t index, SpokenSpan span)>& onSentence) const;
    // The same, all held.
    SpokenSentences Speak(const std::vector<std::string>& sentences, double pauseSeconds) const;

    // Every language of every voice espeak-ng has.
    static std::vector<SynthesiserVoice> Voices();

private:
    SentenceSpeaker(int rate, std::unique_lock<std::mutex> turn) : m_rate(rate), m_turn(std::move(turn)) {}
    int m_rate;
    std::unique_lock<std::mutex> m_turn;
};
