// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/TextSentences.h"

#include <gtest/gtest.h>

// A text to be aligned, split into the sentences that become its lines.

namespace {

std::vector<std::string> Texts(const std::vector<TextSentence>& sentences)
{
    std::vector<std::string> texts;
    for (const TextSentence& sentence : sentences)
        texts.push_back(sentence.text);
    return texts;
}

using Strings = std::vector<std::string>;

TEST(TextSentences, SentencesEndAtTheirMarksButNotAfterAbbreviations)
{
    const std::vector<TextSentence> sentences = SplitSentences(
        "Mr. Smith came home at six.  Was he late?\nNo! He had brought fruit, e.g. apples… "
        "\"It is cold,\" she said. \"Close the window.\" Then she slept.");
    EXPECT_EQ(Texts(sentences), (Strings{"Mr. Smith came home at six.", "Was he late?", "No!",
                                         "He had brought fruit, e.g. apples…",
                                         "\"It is cold,\" she said.", "\"Close the window.\"",
                                         "Then she slept."}));
}

TEST(TextSentences, ChineseMarksEndSentencesWithoutSpaces)
{
    EXPECT_EQ(Texts(SplitSentences("他每天六点起床。你呢？真好！", "zh")), (Strings{"他每天六点起床。", "你呢？", "真好！"}));
}

// A blank line (with spaces or CR LF) starts a paragraph; a single line
// break inside one is a space; a paragraph without a closing mark (a
// chapter title) is a sentence of its own.
TEST(TextSentences, BlankLinesStartParagraphsAndTitlesStandAlone)
{
    const std::vector<TextSentence> sentences =
        SplitSentences("Chapter One\r\n \r\nIt was a cold\r\nmorning. The bus was late.\r\n\r\n\r\nShe waited.");
    EXPECT_EQ(Texts(sentences), (Strings{"Chapter One", "It was a cold morning.", "The bus was late.", "She waited."}));
    std::vector<bool> starts;
    for (const TextSentence& sentence : sentences)
        starts.push_back(sentence.startsParagraph);
    EXPECT_EQ(starts, (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(SplitSentences(" \n\n\t\n").empty());
}

} // namespace
