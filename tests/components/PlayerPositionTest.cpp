// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include <cmath>
#include <limits>
#include <map>

// Seeks, play, pause and stop on sound files, and the positions they leave.
// What was played is checked by its content against the file decoded apart.

namespace {

constexpr int kRate = 44100;
// One millisecond, the accuracy promised for a seek.
constexpr long kOneMs = kRate / 1000;

long SampleAt(double seconds)
{
    return std::lround(seconds * kRate);
}

const std::vector<float>& Reference(const std::string& path)
{
    static std::map<std::string, std::vector<float>> decoded;
    auto found = decoded.find(path);
    if (found == decoded.end()) {
        DecodedSound sound = DecodeSound(path);
        EXPECT_EQ(sound.problem, "");
        found = decoded.emplace(path, std::move(sound.samples)).first;
    }
    return found->second;
}

} // namespace

class SoundFileTest : public PlayerTest, public testing::WithParamInterface<std::string (*)()> {
protected:
    void SetUp() override
    {
        path = GetParam()();
        player->SetMediaFileName(path);
    }

    // Plays until `samples` have reached the sound output; returns where the
    // sound played from the last seek on starts in the file (a sample index).
    std::optional<long> PlayedFrom(double expectedSeconds, std::size_t samples = 4096)
    {
        EXPECT_TRUE(WaitFor([&] { return sound.PlayedCount() >= samples; }));
        return FindInReference(Reference(path), sound.Played(), SampleAt(expectedSeconds), 2 * kRate);
    }

    std::string path;
};

TEST_P(SoundFileTest, PlaybackAfterASeekStartsOnTheTargetSample)
{
    // The first Play comes a while after the load, as after the program's
    // start (the player then restarts its sound output where it stands).
    Run(300);
    for (double target : {0.5, 2.3456, 4.9}) {
        player->SetCurrentPosition(target);
        EXPECT_NEAR(player->GetCurrentPosition(), target, 0.001);
        player->Play();
        std::optional<long> start = PlayedFrom(target);
        ASSERT_TRUE(start) << "the played sound is nowhere near " << target << " s";
        EXPECT_NEAR(*start, SampleAt(target), kOneMs) << "seek to " << target << " s";
        player->Pause();
    }
}

TEST_P(SoundFileTest, SeekWhilePlayingKeepsPlayingFromTheTarget)
{
    player->Play();
    Run(150);
    player->SetCurrentPosition(3.25);
    double right = player->GetCurrentPosition();
    EXPECT_GE(right, 3.25 - 0.001);
    EXPECT_LT(right, 3.35);

    std::optional<long> start = PlayedFrom(3.25);
    ASSERT_TRUE(start);
    EXPECT_NEAR(*start, SampleAt(3.25), kOneMs);
    EXPECT_GT(player->GetCurrentPosition(), 3.25);
}

// Pause and Stop hold the position; Play goes on from it with no sample lost
// or repeated.
TEST_P(SoundFileTest, PauseAndStopKeepThePositionAndPlayContinuesFromIt)
{
    player->SetCurrentPosition(1.0);
    player->Play();
    Run(300);
    player->Pause();
    double paused = player->GetCurrentPosition();
    EXPECT_GT(paused, 1.15);
    EXPECT_LT(paused, 1.8);
    Run(200);
    EXPECT_EQ(player->GetCurrentPosition(), paused);

    player->Play();
    Run(200);
    player->Stop();
    double stopped = player->GetCurrentPosition();
    EXPECT_GT(stopped, paused + 0.1);
    Run(200);
    EXPECT_EQ(player->GetCurrentPosition(), stopped);
    player->Stop();
    EXPECT_EQ(player->GetCurrentPosition(), stopped);

    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > stopped + 0.1; }));
    player->Pause();

    // Everything played since the seek is one unbroken stretch of the file.
    std::vector<float> played = sound.Played();
    long length = long(played.size());
    std::vector<float> tail(played.end() - 2048, played.end());
    std::optional<long> tailStart = FindInReference(Reference(path), tail, SampleAt(1.0) + length - 2048, kRate, 0);
    ASSERT_TRUE(tailStart);
    EXPECT_EQ(*tailStart, SampleAt(1.0) + length - 2048);
}

