// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

// The alignment's part of the Transcript window: "Align text...", and while
// a text is being aligned its progress, the time left and Cancel; after it,
// one line saying how it ended.
class AlignPanel : public QWidget {
    Q_OBJECT
public:
    explicit AlignPanel(QWidget& window);

    // "Align text..." can be used (media with sound is loaded).
    void SetAlignEnabled(bool enabled);
    // An alignment runs: `fraction` of it done, `secondsLeft` estimated.
    void ShowRunning(double fraction, std::optional<double> secondsLeft);
    // No alignment runs; `line` says how the last one ended (`failed`: why it
    // could not be done); empty for nothing to say.
    void ShowEnded(const QString& line, bool failed);

    bool IsRunning() const;
    // Of the whole work, 0 to 1.
    double Fraction() const;
    QString TimeLeft() const;
    QString Line() const;
    QPushButton& AlignButton() const { return *m_align; }
    QPushButton& CancelButton() const { return *m_cancel; }

signals:
    void alignRequested();
    void cancelRequested();

private:
    QPushButton* m_align;
    QProgressBar* m_progress;
    QLabel* m_left;
    QPushButton* m_cancel;
    QLabel* m_line;
};
