// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include "support/PrivatePulseSession.h"

// At a real sound server (a private PulseAudio with a null sink, recorded at
// its monitor), what a listener hears: the first sample after Play is the
// target, and it comes at once, also when the file waited long after loading.

namespace {

constexpr int kRate = 44100;

} // namespace

class SoundServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Ready()) << server.Problem();
        ASSERT_EQ(reference.problem, "");
        recording = std::make_unique<ServerRecording>();
        ASSERT_TRUE(recording->WaitUntilListening()) << "the server's monitor records nothing";
        player = std::make_unique<GstMediaPlayer>();
        player->setSurface(&surface);
    }
    void TearDown() override
    {
        player.reset();
        recording.reset();
    }

    // Seeks to `target` after `waitMs`, plays, and checks what is heard.
    void ExpectHeardFrom(double target, int waitMs)
    {
        player->SetCurrentPosition(target);
        QTest::qWait(waitMs);
        std::size_t mark = recording->Size();
        player->Play();
        std::size_t silence = 0;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return AfterSilence(recording->From(mark), silence).size() >= 4096; }, 3000))
            << "nothing heard from " << target << " s";
        player->Pause();
        // What was played before the pause still reaches the monitor for a
        // few tens of milliseconds; the next measurement starts after it.
        QTest::qWait(300);
        // The sound starts soon after Play (the output's own latency only).
        EXPECT_LT(silence, std::size_t(kRate / 5)) << "sound late by " << silence * 1000 / kRate << " ms";
        std::optional<long> start =
            FindInReference(reference.samples, AfterSilence(recording->From(mark), silence), std::lround(target * kRate),
                            kRate / 10, 0);
        ASSERT_TRUE(start) << "what was heard is not the file near " << target << " s";
        EXPECT_NEAR(*start, std::lround(target * kRate), kRate / 1000) << "first sample heard after a seek to " << target;
    }

    PrivatePulseSession server;
    DecodedSound reference = DecodeSound(PlayerMedia::Wav());
    std::unique_ptr<ServerRecording> recording;
    TestSurface surface;
    std::unique_ptr<IMediaPlayer> player;
};

TEST_F(SoundServerTest, SoundStartsOnTheTargetSampleWithoutDelay)
{
    player->SetMediaFileName(PlayerMedia::Wav());
    // Loaded, then left waiting (as after the program's start) before playing.
    ExpectHeardFrom(2.0, 1000);
    // Paused a while after playing.
    ExpectHeardFrom(4.25, 600);
    ExpectHeardFrom(0.5, 0);
}

// A segment heard at the server: it starts on its first sample and ends on
// its last, with nothing put in between, also when played again at once.
TEST_F(SoundServerTest, ASegmentIsHeardFromItsStartToItsEndExactly)
{
    player->SetMediaFileName(PlayerMedia::Wav());
    for (double start : {1.25, 3.5, 1.25}) {
        const double end = start + 0.75;
        std::size_t mark = recording->Size();
        player->SetSegmentEnd(end);
        player->SetCurrentPosition(start);
        player->Play();
        ASSERT_TRUE(QTest::qWaitFor([&] { return player->GetCurrentPosition() == end; }, 3000))
            << "from " << start << " s the player is at " << player->GetCurrentPosition() << " s, "
            << (player->PlayState() == PlaybackState::Playing ? "playing" : "not playing");
        // What the server still plays after the end.
        QTest::qWait(300);
        std::optional<HeardSpan> heard = LocateHeard(reference.samples, recording->From(mark),
                                                     std::lround(start * kRate), std::lround(end * kRate), kRate / 5);
        ASSERT_TRUE(heard) << "what was heard is not the segment from " << start << " s";
        EXPECT_NEAR(heard->first, std::lround(start * kRate), kRate / 1000) << start;
        EXPECT_NEAR(heard->last, std::lround(end * kRate), kRate / 1000) << start;
        EXPECT_EQ(heard->gaps, 0u) << start;
    }
}
