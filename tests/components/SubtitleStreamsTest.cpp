// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/GstSubtitleStreams.h"
#include "support/PlayerMedia.h"

#include <QSignalSpy>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The real reader of text streams on media the tests make: every stream with
// its times, texts and tags, media without any, a file it cannot read, and a
// reading stopped before its end.

using testing::HasSubstr;

namespace {

struct Cue {
    double start;
    double end;
    std::string text;
};

void ExpectCues(const Transcript& transcript, const std::vector<Cue>& expected)
{
    ASSERT_EQ(transcript.lines.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const TranscriptLine& line = transcript.lines[index];
        EXPECT_NEAR(line.start, expected[index].start, 0.001) << index;
        EXPECT_NEAR(line.end, expected[index].end, 0.001) << index;
        EXPECT_EQ(line.text, expected[index].text) << index;
    }
}

class SubtitleStreamsTest : public testing::Test {
protected:
    // Reads `path` and waits for its one report.
    SubtitleReading ReadAll(const std::string& path)
    {
        QSignalSpy reports(&reader, &SubtitleStreams::streamsRead);
        reader.Read(path);
        EXPECT_TRUE(reports.wait(20000)) << path;
        EXPECT_EQ(reports.size(), 1);
        return reports.isEmpty() ? SubtitleReading{} : reports.front().front().value<SubtitleReading>();
    }

    GstSubtitleStreams reader;
};

} // namespace

TEST_F(SubtitleStreamsTest, MatroskaGivesEachTextStreamWithTimesTextsAndTags)
{
    const std::string path = PlayerMedia::SubtitledMkv();
    const SubtitleReading reading = ReadAll(path);
    EXPECT_EQ(reading.path, path);
    EXPECT_EQ(reading.problem, "");
    ASSERT_EQ(reading.streams.size(), 2u);

    const SubtitleStream& english = reading.streams[0];
    EXPECT_EQ(english.language, "en");
    EXPECT_EQ(english.title, "English");
    EXPECT_EQ(english.transcript.format, TranscriptFormat::Srt);
    // Markup stripped, the entity replaced, a two-line cue kept on two lines.
    ExpectCues(english.transcript,
               {{0.5, 1.5, "Hello there"}, {2.0, 3.25, "Fish & chips\nfor two"}, {4.0, 5.5, "Goodbye"}});

    const SubtitleStream& chinese = reading.streams[1];
    EXPECT_EQ(chinese.language, "zh");
    EXPECT_EQ(chinese.title, "中文");
    ExpectCues(chinese.transcript, {{1.0, 2.0, "你好"}, {4.25, 5.0, "再见"}});
}

TEST_F(SubtitleStreamsTest, Mp4TimedTextIsAStreamToo)
{
    const SubtitleReading reading = ReadAll(PlayerMedia::SubtitledMp4());
    EXPECT_EQ(reading.problem, "");
    ASSERT_EQ(reading.streams.size(), 1u);
    EXPECT_THAT(reading.streams[0].language, testing::StartsWith("en"));
    ExpectCues(reading.streams[0].transcript,
               {{0.5, 1.5, "Hello there"}, {2.0, 3.25, "Fish & chips\nfor two"}, {4.0, 5.5, "Goodbye"}});
}

TEST_F(SubtitleStreamsTest, MediaWithoutTextStreamsGivesNone)
{
    // Two hours of sound: the reading ends when the file's streams are known,
    // not after the sound has been read through.
    for (const std::string& path : {PlayerMedia::LongCbrMp3(), PlayerMedia::Wav(), PlayerMedia::VideoWithoutSound()}) {
        const SubtitleReading reading = ReadAll(path);
        EXPECT_EQ(reading.problem, "") << path;
        EXPECT_TRUE(reading.streams.empty()) << path;
    }
}

TEST_F(SubtitleStreamsTest, AFileItCannotReadIsNamedWithWhatTheFrameworkSaid)
{
    for (const std::string& path : {PlayerMedia::Missing(), PlayerMedia::TextNamedMp3()}) {
        const SubtitleReading reading = ReadAll(path);
        EXPECT_TRUE(reading.streams.empty()) << path;
        EXPECT_THAT(reading.problem, HasSubstr("\"" + path + "\": ")) << path;
        // The element that failed and its message follow the file's name.
        EXPECT_GT(reading.problem.size(), path.size() + 50) << reading.problem;
    }
}

TEST_F(SubtitleStreamsTest, AReadingStoppedNeverReports)
{
    QSignalSpy reports(&reader, &SubtitleStreams::streamsRead);
    reader.Read(PlayerMedia::SubtitledMkv());
    reader.Cancel();
    QTest::qWait(500);
    EXPECT_TRUE(reports.isEmpty());

    // A new file stops the reading of the one before: only the new one reports.
    reader.Read(PlayerMedia::SubtitledMkv());
    const SubtitleReading reading = ReadAll(PlayerMedia::SubtitledMp4());
    EXPECT_EQ(reading.path, PlayerMedia::SubtitledMp4());
    EXPECT_EQ(reading.streams.size(), 1u);
}
