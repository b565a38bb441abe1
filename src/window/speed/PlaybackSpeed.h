// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <map>

class CMediaplayer1;
class Preferences;
class QAction;
class QString;
class WindowCommands;
class WindowDispatch;

// A speed as the window shows it: "75%".
QString SpeedText(double speed);

// The speed the media plays at, at its own pitch: 50 to 150 % of its own, in
// ten steps. The key [ steps one speed down, ] one up, Backspace returns to
// 100 %; the window's context menu has them in its "Speed" submenu, the
// current speed checked. The speed holds for every file and is remembered in
// the user's preferences; the player area shows it in a corner when it is
// not 100 %. The player follows a change at once, but at most once per
// 250 ms (the last choice wins): each change is a seek, and keys pressed in
// quick succession must not flood the player with them.
class PlaybackSpeed : public QObject {
    Q_OBJECT
public:
    // The speeds offered, in percent of the media's own.
    static constexpr std::array<int, 10> kPercents{50, 60, 70, 75, 80, 90, 100, 110, 125, 150};
    static constexpr double Slowest() { return kPercents.front() / 100.0; }
    static constexpr double Fastest() { return kPercents.back() / 100.0; }

    // Takes the remembered speed and gives it to the player.
    PlaybackSpeed(CMediaplayer1& player, Preferences& preferences, WindowDispatch& dispatch);

    // Adds the "Speed" submenu and the keys.
    void AddCommands(WindowCommands& commands);

    // The chosen speed (1: the media's own).
    double Speed() const { return Percent() / 100.0; }
    // Chooses the offered speed nearest to `speed`.
    void SetSpeed(double speed);
    void Slower();
    void Faster();
    void Normal();

signals:
    void speedChanged(double speed);

private:
    int Percent() const { return kPercents[m_index]; }
    void Choose(std::size_t index);
    // Gives the chosen speed to the player, or waits until it may.
    void FollowInPlayer();

    CMediaplayer1& m_player;
    Preferences& m_preferences;
    WindowDispatch& m_dispatch;
    std::size_t m_index;
    std::map<int, QAction*> m_choices;
    QElapsedTimer m_sinceFollowed;
    QTimer m_followLater;
};
