// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shadowing/TakeNames.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

TEST(TakeNamesTest, TakesLiveBesideTheMediaNamedSoThatTheySortInMediaOrder)
{
    EXPECT_EQ(TakeFolder("/home/me/lessons/unit 1.mp3"), "/home/me/lessons/unit 1.mp3 takes");
    EXPECT_EQ(TakeFileName({12.34, 15.87}), "000012.340-000015.870.mp3");
    EXPECT_EQ(TakeFileName({0.0004, 9.9996}), "000000.000-000010.000.mp3");

    const std::vector<TimeSpan> sentences = {{0.39, 1.51}, {9.5, 10.25}, {10.3, 99.9}, {100, 3600.5}};
    std::vector<std::string> names;
    for (const TimeSpan& sentence : sentences)
        names.push_back(TakeFileName(sentence));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (std::size_t i = 0; i < sentences.size(); ++i)
        EXPECT_EQ(SentenceOfTake(names[i]), sentences[i]) << names[i];
}

TEST(TakeNamesTest, OtherNamesAreNoTakes)
{
    for (const char* name : {".000012.340-000015.870.mp3.part", "000012.340-000015.870.wav", "notes.mp3",
                             "000015.870-000012.340.mp3", "00012.340-000015.870.mp3", "000012,340-000015,870.mp3",
                             "000012.340-000015.87x.mp3", ""})
        EXPECT_FALSE(SentenceOfTake(name)) << name;
}

} // namespace