TEST_P(SoundFileTest, PositionsBelowZeroAndBeyondTheEndAreClampedWithoutFault)
{
    player->SetCurrentPosition(3.0);
    player->SetCurrentPosition(-2.5);
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    player->Play();
    std::optional<long> start = PlayedFrom(0.0);
    ASSERT_TRUE(start);
    EXPECT_NEAR(*start, 0, kOneMs);

    player->SetCurrentPosition(1e9);
    double end = player->GetCurrentPosition();
    EXPECT_NEAR(end, PlayerMedia::kSoundSeconds, 0.1);
    player->Play();
    Run(200);
    EXPECT_NEAR(player->GetCurrentPosition(), end, 0.001);

    player->SetCurrentPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
}

// At the end of the stream playback halts there; a seek and Play start again.
TEST_P(SoundFileTest, EndOfStreamHaltsAtTheEnd)
{
    player->SetCurrentPosition(PlayerMedia::kSoundSeconds - 0.3);
    player->Play();
    double end = RunToRest();
    EXPECT_NEAR(end, PlayerMedia::kSoundSeconds, 0.1);
    player->Stop();
    EXPECT_EQ(player->GetCurrentPosition(), end);

    player->SetCurrentPosition(2.0);
    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 2.1; }));
}

// Where the sound played since the last seek ends in the file (the sample
// just past it), found by the content of its last stretch.
std::optional<long> PlayedUntil(const std::vector<float>& reference, const std::vector<float>& played, long expected)
{
    constexpr std::size_t kTail = 2048;
    if (played.size() < kTail)
        return std::nullopt;
    std::vector<float> tail(played.end() - std::ptrdiff_t(kTail), played.end());
    std::optional<long> tailStart = FindInReference(reference, tail, expected - long(kTail), kRate / 10, 0);
    if (!tailStart)
        return std::nullopt;
    return *tailStart + long(kTail);
}

// A segment end: playback holds on its exact sample and the position reads
// the end as given; a seek plays the segment again; Play without an end goes on.
TEST_P(SoundFileTest, PlaybackEndsOnTheSegmentEndSample)
{
    const double start = 1.7;
    const double end = 2.5123;
    player->SetSegmentEnd(end);
    player->SetCurrentPosition(start);
    player->Play();
    for (int round = 0; round < 2; ++round) {
        // Held at the end, the player still plays: a seek plays the segment again.
        if (round > 0)
            player->SetCurrentPosition(start);
        ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == end; })) << "round " << round;
        Run(200);
        EXPECT_EQ(player->GetCurrentPosition(), end);
        std::vector<float> played = sound.Played();
        EXPECT_NEAR(long(played.size()), SampleAt(end) - SampleAt(start), kOneMs) << "round " << round;
        std::optional<long> until = PlayedUntil(Reference(path), played, SampleAt(end));
        ASSERT_TRUE(until);
        EXPECT_NEAR(*until, SampleAt(end), kOneMs) << "round " << round;
    }

    player->SetSegmentEnd(std::nullopt);
    player->Play();
    std::optional<long> from = PlayedFrom(end);
    ASSERT_TRUE(from);
    EXPECT_NEAR(*from, SampleAt(end), kOneMs);
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > end + 0.2; }));
}

