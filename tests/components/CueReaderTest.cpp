// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/Transcript.h"

#include <gtest/gtest.h>

namespace {

Transcript Srt(std::string_view text)
{
    return ReadTranscriptText(text, TranscriptFormat::Srt);
}

Transcript Vtt(std::string_view text)
{
    return ReadTranscriptText(text, TranscriptFormat::WebVtt);
}

std::vector<std::string> Texts(const Transcript& transcript)
{
    std::vector<std::string> texts;
    for (const TranscriptLine& line : transcript.lines)
        texts.push_back(line.text);
    return texts;
}

std::vector<std::pair<double, double>> Spans(const Transcript& transcript)
{
    std::vector<std::pair<double, double>> spans;
    for (const TranscriptLine& line : transcript.lines)
        spans.emplace_back(line.start, line.end);
    return spans;
}

std::vector<std::size_t> ProblemLines(const Transcript& transcript)
{
    std::vector<std::size_t> lines;
    for (const ReadProblem& problem : transcript.problems)
        lines.push_back(problem.line);
    return lines;
}

using Strings = std::vector<std::string>;
using SpanList = std::vector<std::pair<double, double>>;
using LineNumbers = std::vector<std::size_t>;

TEST(SrtReaderTest, NumberedMultiLineCuesWithCrLf)
{
    const Transcript transcript = Srt("1\r\n00:00:01,000 --> 00:00:03,500\r\nFirst line\r\nsecond line\r\n\r\n"
                                      "2\r\n00:00:04.250 --> 00:00:06,000\r\nNext\r\n\r\n"
                                      "3\r\n10:00:00,000 --> 10:00:02,005\r\nTen hours in\r\n");
    EXPECT_EQ(Texts(transcript), (Strings{"First line\nsecond line", "Next", "Ten hours in"}));
    EXPECT_EQ(Spans(transcript), (SpanList{{1, 3.5}, {4.25, 6}, {36000, 36002.005}}));
    EXPECT_EQ(transcript.lines[1].sourceLine, 7u);
    EXPECT_TRUE(transcript.problems.empty());
    EXPECT_EQ(transcript.lineEnd, "\r\n");
    EXPECT_EQ(transcript.title, "");
}

TEST(SrtReaderTest, BasicTagsAreStrippedAndOtherAngleBracketsKept)
{
    const Transcript transcript = Srt("1\n00:00:01,000 --> 00:00:02,000\n"
                                      "{\\an8}<i>Top</i> <b>bold</b> <u>under</u>\n"
                                      "<font color=\"#ff0000\">red</font> 3 < 4 > 2\n");
    EXPECT_EQ(Texts(transcript), (Strings{"Top bold under\nred 3 < 4 > 2"}));
}

TEST(SrtReaderTest, OverlappingCuesAreKeptAndOutOfOrderOnesSorted)
{
    const Transcript transcript = Srt("1\n00:00:05,000 --> 00:00:08,000\nlater\n\n"
                                      "2\n00:00:01,000 --> 00:00:06,000\nfirst\n\n"
                                      "3\n00:00:01,000 --> 00:00:02,000\nalso first\n");
    EXPECT_EQ(Texts(transcript), (Strings{"first", "also first", "later"}));
    EXPECT_EQ(Spans(transcript), (SpanList{{1, 6}, {1, 2}, {5, 8}}));
}

TEST(SrtReaderTest, ACueWithoutArrowIsAProblemAndTheOthersAreKept)
{
    const Transcript transcript = Srt("1\n00:00:01,000 00:00:02,000\nno arrow\n\n"  // lines 1-3
                                      "2\n00:00:03,000 --> 00:00:04,000\nkept\n\n"  // 5-7
                                      "3\n00:00:xx,000 --> 00:00:06,000\nbad time\n\n" // 9-11
                                      "4\n-00:00:01,000 --> 00:00:06,000\nnegative\n\n" // 13-15
                                      "5\n00:00:09,000 --> 00:00:08,000\nbackwards\n\n" // 17-19
                                      "\x7f\x45\x4c\x46\x02\x01\x01\n\n"               // 21
                                      "6\n00:00:10,000 --> 00:00:11,000\nlast\n");     // 23-25
    EXPECT_EQ(Texts(transcript), (Strings{"kept", "backwards", "last"}));
    EXPECT_EQ(ProblemLines(transcript), (LineNumbers{1, 10, 14, 18, 21}));
    // A cue that ends before it starts ends at its start.
    EXPECT_EQ(transcript.lines[1].end, 9);
}

TEST(SrtReaderTest, AMissingBlankLineBeforeTheNextIndexStillStartsACue)
{
    const Transcript transcript = Srt("1\n00:00:01,000 --> 00:00:02,000\nOne\n2\n00:00:03,000 --> 00:00:04,000\n"
                                      "Two\n12\n\n3\n00:00:05,000 --> 00:00:06,000\n 3 --> 4 \n");
    // A number in the text stays text unless a time line follows it; so does
    // an arrow that is no time line.
    EXPECT_EQ(Texts(transcript), (Strings{"One", "Two\n12", " 3 --> 4 "}));
    EXPECT_TRUE(transcript.problems.empty());
}

TEST(VttReaderTest, HeaderIdentifiersSettingsAndSkippedBlocks)
{
    const Transcript transcript = Vtt("WEBVTT - Lesson 3\nKind: captions\nLanguage: en\n\n"
                                      "STYLE\n::cue { color: yellow }\n\n"
                                      "REGION\nid:fred width:40%\n\n"
                                      "NOTE a comment\nthat runs on 00:00:01.000 --> 00:00:02.000\n\n"
                                      "intro\n00:01.000 --> 00:04.000 align:start position:10%\nShort form\n\n"
                                      "00:00:05.500 --> 00:00:07.000 line:0\nWith hours\nand two lines\n\n"
                                      "NOTE\n\n"
                                      "01:00:00.000 --> 01:00:01.000\nAn hour in\n");
    EXPECT_EQ(transcript.title, "- Lesson 3");
    EXPECT_EQ(Texts(transcript), (Strings{"Short form", "With hours\nand two lines", "An hour in"}));
    EXPECT_EQ(Spans(transcript), (SpanList{{1, 4}, {5.5, 7}, {3600, 3601}}));
    EXPECT_EQ(transcript.lines[0].sourceLine, 15u);
    EXPECT_TRUE(transcript.problems.empty());
    EXPECT_EQ(transcript.format, TranscriptFormat::WebVtt);
}

TEST(VttReaderTest, TagsAreStrippedAndEntitiesReplaced)
{
    const Transcript transcript = Vtt("WEBVTT\n\n00:01.000 --> 00:02.000\n"
                                      "<v Roger Bingham>We are in <c.loud>New York</c> <00:01.500><i>City</i></v>\n"
                                      "Fish &amp; chips &lt;3 &gt;&nbsp;x &copy;\n");
    EXPECT_EQ(Texts(transcript), (Strings{"We are in New York City\nFish & chips <3 >\xC2\xA0x &copy;"}));
    EXPECT_EQ(transcript.title, "");
}

TEST(VttReaderTest, NoHeaderIsAProblemButTheCuesAreRead)
{
    const Transcript transcript = Vtt("00:01.000 --> 00:02.000\nheaderless\n\nbroken\n00:03.000 -> 00:04.000\nx\n");
    EXPECT_EQ(Texts(transcript), Strings{"headerless"});
    EXPECT_EQ(ProblemLines(transcript), (LineNumbers{1, 4}));
    // "WEBVTTX" is no header either.
    EXPECT_EQ(ProblemLines(Vtt("WEBVTTX\n\n00:01.000 --> 00:02.000\nx\n")), LineNumbers{1});
}

TEST(VttReaderTest, AHeaderRunningIntoTheFirstCueLosesNoCue)
{
    const Transcript transcript = Vtt("WEBVTT\n00:01.000 --> 00:02.000\nright away\n");
    EXPECT_EQ(Texts(transcript), Strings{"right away"});
}

} // namespace
