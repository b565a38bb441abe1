// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/stretch/Onsets.h"
#include "components/stretch/TimeStretcher.h"
#include "support/SoundMeasure.h"
#include "support/SteppedTone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

// The time-stretcher on made sound: white noise, a tone that steps in
// frequency each second, and a train of 5 ms clicks.

namespace {

constexpr int kRate = 44100;
constexpr double kSpeeds[] = {0.5, 0.6, 0.7, 0.75, 0.8, 0.9, 1.1, 1.25, 1.5};

std::vector<float> Noise(double seconds, int channels = 1)
{
    std::vector<float> samples(std::size_t(seconds * kRate) * std::size_t(channels));
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-0.4f, 0.4f);
    for (float& sample : samples)
        sample = noise(random);
    return samples;
}

// The sound played at `speed`, pushed `chunk` frames at a time as a stream
// delivers it, and pulled after each push.
std::vector<float> Stretched(const std::vector<float>& sound, double speed, std::size_t chunk = 1152,
                             int channels = 1)
{
    TimeStretcher stretcher(channels, kRate);
    stretcher.Restart(speed);
    std::vector<float> out;
    const std::size_t frames = sound.size() / std::size_t(channels);
    for (std::size_t at = 0; at < frames; at += chunk) {
        stretcher.Push(sound.data() + at * std::size_t(channels), std::min(chunk, frames - at));
        stretcher.Pull(out);
    }
    stretcher.Finish();
    stretcher.Pull(out);
    return out;
}

std::size_t StretchedLength(std::size_t frames, double speed)
{
    return std::size_t(std::llround(double(frames) / speed));
}

} // namespace

TEST(TimeStretcher, TheOutputLastsTheLengthBySpeedAndEndsOnTheLastFrame)
{
    const std::vector<float> sound = Noise(1.3);
    for (double speed : kSpeeds) {
        std::vector<float> out = Stretched(sound, speed);
        ASSERT_EQ(out.size(), StretchedLength(sound.size(), speed)) << speed;
        // The first and the last 5 ms are the sound's own, unstretched.
        const std::size_t edge = kRate / 200;
        for (std::size_t i = 0; i < edge; ++i) {
            EXPECT_NEAR(out[i], sound[i], 1e-6) << speed << " at " << i;
            EXPECT_NEAR(out[out.size() - 1 - i], sound[sound.size() - 1 - i], 1e-6) << speed << " at the end - " << i;
        }
    }
}

TEST(TimeStretcher, TheOutputDoesNotDependOnHowTheSoundArrives)
{
    const std::vector<float> sound = Noise(0.8);
    for (double speed : {0.5, 1.5}) {
        const std::vector<float> whole = Stretched(sound, speed, sound.size());
        for (std::size_t chunk : {1, 333, 4096})
            EXPECT_EQ(Stretched(sound, speed, chunk), whole) << speed << " in chunks of " << chunk;
    }
}

TEST(TimeStretcher, StretchesTooShortForPiecesStillLastTheirLengthBySpeed)
{
    const std::vector<float> sound = Noise(0.05);
    for (std::size_t frames : {0, 1, 2, 100, 1000, 2000}) {
        const std::vector<float> part(sound.begin(), sound.begin() + std::ptrdiff_t(frames));
        for (double speed : {0.5, 1.5}) {
            std::vector<float> out = Stretched(part, speed);
            ASSERT_EQ(out.size(), StretchedLength(frames, speed)) << frames << " at " << speed;
            if (out.empty())
                continue;
            EXPECT_EQ(out.back(), part.back()) << frames << " at " << speed;
            if (out.size() > 1) {
                EXPECT_EQ(out.front(), part.front()) << frames << " at " << speed;
            }
        }
    }
}

TEST(TimeStretcher, AtTheMediasOwnSpeedTheSoundComesBackAsItWas)
{
    const std::vector<float> sound = Noise(0.6);
    std::vector<float> out = Stretched(sound, 1.0);
    ASSERT_EQ(out.size(), sound.size());
    for (std::size_t i = 0; i < sound.size(); ++i)
        ASSERT_NEAR(out[i], sound[i], 1e-6) << i;
}

