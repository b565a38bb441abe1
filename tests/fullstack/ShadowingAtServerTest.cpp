// SPDX-License-Identifier: GPL-3.0-or-later
#include "FullStackFixture.h"

#include "support/ShadowingScene.h"
#include "window/shadowing/Shadowing.h"

// Shadowing in the whole program at the sound server: after the drill plays a
// sentence, a spoken sentence is played into the server's sink, whose
// monitor is the default input. It comes back as the take, whole, and its
// playback is heard whole, from its first sound to its last.

namespace {

TEST_F(FullStackTest, ASpokenRepetitionComesBackAsTheTakeAndIsHeardWhole)
{
    ShadowingScene scene(dir.path().toStdString(), server, *monitor);
    const ShadowingScene::Turn turn = scene.DrillTheFirstSentence();
    EXPECT_TRUE(scene.window.prompts.boxes.empty()) << scene.window.prompts.boxes.front().text;
    ASSERT_GT(turn.playbackMark, 0u) << "the take was never played back";

    // The take holds the whole sentence.
    const Shadowing& shadowing = scene.window.dlg->Shadow();
    ASSERT_EQ(shadowing.Takes(), std::vector<TimeSpan>{scene.sentence});
    const DecodedSound take = DecodeSound(shadowing.TakePath(scene.sentence));
    ASSERT_EQ(take.problem, "");
    const int rate = ServerRecording::kRate;
    const TimeSpan truth = scene.repetition.sentences[0];
    const std::vector<float>& reference = scene.repetitionSound.samples;
    const std::optional<HeardSpan> inTake =
        LocateHeard(reference, take.samples, std::lround(truth.start * rate), std::lround(truth.end * rate), rate / 5);
    ASSERT_TRUE(inTake) << "the take is not the spoken sentence";
    // Nothing of it missing (1 ms of leeway); the MP3 smears its edges by a
    // few milliseconds.
    EXPECT_LE(inTake->first, truth.start * rate + rate / 1000.0);
    EXPECT_GE(inTake->first, truth.start * rate - rate / 50.0);
    EXPECT_GE(inTake->last, truth.end * rate - rate / 1000.0);
    EXPECT_LE(inTake->last, truth.end * rate + rate / 50.0);

    // Its playback, heard at the server: the take from its first sound to its
    // last.
    const std::optional<HeardSpan> heard = LocateHeard(reference, monitor->From(turn.playbackMark),
                                                       std::lround(truth.start * rate), std::lround(truth.end * rate),
                                                       rate / 5);
    ASSERT_TRUE(heard) << "the take's playback was not heard";
    EXPECT_NEAR(heard->first, inTake->first, rate / 1000.0);
    EXPECT_NEAR(heard->last, inTake->last, rate / 1000.0);
}

} // namespace
