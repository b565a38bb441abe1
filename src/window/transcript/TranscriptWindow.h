// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

class Preferences;
class QLabel;
class QListView;
class TranscriptLineModel;
class WindowCommands;

// The "Transcript" window, a top-level window beside the main one: every line
// of the transcript with its time and its translation under it, the line
// being heard highlighted and kept in view. Its first line names the file
// (or says why none could be read), a second says what of it could not be
// read. The window's keys run the main window's commands, so that N, P and
// Space work from here too. Its place and size last into the next run.
class TranscriptWindow : public QWidget {
    Q_OBJECT
public:
    TranscriptWindow(QWidget& mainWindow, TranscriptLineModel& model, Preferences& preferences,
                     WindowCommands& commands);
    ~TranscriptWindow() override;

    // The file shown, or why none could be read (`failed`).
    void SetHeadline(const QString& text, bool failed);
    // What of the file could not be read; empty: all of it was.
    void SetProblem(const QString& text);
    // `panel` (the work of another feature on the transcript, such as its
    // alignment) is shown between the headline and the lines; the window
    // owns it from then on.
    void AddPanel(QWidget* panel);
    // Shows the window where it was last time.
    void Present();
    // The line being heard comes into view.
    void ShowHeard(int row);

    QListView& List() const { return *m_list; }
    QString Headline() const;
    QString Problem() const;

signals:
    void lineClicked(int row);
    void lineDoubleClicked(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void StoreGeometry();

    Preferences& m_preferences;
    WindowCommands& m_commands;
    QLabel* m_headline;
    QLabel* m_problem;
    QListView* m_list;
    bool m_placed = false;
    QTimer m_storeGeometry;
};
