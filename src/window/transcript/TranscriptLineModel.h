// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>

class TranscriptDocument;

// The lines of a transcript as rows of a list: the text, its time, its
// translation, and which line is being heard.
class TranscriptLineModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        TimeRole = Qt::UserRole + 1, // the start as m:ss.cc (h:mm:ss.cc from an hour)
        TranslationRole,             // the translation, or an empty text
        HeardRole,                   // true for the line being heard
    };

    explicit TranscriptLineModel(const TranscriptDocument& document);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The document has other lines.
    void Reload();
    // The document's lines have other times.
    void TimesChanged();
    // The line being heard; -1 for none.
    void SetHeard(int row);
    int Heard() const { return m_heard; }

private:
    const TranscriptDocument& m_document;
    int m_heard = -1;
};

// A time in seconds as a transcript line shows it: m:ss.cc, or h:mm:ss.cc
// from an hour.
QString LineClock(double seconds);
