// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileCache.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

// Profiles kept in the cache folder: found again for the same file unchanged,
// never for a changed, damaged or foreign one, and no more of them than the
// bound allows, the least recently used going first.

namespace fs = std::filesystem;

namespace {

class ProfileCacheTest : public testing::Test {
protected:
    QTemporaryDir dir;
    std::string folder = dir.filePath("cache").toStdString();

    // A media file (its bytes do not matter here) and its identity.
    FileIdentity Media(const std::string& name, const std::string& bytes = "ID3 sound")
    {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        WriteFileBytes(path, bytes);
        return *FileIdentity::Of(path);
    }

    // Blocks of a profile `count` long, each its own.
    static std::vector<LevelBlock> Blocks(std::size_t count)
    {
        std::vector<LevelBlock> blocks(count);
        for (std::size_t i = 0; i < count; ++i)
            blocks[i] = {std::int16_t(-int(i % 30000)), std::int16_t(i % 30000), std::uint16_t(i % 20000)};
        return blocks;
    }

    // Makes and keeps a profile of `source` as the profiler does.
    void Keep(const ProfileCache& cache, const FileIdentity& source, const std::vector<LevelBlock>& blocks)
    {
        std::string problem;
        std::shared_ptr<BlockFile> file = cache.NewFile(source, problem);
        ASSERT_TRUE(file) << problem;
        ASSERT_TRUE(file->Write(0, blocks));
        std::optional<std::string> notKept = cache.Keep(*file, source, blocks.size(), Summarise(blocks, true));
        ASSERT_FALSE(notKept) << *notKept;
    }

    static void LastUsedAgo(const std::string& path, std::chrono::seconds ago)
    {
        fs::last_write_time(path, fs::file_time_type::clock::now() - ago);
    }
};

TEST_F(ProfileCacheTest, AKeptProfileIsFoundWithItsBlocksAndSummary)
{
    ProfileCache cache(folder);
    const FileIdentity media = Media("lesson.mp3");
    const std::vector<LevelBlock> blocks = Blocks(1000);
    Keep(cache, media, blocks);

    std::optional<ProfileCache::Hit> hit = cache.Find(media);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->kept.blockCount, 1000u);
    EXPECT_EQ(hit->kept.summary, Summarise(blocks, true));
    std::vector<LevelBlock> read(1000);
    EXPECT_EQ(hit->blocks->Read(0, read), 1000u);
    EXPECT_EQ(read, blocks);
    // 6 bytes a block: an hour of blocks is about 2 MiB.
    EXPECT_EQ(fs::file_size(cache.PathFor(media)), 56 + media.path.size() + (1000 + 16) * 6);
}