TEST(TimeStretcher, EachStepOfASteppedToneKeepsItsPitch)
{
    // Two seconds from the middle of one step, over two changes of tone.
    const std::vector<float> tone = SteppedTone::Samples();
    const std::vector<float> sound(tone.begin() + kRate / 2, tone.begin() + kRate * 5 / 2);
    for (double speed : {0.5, 0.75, 1.5}) {
        std::vector<float> out = Stretched(sound, speed);
        // The second half of the first step, the second step, the first half
        // of the third: each read away from the changes, which a piece may
        // take a little earlier or later.
        const double steps[][2] = {{0.1, 0.4}, {0.6, 1.4}, {1.6, 1.9}};
        for (int step = 0; step < 3; ++step) {
            const auto first = std::size_t(steps[step][0] / speed * kRate);
            const auto last = std::size_t(steps[step][1] / speed * kRate);
            const double heard = ToneFrequency(std::span(out).subspan(first, last - first), kRate);
            const double played = SteppedTone::Frequency(step);
            EXPECT_NEAR(heard / played, 1.0, 0.002) << "step " << step << " at " << speed << ": " << heard << " Hz";
        }
    }
}

TEST(TimeStretcher, EachClickIsPlayedOnceAndNoLongerThanItWas)
{
    const std::vector<float> sound = BurstTrain(2.0, kRate);
    const std::vector<Burst> played = FindBursts(sound, kRate);
    ASSERT_EQ(played.size(), 8u);
    for (double speed : kSpeeds) {
        std::vector<float> out = Stretched(sound, speed);
        std::vector<Burst> heard = FindBursts(out, kRate);
        ASSERT_EQ(heard.size(), played.size()) << speed;
        EXPECT_NEAR(MedianWidth(heard), MedianWidth(played), 0.0005) << speed;
        // Each where the speed puts it, give or take the 10 ms a piece may move.
        for (std::size_t i = 0; i < heard.size(); ++i)
            EXPECT_NEAR(double(heard[i].start), double(played[i].start) / speed, 0.1 * kRate) << speed << " click " << i;
    }
}

TEST(TimeStretcher, ChannelsAreStretchedAlikeAndStayApart)
{
    // Noise on the left; on the right a third of it, upside down, or silence.
    for (float right : {-1.0f / 3, 0.0f}) {
        std::vector<float> sound = Noise(0.8, 2);
        for (std::size_t frame = 0; frame < sound.size() / 2; ++frame)
            sound[2 * frame + 1] = right * sound[2 * frame];
        std::vector<float> out = Stretched(sound, 0.75, 1024, 2);
        ASSERT_EQ(out.size(), 2 * StretchedLength(sound.size() / 2, 0.75));
        for (std::size_t frame = 0; frame < out.size() / 2; ++frame)
            ASSERT_NEAR(out[2 * frame + 1], right * out[2 * frame], 1e-6) << right << " at " << frame;
    }
}

TEST(TimeStretcher, TheSourceOfTheOutputFollowsTheSpeed)
{
    const std::vector<float> sound = Noise(1.0);
    for (double speed : {0.5, 1.5}) {
        TimeStretcher stretcher(1, kRate);
        stretcher.Restart(speed);
        stretcher.Push(sound.data(), sound.size());
        stretcher.Finish();
        const auto length = std::int64_t(StretchedLength(sound.size(), speed));
        // The output's last second or so is remembered. A piece may start
        // 10 ms from where the speed puts it, and runs at the sound's own
        // speed from there.
        for (std::int64_t frame = length / 3; frame < length; frame += 441) {
            std::optional<std::int64_t> source = stretcher.SourceOf(frame);
            ASSERT_TRUE(source) << frame;
            EXPECT_NEAR(double(*source), double(frame) * speed, 0.025 * kRate) << speed << " at " << frame;
        }
        EXPECT_EQ(stretcher.SourceOf(length - 1), std::int64_t(sound.size()) - 1) << speed;
    }
}

TEST(Onsets, ASoundStartingOutOfQuietIsGuardedAndSteadySoundIsNot)
{
    Onsets onsets(kRate);
    const std::vector<float> steady = Noise(0.5);
    onsets.Push(steady.data(), steady.size());
    EXPECT_TRUE(onsets.Touch(0, 1)) << "the sound starts out of nothing";
    EXPECT_FALSE(onsets.Touch(kRate / 50, std::int64_t(steady.size()))) << "steady noise has no onset";

    onsets.Reset();
    const std::vector<float> clicks = BurstTrain(0.6, kRate);
    onsets.Push(clicks.data(), clicks.size());
    // The click at 250 ms: guarded from a little before it to the end of its burst.
    const std::int64_t click = kRate / 4;
    EXPECT_TRUE(onsets.Touch(click - kRate / 1000, click));
    EXPECT_TRUE(onsets.Touch(click + kRate / 100, click + kRate / 100 + 1));
    EXPECT_FALSE(onsets.Touch(click + kRate / 20, click + kRate / 5)) << "the silence after it";
    onsets.Forget(click + kRate / 10);
    EXPECT_FALSE(onsets.Touch(0, click + kRate / 10)) << "forgotten";
    EXPECT_TRUE(onsets.Touch(2 * click, 2 * click + 1)) << "the next one stays";
}