// The end moved while the segment plays counts for it: later, earlier than
// the position (halts at once), and later again after it had halted.
TEST_P(SoundFileTest, AnEndMovedWhilePlayingEndsThatPlayback)
{
    player->SetSegmentEnd(1.5);
    player->SetCurrentPosition(1.0);
    player->Play();
    Run(100);
    player->SetSegmentEnd(2.25);
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 2.25; }));
    std::optional<long> until = PlayedUntil(Reference(path), sound.Played(), SampleAt(2.25));
    ASSERT_TRUE(until);
    EXPECT_NEAR(*until, SampleAt(2.25), kOneMs);

    player->SetSegmentEnd(5.0);
    player->SetCurrentPosition(3.0);
    Run(150);
    player->SetSegmentEnd(3.05);
    double halted = player->GetCurrentPosition();
    EXPECT_GE(halted, 3.05);
    std::size_t heard = sound.PlayedCount();
    Run(200);
    EXPECT_EQ(player->GetCurrentPosition(), halted);
    EXPECT_EQ(sound.PlayedCount(), heard);

    player->SetSegmentEnd(3.75);
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 3.75; }));
    until = PlayedUntil(Reference(path), sound.Played(), SampleAt(3.75));
    ASSERT_TRUE(until);
    EXPECT_NEAR(*until, SampleAt(3.75), kOneMs);
}

// An end at or before the start leaves nothing to play; a load forgets the
// end; Stop at the end keeps the position, and Play without the end goes on.
TEST_P(SoundFileTest, SegmentEndsThatLeaveNothingOrAreGone)
{
    player->SetSegmentEnd(1.0);
    player->SetCurrentPosition(2.0);
    player->Play();
    std::size_t prerolled = sound.PlayedCount();
    Run(300);
    EXPECT_EQ(player->GetCurrentPosition(), 2.0);
    EXPECT_EQ(sound.PlayedCount(), prerolled);

    player->SetMediaFileName(path);
    player->SetCurrentPosition(0.5);
    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 1.2; }));

    player->SetSegmentEnd(1.6);
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 1.6; }));
    player->Stop();
    EXPECT_EQ(player->GetCurrentPosition(), 1.6);
    player->Play();
    Run(200);
    EXPECT_EQ(player->GetCurrentPosition(), 1.6);
    player->SetSegmentEnd(std::nullopt);
    player->Play();
    EXPECT_TRUE(WaitFor([&] { return player->GetCurrentPosition() > 1.8; }));
}

// Held at the segment end the player still plays, and a seek plays on; paused
// or stopped there, it stays halted after a seek until Play.
TEST_F(PlayerTest, ASeekFromTheSegmentEndPlaysOnOnlyWhenThePlayerWasPlaying)
{
    player->SetMediaFileName(PlayerMedia::Wav());
    player->SetSegmentEnd(1.5);
    player->SetCurrentPosition(1.2);
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 1.5; }));

    for (bool stop : {false, true}) {
        if (stop)
            player->Stop();
        else
            player->Pause();
        EXPECT_EQ(player->GetCurrentPosition(), 1.5);
        player->SetCurrentPosition(1.0);
        std::size_t prerolled = sound.PlayedCount();
        Run(300);
        EXPECT_EQ(sound.PlayedCount(), prerolled) << (stop ? "stopped" : "paused");
        EXPECT_NEAR(player->GetCurrentPosition(), 1.0, 0.001);

        player->Play();
        ASSERT_TRUE(WaitFor([&] { return player->GetCurrentPosition() == 1.5; }));
    }
}

std::string SoundFileName(const testing::TestParamInfo<std::string (*)()>& info)
{
    const char* names[] = {"Wav", "CbrMp3", "VbrMp3"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundFileTest,
                         testing::Values(&PlayerMedia::Wav, &PlayerMedia::CbrMp3, &PlayerMedia::VbrMp3),
                         SoundFileName);

TEST_F(PlayerTest, NothingLoadedEveryOperationIsHarmless)
{
    player->Stop();
    player->Stop();
    player->Pause();
    player->SetCurrentPosition(3.0);
    player->Play();
    EXPECT_EQ(player->GetCurrentPosition(), 0.0);
    EXPECT_TRUE(surface.text().isEmpty());
}
