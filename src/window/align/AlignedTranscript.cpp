// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/align/AlignedTranscript.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>

namespace {

// The tag of the LRC written, and the start of its value.
constexpr const char* kKeyTag = "re";
constexpr const char* kKeyPrefix = "ardeno-recorder align ";

} // namespace

std::vector<TimeSpan> SpansOf(const std::vector<TimedSentence>& sentences)
{
    std::vector<TimeSpan> spans;
    spans.reserve(sentences.size());
    for (const TimedSentence& sentence : sentences)
        spans.push_back(sentence.span);
    return spans;
}

Transcript AlignedTranscript(const std::vector<TimedSentence>& sentences, const std::vector<TimeSpan>& spans)
{
    Transcript transcript;
    transcript.format = TranscriptFormat::Lrc;
    transcript.encoding = "UTF-8";
    transcript.lines.reserve(sentences.size());
    for (std::size_t index = 0; index < sentences.size(); ++index) {
        TranscriptLine line;
        line.text = sentences[index].text;
        line.start = spans[index].start;
        line.end = spans[index].end;
        if (index + 1 < sentences.size())
            line.end = sentences[index + 1].startsParagraph ? std::min(line.end, spans[index + 1].start)
                                                            : spans[index + 1].start;
        line.end = std::max(line.end, line.start);
        transcript.lines.push_back(std::move(line));
    }
    return transcript;
}

std::string AlignmentKey(const std::string& utf8, const std::string& voiceId)
{
    const QByteArray named = QByteArray::fromStdString(utf8 + "\n" + voiceId);
    return QCryptographicHash::hash(named, QCryptographicHash::Sha256).toHex().toStdString();
}

void TagAlignment(Transcript& transcript, const std::string& key)
{
    transcript.tags.emplace_back(kKeyTag, kKeyPrefix + key);
}

bool IsAlignmentOf(const Transcript& transcript, const std::string& key)
{
    const std::pair<std::string, std::string> tag(kKeyTag, kKeyPrefix + key);
    return std::find(transcript.tags.begin(), transcript.tags.end(), tag) != transcript.tags.end();
}
