// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"
#include "support/EncodedText.h"
#include "support/FileBytes.h"
#include "support/ScratchFolder.h"

#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A bilingual lesson as Chinese LRC files come: Chinese text, its English
// translation at the same times, long enough for the encoding to be told.
const std::string kBilingualLrc = "[ti:新概念英语]\n[ar:第一册]\n[offset:+200]\n"
                                  "[00:01.20]第一课 对不起\n[00:01.20]Lesson one: Excuse me\n"
                                  "[00:04.50]这是您的手提包吗？\n[00:04.50]Is this your handbag?\n"
                                  "[00:08.00]是的，这是我的手提包。谢谢您。\n[00:08.00]Yes, it is. Thank you very much.\n"
                                  "[00:12.30]请原谅，这是您的雨伞吗？\n[00:12.30]Pardon, is this your umbrella?\n"
                                  "[00:16.80]不，这不是我的雨伞。\n[00:16.80]No, it isn't my umbrella.\n";

const std::string kSrt = "1\n00:00:01,000 --> 00:00:03,000\nC'est déjà l’été, dit-il.\n\n"
                         "2\n00:00:04,000 --> 00:00:06,500\n“Très bien,” répondit la fenêtre.\nÇa va ?\n\n"
                         "3\n00:00:07,000 --> 00:00:09,000\nUne crème brûlée, s’il vous plaît.\n";

class TranscriptFileTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = folder.PathOf(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    Transcript Read(const std::string& name, const std::string& bytes)
    {
        TranscriptReadResult result = ReadTranscriptFile(Write(name, bytes));
        EXPECT_EQ(result.error, "");
        return result.transcript.value_or(Transcript{});
    }

    ScratchFolder folder;
};

std::vector<std::string> Texts(const Transcript& transcript)
{
    std::vector<std::string> texts;
    for (const TranscriptLine& line : transcript.lines)
        texts.push_back(line.text);
    return texts;
}

// Lines equal as a reader gives them (times to the millisecond a file holds).
void ExpectSameLines(const Transcript& read, const Transcript& original)
{
    ASSERT_EQ(read.lines.size(), original.lines.size());
    for (std::size_t i = 0; i < read.lines.size(); ++i) {
        const TranscriptLine& a = read.lines[i];
        const TranscriptLine& b = original.lines[i];
        EXPECT_NEAR(a.start, b.start, 0.0005) << "line " << i;
        EXPECT_TRUE(a.end == b.end || std::abs(a.end - b.end) < 0.0005) << "line " << i;
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.translation, b.translation);
        ASSERT_EQ(a.words.size(), b.words.size());
        for (std::size_t w = 0; w < a.words.size(); ++w) {
            EXPECT_NEAR(a.words[w].start, b.words[w].start, 0.0005);
            EXPECT_EQ(a.words[w].offset, b.words[w].offset);
        }
    }
}

using Strings = std::vector<std::string>;

TEST_F(TranscriptFileTest, BilingualChineseLrcInGb18030)
{
    const Transcript transcript = Read("lesson.lrc", EncodedText(kBilingualLrc, "GB18030"));
    EXPECT_EQ(transcript.encoding, "GB18030");
    EXPECT_EQ(transcript.format, TranscriptFormat::Lrc);
    EXPECT_EQ(transcript.title, "新概念英语 - 第一册");
    ASSERT_EQ(transcript.lines.size(), 5u);
    EXPECT_EQ(transcript.lines[1].text, "这是您的手提包吗？");
    EXPECT_EQ(transcript.lines[1].translation, "Is this your handbag?");
    EXPECT_DOUBLE_EQ(transcript.lines[1].start, 4.3);
    EXPECT_TRUE(transcript.problems.empty());
}

