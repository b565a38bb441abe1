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
    if (found == decoded.end())
        found = decoded.emplace(path, DecodeSound(path).samples).first;
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
    // start (the player then opens the file afresh where it stands).
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
    EXPECT_TRUE(player->currentText().isEmpty());
}