TEST_F(ProfileCacheTest, AProfileBeingMadeHasNoNameInTheFolder)
{
    ProfileCache cache(folder);
    std::string problem;
    std::shared_ptr<BlockFile> file = cache.NewFile(Media("lesson.mp3"), problem);
    ASSERT_TRUE(file) << problem;
    ASSERT_TRUE(file->Write(0, Blocks(500)));
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(ProfileCacheTest, AChangedFileIsNotFound)
{
    ProfileCache cache(folder);
    const FileIdentity media = Media("lesson.mp3", "first take");
    Keep(cache, media, Blocks(100));

    FileIdentity longer = Media("lesson.mp3", "second, longer take");
    EXPECT_FALSE(cache.Find(longer));
    // The same size, written again later.
    FileIdentity touched = media;
    touched.modifiedNs += 1000000000;
    EXPECT_FALSE(cache.Find(touched));
    EXPECT_TRUE(cache.Find(media));
}

TEST_F(ProfileCacheTest, ADamagedOrForeignFileIsNotTrusted)
{
    ProfileCache cache(folder);
    const FileIdentity media = Media("lesson.mp3");
    Keep(cache, media, Blocks(1000));
    const std::string path = cache.PathFor(media);
    const std::string good = ReadFileBytes(path);

    struct Damage {
        const char* what;
        std::string bytes;
    };
    auto flipped = [&](std::size_t at) {
        std::string bytes = good;
        bytes[at] = char(bytes[at] ^ 0x40);
        return bytes;
    };
    const Damage damages[] = {
        {"cut short by a byte", good.substr(0, good.size() - 1)},
        {"cut short to half", good.substr(0, good.size() / 2)},
        {"a byte too many", good + "x"},
        {"the magic", flipped(0)},
        {"the version", flipped(8)},
        {"the block count", flipped(32)},
        {"the path", flipped(60)},
        {"the summary", flipped(good.size() - 3)},
        {"empty", ""},
        {"another program's file", std::string(good.size(), '\x5a')},
    };
    for (const Damage& damage : damages) {
        WriteFileBytes(path, damage.bytes);
        EXPECT_FALSE(cache.Find(media)) << damage.what;
    }

    // The profile of another file under this one's name.
    const FileIdentity other = Media("other.mp3");
    Keep(cache, other, Blocks(1000));
    fs::copy_file(cache.PathFor(other), path, fs::copy_options::overwrite_existing);
    EXPECT_FALSE(cache.Find(media));
}

TEST_F(ProfileCacheTest, OverTheBoundTheLeastRecentlyUsedGoFirst)
{
    const std::vector<LevelBlock> blocks = Blocks(10000);
    const FileIdentity first = Media("first.mp3");
    const FileIdentity second = Media("second.mp3");
    const FileIdentity third = Media("third.mp3");
    {
        ProfileCache unbounded(folder);
        Keep(unbounded, first, blocks);
        Keep(unbounded, second, blocks);
    }
    const std::uintmax_t size = fs::file_size(ProfileCache(folder).PathFor(first));
    ProfileCache cache(folder, size * 5 / 2);
    LastUsedAgo(cache.PathFor(first), std::chrono::seconds(100));
    LastUsedAgo(cache.PathFor(second), std::chrono::seconds(50));
    // Using the first makes it the most recent.
    ASSERT_TRUE(cache.Find(first));

    Keep(cache, third, blocks);
    EXPECT_TRUE(fs::exists(cache.PathFor(first)));
    EXPECT_FALSE(fs::exists(cache.PathFor(second)));
    EXPECT_TRUE(fs::exists(cache.PathFor(third)));

    // One that is larger than the bound alone still stays, the others go.
    ProfileCache tiny(folder, size / 2);
    Keep(tiny, second, blocks);
    EXPECT_TRUE(fs::exists(tiny.PathFor(second)));
    EXPECT_FALSE(fs::exists(tiny.PathFor(first)));
    EXPECT_FALSE(fs::exists(tiny.PathFor(third)));
}

// A process that has ended: one that has already been waited for.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(ProfileCacheTest, WhatACrashLeftBetweenLinkAndRenameGoesWithTheNextTrim)
{
    ProfileCache cache(folder);
    const FileIdentity media = Media("lesson.mp3");
    Keep(cache, media, Blocks(100));
    const std::string target = cache.PathFor(media);
    // As a crash after the link leaves it, and as a program that is keeping
    // the same profile right now has it.
    const std::string crashed = target + "." + std::to_string(EndedProcess()) + ".new";
    const std::string beingKept = target + "." + std::to_string(::getppid()) + ".new";
    fs::copy_file(target, crashed);
    fs::copy_file(target, beingKept);

    Keep(cache, Media("other.mp3"), Blocks(100));
    EXPECT_FALSE(fs::exists(crashed));
    EXPECT_TRUE(fs::exists(beingKept));
    EXPECT_TRUE(cache.Find(media));
}

TEST_F(ProfileCacheTest, AFolderThatCannotBeMadeLeavesTheTemporaryFolder)
{
    WriteFileBytes(folder, "a file where the folder would be");
    ProfileCache cache(folder);
    const FileIdentity media = Media("lesson.mp3");
    std::string problem;
    std::shared_ptr<BlockFile> file = cache.NewFile(media, problem);
    ASSERT_TRUE(file) << problem;
    ASSERT_TRUE(file->Write(0, Blocks(10)));
    // It works, but cannot be kept.
    EXPECT_TRUE(cache.Keep(*file, media, 10, Summarise(Blocks(10), true)));
    EXPECT_FALSE(cache.Find(media));
}

} // namespace