TEST_F(TranscriptFileTest, EachEncodingIsDetectedAndDecoded)
{
    const std::string japanese = "[00:01.00]すみません、これはあなたのかばんですか。\n"
                                 "[00:04.00]はい、そうです。どうもありがとうございます。\n"
                                 "[00:08.00]すみません、これはあなたの傘ですか。\n"
                                 "[00:12.00]いいえ、私の傘ではありません。\n";
    const std::string traditional = "[00:01.00]對不起，這是您的手提包嗎？\n[00:04.00]是的，這是我的手提包。謝謝您。\n"
                                    "[00:08.00]請原諒，這是您的雨傘嗎？\n[00:12.00]不，這不是我的雨傘。\n"
                                    "[00:16.00]我們學習中文已經很久了。\n";
    struct Case {
        std::string utf8;
        std::string iconvName;
        std::string detected;
        std::string name;
    };
    const Case cases[] = {
        {japanese, "SHIFT_JIS", "SHIFT_JIS", "japanese.lrc"},
        {traditional, "BIG5", "BIG5", "traditional.lrc"},
        {kSrt, "WINDOWS-1252", "WINDOWS-1252", "french.srt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Transcript transcript = Read(c.name, EncodedText(c.utf8, c.iconvName));
        EXPECT_EQ(transcript.encoding, c.detected);
        EXPECT_EQ(Texts(transcript), Texts(ReadTranscriptText(c.utf8, transcript.format)));
        EXPECT_TRUE(transcript.problems.empty());
    }
}

TEST_F(TranscriptFileTest, ByteOrderMarksDecideAndAreNotText)
{
    const std::string vtt = "WEBVTT Ünïcödé\r\n\r\n00:01.000 --> 00:02.000\r\n日本語 and English\r\n";
    const Transcript utf8 = Read("a.vtt", "\xEF\xBB\xBF" + vtt);
    EXPECT_EQ(utf8.encoding, "UTF-8 BOM");
    EXPECT_EQ(utf8.title, "Ünïcödé");
    EXPECT_EQ(Texts(utf8), Strings{"日本語 and English"});
    const Transcript little = Read("b.vtt", "\xFF\xFE" + EncodedText(vtt, "UTF-16LE"));
    EXPECT_EQ(little.encoding, "UTF-16LE");
    EXPECT_EQ(little.title, "Ünïcödé");
    EXPECT_EQ(Texts(little), Strings{"日本語 and English"});
    const Transcript big = Read("c.vtt", "\xFE\xFF" + EncodedText(vtt, "UTF-16BE"));
    EXPECT_EQ(big.encoding, "UTF-16BE");
    EXPECT_EQ(Texts(big), Strings{"日本語 and English"});
    EXPECT_EQ(Read("d.vtt", vtt).encoding, "UTF-8");
}

TEST_F(TranscriptFileTest, BytesThatAreNoTextInTheEncodingNameTheirLine)
{
    // The BOM says UTF-8; line 3 has a byte no UTF-8 text has.
    const Transcript transcript = Read("bad.lrc", "\xEF\xBB\xBF[00:01.00]one\n[00:02.00]two\n[00:03.00]th\xFFree\n"
                                                  "[00:04.00]four\n");
    ASSERT_EQ(transcript.lines.size(), 4u);
    EXPECT_EQ(transcript.lines[2].text, "th\xEF\xBF\xBDree");
    ASSERT_EQ(transcript.problems.size(), 1u);
    EXPECT_EQ(transcript.problems[0].line, 3u);
    EXPECT_NE(transcript.problems[0].what.find("UTF-8"), std::string::npos);
}

TEST_F(TranscriptFileTest, BinaryBytesNeverCrashAndNameNoFormat)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    const TranscriptReadResult asLrc = ReadTranscriptFile(Write("noise.lrc", binary));
    ASSERT_TRUE(asLrc.transcript);
    EXPECT_FALSE(asLrc.transcript->problems.empty());
    const std::string unknown = Write("noise.dat", binary);
    const TranscriptReadResult asData = ReadTranscriptFile(unknown);
    EXPECT_FALSE(asData.transcript);
    EXPECT_TRUE(asData.error.starts_with(unknown + ": not a transcript")) << asData.error;
}

TEST_F(TranscriptFileTest, TheFormatComesFromTheExtensionInAnyCaseOrFromTheText)
{
    const std::string srt = "1\n00:00:01,000 --> 00:00:02,000\nx\n";
    EXPECT_EQ(Read("a.SRT", srt).format, TranscriptFormat::Srt);
    EXPECT_EQ(Read("a.Lrc", "[00:01.00]x\n").format, TranscriptFormat::Lrc);
    EXPECT_EQ(Read("a.sub", srt).format, TranscriptFormat::Srt);
    EXPECT_EQ(Read("a.txt", "\n[ti:x]\n[00:01.00]x\n").format, TranscriptFormat::Lrc);
    EXPECT_EQ(Read("noext", "WEBVTT\n\n00:01.000 --> 00:02.000\nx\n").format, TranscriptFormat::WebVtt);
    // The extension wins over the text.
    EXPECT_EQ(Read("a.vtt", srt).format, TranscriptFormat::WebVtt);
}

TEST_F(TranscriptFileTest, FilesThatAreNotReadAreErrorsNamingThePath)
{
    const std::string missing = folder.PathOf("missing.lrc");
    EXPECT_EQ(ReadTranscriptFile(missing).error, missing + ": No such file or directory");

    const std::string pipe = folder.PathOf("pipe.lrc");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadTranscriptFile(pipe).error, pipe + ": not a regular file");
    const std::string subfolder = folder.PathOf("folder.srt");
    ASSERT_EQ(mkdir(subfolder.c_str(), 0700), 0);
    EXPECT_EQ(ReadTranscriptFile(subfolder).error, subfolder + ": Is a directory");

    // 100 MB (a sparse file: nothing is written) is refused before a byte is read.
    const std::string huge = folder.PathOf("huge.srt");
    WriteFileBytes(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 100 * 1000 * 1000), 0);
    const TranscriptReadResult result = ReadTranscriptFile(huge);
    EXPECT_FALSE(result.transcript);
    EXPECT_TRUE(result.error.starts_with(huge + ": the file is 100000000 bytes")) << result.error;
}

