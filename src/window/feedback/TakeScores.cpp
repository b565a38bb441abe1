// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/feedback/TakeScores.h"

#include <QFile>
#include <QStringList>

namespace {

QString NumberOf(double score)
{
    return QString::number(score, 'f', 0);
}

} // namespace

std::string TakeScoresPath(const std::string& takePath)
{
    const std::string::size_type dot = takePath.rfind('.');
    const std::string::size_type slash = takePath.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? takePath.substr(0, dot) : takePath) + ".scores";
}

std::vector<TakeScore> ReadTakeScores(const std::string& takePath)
{
    std::vector<TakeScore> scores;
    QFile file(QFile::decodeName(TakeScoresPath(takePath).c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return scores;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).trimmed().split(QChar('\t'));
        if (fields.size() != 3)
            continue;
        TakeScore score;
        score.recorded = QDateTime::fromString(fields[0], Qt::ISODate);
        bool melodyRead = fields[1] == QStringLiteral("-");
        if (!melodyRead)
            score.melody = fields[1].toDouble(&melodyRead);
        bool timingRead = false;
        score.timing = fields[2].toDouble(&timingRead);
        if (score.recorded.isValid() && melodyRead && timingRead)
            scores.push_back(score);
    }
    return scores;
}

std::optional<std::string> AppendTakeScore(const std::string& takePath, const TakeScore& score)
{
    const std::string path = TakeScoresPath(takePath);
    QFile file(QFile::decodeName(path.c_str()));
    // A line broken off by a crash is ended, so that it spoils only itself.
    const bool endsBroken = file.size() > 0 && file.open(QIODevice::ReadOnly) && file.seek(file.size() - 1)
                            && file.read(1) != "\n";
    file.close();
    const QString line = (endsBroken ? QStringLiteral("\n") : QString())
                         + score.recorded.toUTC().toString(Qt::ISODate) + QChar('\t')
                         + (score.melody ? NumberOf(*score.melody) : QStringLiteral("-")) + QChar('\t')
                         + NumberOf(score.timing) + QChar('\n');
    const QByteArray bytes = line.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size() || !file.flush())
        return "Cannot keep the take's scores in \"" + path + "\": " + file.errorString().toStdString() + ".";
    return std::nullopt;
}
