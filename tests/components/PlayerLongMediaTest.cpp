// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerFixture.h"

#include <algorithm>
#include <chrono>
#include <cmath>

// Two-hour files: a seek deep into one costs what a seek near its start costs,
// also right after the file was loaded again (as the window's Play loads it
// before each seek), and the sound starts on the target sample there as it
// does near the start: as decoding the file from its start gives it.

namespace {

constexpr double kNear = 60.0;
constexpr double kDeep = 7000.0;
// What the decoded file is kept of: a stretch from a second before each target.
constexpr double kBefore = 1.0;

struct LongFile {
    const char* name;
    std::string (*path)();
    // How far the first sample played may lie from the target, in samples.
    long tolerance;
};

std::ostream& operator<<(std::ostream& out, const LongFile& file)
{
    return out << file.name;
}

} // namespace

class LongFileTest : public PlayerTest, public testing::WithParamInterface<LongFile> {
protected:
    void SetUp() override
    {
        path = GetParam().path();
        player->SetMediaFileName(path);
    }

    // The least time `timed` took, in milliseconds, of three times, each
    // after `untimed` (the machine's other work only ever adds to it).
    template <typename Untimed, typename Timed>
    double LeastMs(Untimed untimed, Timed timed)
    {
        double least = 1e9;
        for (int i = 0; i < 3; ++i) {
            untimed();
            auto began = std::chrono::steady_clock::now();
            timed();
            least = std::min(least, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                                        .count());
        }
        return least;
    }

    // The file in a new pipeline: the player emptied, then the file loaded.
    void LoadAfresh()
    {
        player->SetMediaFileName(PlayerMedia::Missing());
        player->SetMediaFileName(path);
    }

    std::string path;
};

// Parsing the file up to the target costs 100-450 ms here; the slack leaves
// room for a busy machine.
constexpr double kSlackMs = 20;

TEST_P(LongFileTest, RightAfterALoadASeekDeepInTheFileCostsNoMoreThanOneNearItsStart)
{
    // What the player learns of a file it learns once, at the first seek.
    LoadAfresh();
    player->SetCurrentPosition(kDeep);

    auto seekMs = [&](double target) {
        return LeastMs([&] { LoadAfresh(); }, [&] { player->SetCurrentPosition(target); });
    };
    const double near = seekMs(kNear);
    const double deep = seekMs(kDeep);
    EXPECT_NEAR(player->GetCurrentPosition(), kDeep, 0.001);
    EXPECT_LE(deep, 2 * near + kSlackMs) << "seek to " << kDeep << " s: " << deep << " ms, to " << kNear << " s: "
                                         << near << " ms";
}

// The window's Play loads the file again before each seek.
TEST_P(LongFileTest, AReloadAndASeekDeepInTheFileCostNoMoreThanNearItsStart)
{
    player->SetCurrentPosition(kDeep);

    auto reloadAndSeekMs = [&](double target) {
        return LeastMs([] {}, [&] {
            player->SetMediaFileName(path);
            player->SetCurrentPosition(target);
        });
    };
    const double near = reloadAndSeekMs(kNear);
    const double deep = reloadAndSeekMs(kDeep);
    EXPECT_NEAR(player->GetCurrentPosition(), kDeep, 0.001);
    EXPECT_LE(deep, 2 * near + kSlackMs) << "reload and seek to " << kDeep << " s: " << deep << " ms, to " << kNear
                                         << " s: " << near << " ms";
}

TEST_P(LongFileTest, PlaybackDeepInTheFileStartsOnTheTargetSample)
{
    DecodedStretches reference = DecodeStretches(path, {SoundStretch{kNear - kBefore, 3.0, {}}, SoundStretch{kDeep - kBefore, 3.0, {}}});
    ASSERT_EQ(reference.problem, "");
    const int rate = reference.rate;
    for (std::size_t i = 0; i < 2; ++i) {
        const double target = reference.stretches[i].from + kBefore;
        player->SetMediaFileName(path);
        player->SetCurrentPosition(target);
        player->Play();
        ASSERT_TRUE(WaitFor([&] { return sound.PlayedCount() >= 4096; }));
        player->Pause();
        const long expected = std::lround(kBefore * rate);
        std::optional<long> start =
            FindInReference(reference.stretches[i].samples, sound.Played(), expected, rate / 2);
        ASSERT_TRUE(start) << "the played sound is nowhere near " << target << " s";
        EXPECT_NEAR(*start, expected, GetParam().tolerance) << "seek to " << target << " s";

    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LongFileTest,
                         testing::Values(LongFile{"CbrMp3", &PlayerMedia::LongCbrMp3, 1},
                                         LongFile{"TaggedCbrMp3", &PlayerMedia::LongTaggedCbrMp3, 1},
                                         LongFile{"VbrMp3", &PlayerMedia::LongVbrMp3, 1},
                                         LongFile{"VbrMp3WithoutTable", &PlayerMedia::LongVbrMp3WithoutTable, 1},
                                         // The promise for program streams: within a millisecond.
                                         LongFile{"Mpg", &PlayerMedia::LongMpg, 22}),
                         [](const testing::TestParamInfo<LongFile>& info) { return info.param.name; });
