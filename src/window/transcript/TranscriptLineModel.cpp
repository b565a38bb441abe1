// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/TranscriptLineModel.h"

#include "window/transcript/TranscriptDocument.h"

#include <cmath>

QString LineClock(double seconds)
{
    const auto centiseconds = static_cast<long long>(std::llround(std::max(0.0, seconds) * 100));
    const long long whole = centiseconds / 100;
    const QString tail = QStringLiteral("%1.%2").arg(whole % 60, 2, 10, QChar('0')).arg(centiseconds % 100, 2, 10, QChar('0'));
    if (whole >= 3600)
        return QStringLiteral("%1:%2:%3").arg(whole / 3600).arg(whole / 60 % 60, 2, 10, QChar('0')).arg(tail);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(tail);
}

TranscriptLineModel::TranscriptLineModel(const TranscriptDocument& document) : m_document(document) {}

int TranscriptLineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_document.Lines().size());
}

QVariant TranscriptLineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TranscriptLine& line = m_document.Lines()[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(line.text);
    case Qt::ToolTipRole:
        return line.translation.empty() ? QString::fromStdString(line.text)
                                        : QString::fromStdString(line.text + "\n" + line.translation);
    case TimeRole:
        return LineClock(line.start);
    case TranslationRole:
        return QString::fromStdString(line.translation);
    case HeardRole:
        return index.row() == m_heard;
    default:
        return {};
    }
}

void TranscriptLineModel::Reload()
{
    beginResetModel();
    if (m_heard >= rowCount())
        m_heard = -1;
    endResetModel();
}

void TranscriptLineModel::SetHeard(int row)
{
    if (row == m_heard)
        return;
    const int before = m_heard;
    m_heard = row;
    for (int changed : {before, row})
        if (changed >= 0 && changed < rowCount())
            emit dataChanged(index(changed), index(changed), {HeardRole});
}

void TranscriptLineModel::TimesChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {TimeRole});
}
