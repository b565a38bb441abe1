// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/Transcript.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kOpenEnd = std::numeric_limits<double>::infinity();

Transcript Lrc(std::string_view text)
{
    return ReadTranscriptText(text, TranscriptFormat::Lrc);
}

std::vector<double> Starts(const Transcript& transcript)
{
    std::vector<double> starts;
    for (const TranscriptLine& line : transcript.lines)
        starts.push_back(line.start);
    return starts;
}

std::vector<std::string> Texts(const Transcript& transcript)
{
    std::vector<std::string> texts;
    for (const TranscriptLine& line : transcript.lines)
        texts.push_back(line.text);
    return texts;
}

std::vector<std::size_t> ProblemLines(const Transcript& transcript)
{
    std::vector<std::size_t> lines;
    for (const ReadProblem& problem : transcript.problems)
        lines.push_back(problem.line);
    return lines;
}

using Seconds = std::vector<double>;
using Strings = std::vector<std::string>;
using LineNumbers = std::vector<std::size_t>;

TEST(LrcReaderTest, EveryTimeTagFormReadsToTheMillisecond)
{
    const Transcript transcript = Lrc("[00:01]a\n[00:02.5]b\n[00:03.25]c\n[00:04.125]d\n[00:05:50]e\n"
                                      "[75:30.00]f\n[600:00.00]g\n");
    EXPECT_EQ(Starts(transcript), (Seconds{1, 2.5, 3.25, 4.125, 5.5, 4530, 36000}));
    EXPECT_EQ(Texts(transcript), (Strings{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_TRUE(transcript.problems.empty());
    EXPECT_EQ(transcript.format, TranscriptFormat::Lrc);
}

TEST(LrcReaderTest, ALineEndsWhereTheNextStartsAndTheLastIsOpen)
{
    const Transcript transcript = Lrc("[00:01.00]one\n[00:04.00]two\n[00:09.00]three\n");
    ASSERT_EQ(transcript.lines.size(), 3u);
    EXPECT_EQ(transcript.lines[0].end, 4);
    EXPECT_EQ(transcript.lines[1].end, 9);
    EXPECT_EQ(transcript.lines[2].end, kOpenEnd);
    EXPECT_EQ(transcript.lines[1].sourceLine, 2u);
}

TEST(LrcReaderTest, AnEmptyTimeTagEndsTheLineBeforeItWithoutStartingOne)
{
    const Transcript transcript = Lrc("[00:01.00]one\n[00:03.00]\n[00:05.00]two\n[00:08.00]\n");
    EXPECT_EQ(Texts(transcript), (Strings{"one", "two"}));
    EXPECT_EQ(transcript.lines[0].end, 3);
    EXPECT_EQ(transcript.lines[1].end, 8);
}

TEST(LrcReaderTest, AChorusWithSeveralTagsIsALineAtEachInTimeOrder)
{
    const Transcript transcript = Lrc("[00:10.00][00:50.00]Chorus\n[00:20.00]Verse\n[00:30.00][00:05.00]Bridge\n");
    EXPECT_EQ(Starts(transcript), (Seconds{5, 10, 20, 30, 50}));
    EXPECT_EQ(Texts(transcript), (Strings{"Bridge", "Chorus", "Verse", "Bridge", "Chorus"}));
    EXPECT_EQ(transcript.lines[1].sourceLine, 1u);
    EXPECT_EQ(transcript.lines[4].sourceLine, 1u);
    EXPECT_EQ(transcript.lines[3].end, 50);
}

TEST(LrcReaderTest, OutOfOrderLinesAreSortedAndEqualTimesKeepTheFileOrder)
{
    const Transcript transcript = Lrc("[00:30.00]c\n[00:10.00]a\n[00:20.00]b1\n[00:20.00]b2\n[00:20.00]b3\n");
    EXPECT_EQ(Starts(transcript), (Seconds{10, 20, 20, 30}));
    // The second line at a time is the first one's translation; a third is a line of its own.
    EXPECT_EQ(Texts(transcript), (Strings{"a", "b1", "b3", "c"}));
    EXPECT_EQ(transcript.lines[1].translation, "b2");
    EXPECT_EQ(transcript.lines[2].translation, "");
    EXPECT_EQ(transcript.lines[0].end, 20);
}

TEST(LrcReaderTest, BilingualLinesPairTextAndTranslation)
{
    const Transcript transcript = Lrc("[ti:静夜思]\n[ar:李白]\n"
                                      "[00:01.00]床前明月光\n[00:01.00]Moonlight before my bed\n"
                                      "[00:05.00]疑是地上霜\n[00:05.00]Like frost on the ground\n");
    ASSERT_EQ(transcript.lines.size(), 2u);
    EXPECT_EQ(transcript.lines[0].text, "床前明月光");
    EXPECT_EQ(transcript.lines[0].translation, "Moonlight before my bed");
    EXPECT_EQ(transcript.lines[1].translation, "Like frost on the ground");
    EXPECT_EQ(transcript.lines[0].end, 5);
    EXPECT_EQ(transcript.title, "静夜思 - 李白");
}

TEST(LrcReaderTest, IdTagsMakeTheTitleAndAreKeptInFileOrder)
{
    const Transcript transcript = Lrc("[ar: The Reader ]\n[ti:Lesson One]\n[al:Book 1]\n[by:someone]\n"
                                      "[length:03:20]\n[00:01.00]x\n");
    EXPECT_EQ(transcript.title, "Lesson One - The Reader - Book 1");
    using Tags = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(transcript.tags, (Tags{{"ar", "The Reader"}, {"ti", "Lesson One"}, {"al", "Book 1"}, {"by", "someone"},
                                     {"length", "03:20"}}));
    EXPECT_TRUE(transcript.problems.empty());
}

TEST(LrcReaderTest, APositiveOffsetMakesTheLinesComeEarlierANegativeOneLater)
{
    EXPECT_EQ(Starts(Lrc("[offset:+500]\n[00:02.00]a\n[00:04.00]b\n")), (Seconds{1.5, 3.5}));
    EXPECT_EQ(Starts(Lrc("[00:02.00]a\n[offset:-250]\n")), (Seconds{2.25}));
    const Transcript early = Lrc("[offset:1500]\n[00:01.00]a\n[00:02.00]b\n");
    EXPECT_EQ(Starts(early), (Seconds{0, 0.5}));
    // Moved before the start, the line is clamped to 0 and said so.
    EXPECT_EQ(ProblemLines(early), LineNumbers{1});
    EXPECT_EQ(Lrc("[offset:+500]\n").tags.size(), 0u);
    EXPECT_EQ(ProblemLines(Lrc("[offset:soon]\n[00:01.00]a\n")), LineNumbers{1});
}

TEST(LrcReaderTest, WordTagsBecomeWordTimesAndLeaveTheText)
{
    const Transcript transcript = Lrc("[00:01.00] <00:01.00>Hello <00:01.50>big <00:02.25>world \n");
    ASSERT_EQ(transcript.lines.size(), 1u);
    const TranscriptLine& line = transcript.lines[0];
    EXPECT_EQ(line.text, "Hello big world");
    ASSERT_EQ(line.words.size(), 3u);
    EXPECT_EQ(line.words[0].start, 1);
    EXPECT_EQ(line.words[0].offset, 0u);
    EXPECT_EQ(line.words[1].start, 1.5);
    EXPECT_EQ(line.words[1].offset, 6u);
    EXPECT_EQ(line.words[2].offset, 10u);
    // Angle brackets that are no time stay text.
    EXPECT_EQ(Lrc("[00:01.00]a <b> c < d\n").lines[0].text, "a <b> c < d");
}

TEST(LrcReaderTest, WordTimesOfARepeatedLineMoveWithIt)
{
    const Transcript transcript = Lrc("[00:10.00][01:10.00]<00:10.00>la <00:11.00>la\n");
    ASSERT_EQ(transcript.lines.size(), 2u);
    EXPECT_EQ(transcript.lines[1].words[1].start, 71);
    // Moved before the start by an earlier repeat, a word starts at 0.
    const Transcript back = Lrc("[10:00.00][00:01.00]<00:00.50>la <10:00.50>la\n");
    EXPECT_EQ(back.lines.at(0).words.at(0).start, 0);
    EXPECT_EQ(back.lines.at(0).words.at(1).start, 1.5);
    EXPECT_EQ(back.lines.at(1).words.at(0).start, 0.5);
}

TEST(LrcReaderTest, UnreadableLinesAreProblemsAndTheRestIsKept)
{
    const Transcript transcript = Lrc("just text\n"           // 1: no tag
                                      "[00:01.00]one\n"       // 2
                                      "[ab:cd\n"              // 3: no ']'
                                      "[0x:12.00]bad\n"       // 4: unreadable time
                                      "[-00:02.00]negative\n" // 5: negative, dropped
                                      "[00:61.00]late\n"      // 6: seconds past 59
                                      "\x01\x02\xff\xfe\n"    // 7: binary
                                      "\n  \t\n"              // blank lines are no problem
                                      "[00:03.00]two\n");     // 10
    EXPECT_EQ(Texts(transcript), (Strings{"one", "two"}));
    EXPECT_EQ(ProblemLines(transcript), (LineNumbers{1, 3, 4, 5, 6, 7}));
    for (const ReadProblem& problem : transcript.problems)
        EXPECT_FALSE(problem.what.empty());
    EXPECT_EQ(transcript.lines[1].sourceLine, 10u);
}

TEST(LrcReaderTest, MixedLineEndsAreAllLineEnds)
{
    const Transcript transcript = Lrc("[00:01.00]a\r\n[00:02.00]b\r[00:03.00]c\n[00:04.00]d");
    EXPECT_EQ(Texts(transcript), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(transcript.lines[3].sourceLine, 4u);
    EXPECT_EQ(transcript.lineEnd, "\r\n");
}

TEST(LrcReaderTest, LongRunsOfBracketsReadInLinearTime)
{
    // Inputs that would make a careless scanner go back over the line for
    // every character: they must still read (the test's own timeout catches
    // a quadratic scan on these sizes).
    const std::string openers(200000, '<');
    EXPECT_EQ(Lrc("[00:01.00]" + openers + "\n").lines.at(0).text, openers);
    std::string tags;
    for (int i = 0; i < 20000; ++i)
        tags += "[" + std::to_string(i / 60) + ":" + std::to_string(i % 60) + "]";
    EXPECT_EQ(Lrc(tags + "x\n").lines.size(), 20000u);
}

} // namespace