TEST_F(TranscriptFileTest, TheTranscriptBesideTheMediaInOrderAndAnyCase)
{
    const std::string media = Write("Lesson 1.mp3", "");
    Write("Lesson 1.txt", "1.5\n");
    EXPECT_EQ(FindTranscriptBeside(media), std::nullopt);
    Write("Lesson 1.VTT", "WEBVTT\n");
    EXPECT_EQ(FindTranscriptBeside(media), folder.PathOf("Lesson 1.VTT"));
    Write("Lesson 1.Srt", "");
    EXPECT_EQ(FindTranscriptBeside(media), folder.PathOf("Lesson 1.Srt"));
    Write("Lesson 1.srt", "");
    EXPECT_EQ(FindTranscriptBeside(media), folder.PathOf("Lesson 1.srt"));
    // A folder of that name is no transcript; a longer name is another file's.
    ASSERT_EQ(mkdir(folder.PathOf("Lesson 1.lrc").c_str(), 0700), 0);
    Write("Lesson 10.lrc", "");
    EXPECT_EQ(FindTranscriptBeside(media), folder.PathOf("Lesson 1.srt"));
    Write("Lesson 1.LRC", "");
    EXPECT_EQ(FindTranscriptBeside(media), folder.PathOf("Lesson 1.LRC"));
    EXPECT_EQ(FindTranscriptBeside(folder.PathOf("Lesson 10.wav")), folder.PathOf("Lesson 10.lrc"));
    EXPECT_EQ(FindTranscriptBeside(folder.PathOf("nothing/here.mp3")), std::nullopt);
}

TEST_F(TranscriptFileTest, WrittenBackInItsOwnEncodingAndReadAgainTheLinesAreTheSame)
{
    const std::string lrcWithWords = "[ti:Words]\n[by:me]\n[00:01.00]<00:01.00>Hello <00:01.50>world\n"
                                     "[00:01.00]你好世界\n[00:03.00]\n[00:05.25]Again\n[01:00.125]Late\n";
    struct Case {
        std::string name;
        std::string bytes;
        std::string encoding;
    };
    const std::string vtt = "WEBVTT Title\n\nid\n00:01.000 --> 00:02.000 align:start\n<i>a &amp; b</i> &lt;c&gt;\n"
                            "second\n\n00:01.500 --> 00:03.000\nover\n";
    const Case cases[] = {
        {"lesson.lrc", EncodedText(kBilingualLrc, "GB18030"), "GB18030"},
        {"words.lrc", "\xEF\xBB\xBF" + lrcWithWords, "UTF-8 BOM"},
        {"french.srt", EncodedText(kSrt, "WINDOWS-1252"), "WINDOWS-1252"},
        {"crlf.srt", "\xEF\xBB\xBF" + std::string("1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\nB\r\n"), "UTF-8 BOM"},
        {"wide.vtt", "\xFF\xFE" + EncodedText(vtt, "UTF-16LE"), "UTF-16LE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Transcript original = Read(c.name, c.bytes);
        EXPECT_EQ(original.encoding, c.encoding);
        const std::string written = WriteTranscript(original);
        const Transcript again = Read("again-" + c.name, written);
        EXPECT_EQ(again.encoding, c.encoding);
        EXPECT_EQ(again.lineEnd, original.lineEnd);
        EXPECT_EQ(again.title, original.title);
        EXPECT_TRUE(again.problems.empty());
        ExpectSameLines(again, original);
    }
    // GB18030 text comes back as GB18030 bytes, not as UTF-8.
    const Transcript chinese = Read("lesson.lrc", EncodedText(kBilingualLrc, "GB18030"));
    EXPECT_NE(WriteTranscript(chinese).find(EncodedText("这是您的手提包吗？", "GB18030")), std::string::npos);
}

TEST_F(TranscriptFileTest, LrcLinesAtOneTimeThatAreNoTranslationStaySoWhenWritten)
{
    // An empty tag between two texts at one time ends the first: the second
    // is a line of its own, and stays one when written back.
    const Transcript original = ReadTranscriptText("[00:02.00]late\n[00:01.00]a\n[00:01.00]\n[00:01.00]b\n",
                                                   TranscriptFormat::Lrc);
    ASSERT_EQ(Texts(original), (Strings{"a", "b", "late"}));
    EXPECT_EQ(original.lines[0].translation, "");
    ExpectSameLines(ReadTranscriptText(WriteTranscript(original), TranscriptFormat::Lrc), original);
}

TEST_F(TranscriptFileTest, TimesOnlyReadBackAsTheirSpans)
{
    const std::vector<std::pair<double, double>> spans{{0.5, 2}, {2, 4.25}, {6, 7.5}};
    const Transcript srt = ReadTranscriptText(WriteTimesOnly(spans, TranscriptFormat::Srt), TranscriptFormat::Srt);
    ASSERT_EQ(srt.lines.size(), 3u);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_DOUBLE_EQ(srt.lines[i].start, spans[i].first);
        EXPECT_DOUBLE_EQ(srt.lines[i].end, spans[i].second);
        EXPECT_EQ(srt.lines[i].text, "");
    }
    // LRC: a tag at each start, and one at an end that comes before the next start.
    EXPECT_EQ(WriteTimesOnly(spans, TranscriptFormat::Lrc), "[00:00.50]\n[00:02.00]\n[00:04.25]\n[00:06.00]\n[00:07.50]\n");
}

} // namespace
