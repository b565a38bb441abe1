// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QAction;
class QWidget;

// A slim row of buttons in the corner of the sound's view for the learning
// commands that otherwise live in the context menu (the previous and next
// line or sentence, the drill, the speed, the Transcript window, Play my
// take), each with its key in its tooltip. It shows with the view, so only
// for media with sound; a button does what its command does.
class LearningStrip : public QObject {
    Q_OBJECT
public:
    struct Button {
        QString label;
        QAction* command; // a command with a submenu opens that menu
    };

    LearningStrip(QWidget& view, const std::vector<Button>& buttons);
    ~LearningStrip() override;

    QWidget& Strip() const { return *m_strip; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QWidget& m_view;
    QWidget* m_strip;
};
