// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SpokenCorpus.h"
#include "support/CommandOutput.h"
#include "support/SyntheticVoice.h"

#include "components/stretch/TimeStretcher.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>

namespace {

// A sentence's sound starts where a 1 ms stretch first rises above this, and
// the 30 ms from there do too on the whole: a synthesiser's lead-in of
// near-silence (flite's holds clicks at -50 dBFS, 46 dB below its speech) is
// not the sentence.
constexpr double kSoundDb = -55;
constexpr std::size_t kSoundRunMs = 30;

// What `command` says for `text`: its WAV output's samples, and their rate.
std::vector<float> Speak(const std::string& command, const std::string& text, int& rate)
{
    const std::string bytes = CommandOutput(command + " " + ShellQuoted(text));
    // A canonical 44-byte header: rate at byte 24, 16-bit mono samples after.
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0)
        throw std::runtime_error(command + " gave no sound for \"" + text + "\" (is its package installed?)");
    rate = int(std::uint8_t(bytes[24]) | std::uint8_t(bytes[25]) << 8 | std::uint8_t(bytes[26]) << 16);
    std::vector<float> samples;
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
        samples.push_back(float(std::int16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8)) / 32768.0f);
    return samples;
}

bool Loud(const std::vector<float>& samples, std::size_t first, std::size_t count)
{
    double power = 0;
    for (std::size_t i = first; i < first + count && i < samples.size(); ++i)
        power += double(samples[i]) * samples[i];
    return 10 * std::log10(power / double(count) + 1e-13) > kSoundDb;
}

// The samples from the first loud millisecond that starts a loud run to the
// last loud millisecond.
std::vector<float> CutToSound(const std::vector<float>& samples, int rate)
{
    const std::size_t ms = std::size_t(rate / 1000);
    const std::size_t run = kSoundRunMs * ms;
    std::size_t first = 0;
    while (first + ms <= samples.size() && !(Loud(samples, first, ms) && Loud(samples, first, run)))
        first += ms;
    std::size_t end = samples.size() - samples.size() % ms;
    while (end > first && !Loud(samples, end - ms, ms))
        end -= ms;
    return {samples.begin() + std::ptrdiff_t(first), samples.begin() + std::ptrdiff_t(end)};
}

// `samples` played at `tempo` (1: as they are), at their own pitch.
std::vector<float> AtTempo(const std::vector<float>& samples, int rate, double tempo)
{
    if (tempo == 1)
        return samples;
    TimeStretcher stretcher(1, rate);
    stretcher.Restart(tempo);
    stretcher.Push(samples.data(), samples.size());
    stretcher.Finish();
    std::vector<float> out;
    stretcher.Pull(out);
    return out;
}

// Pink noise (power falling 3 dB an octave), from white noise through Paul
// Kellet's filter.
std::vector<float> PinkNoise(std::size_t count)
{
    std::mt19937 random(12345);
    std::normal_distribution<double> white(0, 1);
    double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
    std::vector<float> noise(count);
    for (float& sample : noise) {
        const double w = white(random);
        b0 = 0.99886 * b0 + w * 0.0555179;
        b1 = 0.99332 * b1 + w * 0.0750759;
        b2 = 0.96900 * b2 + w * 0.1538520;
        b3 = 0.86650 * b3 + w * 0.3104856;
        b4 = 0.55000 * b4 + w * 0.5329522;
        b5 = -0.7616 * b5 - w * 0.0168980;
        sample = float(b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362);
        b6 = w * 0.115926;
    }
    return noise;
}

} // namespace

const std::vector<std::string>& EverydaySentences()
{
    static const std::vector<std::string> sentences = {
        "The train to the coast leaves at nine in the morning.",
        "She opened the window and listened to the rain.",
        "Most of the students finished the test before noon.",
        "Could you tell me where the nearest library is?",
        "He has lived in this small town for twenty years.",
        "The soup was too hot to eat, so we waited a little.",
        "Every Sunday they walk along the river with their dog.",
        "I forgot my umbrella at the station yesterday.",
        "Learning a language takes patience and daily practice.",
        "The museum is closed on Mondays and public holidays.",
        "My brother plays the guitar in a band.",
        "Please turn off the lights when you leave the room.",
        "The children built a castle of sand on the beach.",
        "We should check the weather before we start our trip.",
        "Her new book will be published next spring.",
        "The baker sells fresh bread early every morning.",
        "Nobody knew the answer to the last question.",
        "They painted the kitchen a bright shade of yellow.",
        "It is much colder here than I expected.",
        "Thank you for helping me carry these heavy boxes.",
    };
    return sentences;
}

std::vector<double> CorpusPauses(std::size_t count)
{
    // From 180 to 800 ms, shuffled so that short and long ones meet.
    std::vector<double> pauses;
    for (std::size_t i = 0; i < count; ++i)
        pauses.push_back(0.18 + 0.62 * double((i * 7) % count) / double(std::max<std::size_t>(count - 1, 1)));
    return pauses;
}

SpokenCorpus MakeSpokenCorpus(const std::vector<std::string>& sentences, const std::vector<double>& pauses,
                              std::optional<double> snrDb, double lead, const SpokenReading& reading)
{
    SpokenCorpus corpus;
    std::vector<float> speech;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        int rate = 0;
        const std::vector<float> spoken = Speak(reading.command, sentences[i], rate);
        const double tempo = i < reading.tempos.size() ? reading.tempos[i] : 1.0;
        const std::vector<float> sound = AtTempo(CutToSound(spoken, rate), rate, tempo);
        if (corpus.rate == 0) {
            corpus.rate = rate;
            corpus.samples.assign(std::size_t(lead * rate), 0.0f);
        }
        const double start = double(corpus.samples.size()) / rate;
        corpus.samples.insert(corpus.samples.end(), sound.begin(), sound.end());
        speech.insert(speech.end(), sound.begin(), sound.end());
        corpus.sentences.push_back({start, double(corpus.samples.size()) / rate});
        const double pause = i + 1 < sentences.size() ? pauses.at(i) : lead;
        corpus.samples.insert(corpus.samples.end(), std::size_t(pause * rate), 0.0f);
    }
    if (snrDb) {
        const std::vector<float> noise = PinkNoise(corpus.samples.size());
        const double gain = SyntheticVoice::Rms(speech) / std::pow(10.0, *snrDb / 20) / SyntheticVoice::Rms(noise);
        for (std::size_t i = 0; i < noise.size(); ++i)
            corpus.samples[i] += float(gain * noise[i]);
    }
    return corpus;
}

std::vector<float> AtTwiceTheRate(const std::vector<float>& samples)
{
    std::vector<float> doubled;
    doubled.reserve(2 * samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        doubled.push_back(samples[i]);
        doubled.push_back(i + 1 < samples.size() ? (samples[i] + samples[i + 1]) / 2 : samples[i]);
    }
    return doubled;
}
