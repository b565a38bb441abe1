// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/PlaybackStart.h"
#include "components/takes/VoiceActivity.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <vector>

// When a take is over, and where its playback starts, on made sound: stereo
// 44.1 kHz, silence (or a quiet room) and 200 Hz tones standing for speech.

namespace {

constexpr int kRate = 44100;

class Sound {
public:
    Sound& Silence(double seconds) { return Tone(seconds, 0); }
    // A tone at `level` (0..1 of full scale), swelling to it from `from`.
    Sound& Tone(double seconds, double level, double from = -1)
    {
        const long frames = std::lround(seconds * kRate);
        for (long frame = 0; frame < frames; ++frame, ++m_frame) {
            const double gain = from < 0 ? level : from + (level - from) * double(frame) / double(frames);
            const auto sample = std::int16_t(
                std::lround(gain * 32767 * std::sin(2 * std::numbers::pi * 200 * double(m_frame) / kRate)));
            samples.push_back(sample);
            samples.push_back(sample);
        }
        return *this;
    }
    std::size_t Frames() const { return samples.size() / 2; }

    std::vector<std::int16_t> samples;

private:
    long m_frame = 0;
};

// Fed in blocks of the given size, as a capture delivers them; the frame at
// which the take was over, or nothing.
std::optional<std::size_t> OverAt(const Sound& sound, double longest, std::size_t blockFrames = 1024)
{
    VoiceActivity activity({kRate, 2, 0.6, longest});
    for (std::size_t frame = 0; frame < sound.Frames(); frame += blockFrames) {
        const std::size_t frames = std::min(blockFrames, sound.Frames() - frame);
        if (activity.Feed(std::span(sound.samples).subspan(2 * frame, 2 * frames)))
            return frame + frames;
    }
    return std::nullopt;
}

TEST(VoiceActivityTest, ATakeIsOverAfterSpeechAndThenSixTenthsOfASecondOfSilence)
{
    Sound sound;
    sound.Silence(1.2).Tone(1.5, 0.3).Silence(0.3).Tone(0.5, 0.3).Silence(2);
    // The short pause inside the speech does not end it.
    const std::optional<std::size_t> over = OverAt(sound, 10);
    ASSERT_TRUE(over);
    EXPECT_NEAR(double(*over) / kRate, 1.2 + 1.5 + 0.3 + 0.5 + 0.6, 0.03);

    // A quiet room (-50 dBFS) is silence.
    Sound room;
    room.Tone(1, 0.003).Tone(1, 0.3).Tone(2, 0.003);
    ASSERT_TRUE(OverAt(room, 10));
    EXPECT_NEAR(double(*OverAt(room, 10)) / kRate, 2.6, 0.03);
}

TEST(VoiceActivityTest, AtItsLongestATakeIsOverWhetherOrNotTheSpeakerHasSpoken)
{
    Sound silence;
    silence.Silence(5);
    VoiceActivity activity({kRate, 2, 0.6, 3.2});
    EXPECT_FALSE(activity.Feed(std::span(silence.samples).first(2 * 3 * kRate)));
    EXPECT_TRUE(activity.Feed(std::span(silence.samples).subspan(2 * 3 * kRate)));
    EXPECT_FALSE(activity.Spoke());

    Sound talking;
    talking.Silence(0.5).Tone(4, 0.3);
    EXPECT_NEAR(double(*OverAt(talking, 3.2, 441)) / kRate, 3.2, 0.011);

    // A click (50 ms) is not speech: the take waits on.
    Sound click;
    click.Silence(0.5).Tone(0.05, 0.5).Silence(2);
    VoiceActivity listening({kRate, 2, 0.6, 10});
    EXPECT_FALSE(listening.Feed(click.samples));
    EXPECT_FALSE(listening.Spoke());
}

TEST(PlaybackStartTest, StartsTenMillisecondsBeforeTheFirstSound)
{
    Sound sound;
    sound.Silence(0.8).Tone(1, 0.3).Silence(0.6);
    const double start = double(PlaybackStart(sound.samples, 2, kRate)) / kRate;
    EXPECT_NEAR(start, 0.79, 0.001);

    // A word that swells from nothing is followed back to its first audible
    // sample (-52 dBFS is reached 2.5 % into the swell), not cut at its loud part.
    Sound swelling;
    swelling.Silence(0.5).Tone(0.1, 0.1, 0).Tone(1, 0.3);
    const double swellStart = double(PlaybackStart(swelling.samples, 2, kRate)) / kRate;
    EXPECT_LE(swellStart, 0.5 + 0.1 * 0.025);
    EXPECT_GE(swellStart, 0.5 - 0.011);
}

TEST(PlaybackStartTest, ATakeWithoutSpeechOrWithoutLeadingSilencePlaysFromItsStart)
{
    Sound quiet;
    quiet.Silence(1).Tone(1, 0.002);
    EXPECT_EQ(PlaybackStart(quiet.samples, 2, kRate), 0u);
    Sound atOnce;
    atOnce.Tone(1, 0.3);
    EXPECT_EQ(PlaybackStart(atOnce.samples, 2, kRate), 0u);
    EXPECT_EQ(PlaybackStart({}, 2, kRate), 0u);
}

} // namespace
