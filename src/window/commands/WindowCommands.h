// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QWidget;
class WindowDispatch;

// The commands of the window that keys and its context menu reach. Each has
// its menu text, its keys (shown beside the text) and what it runs; it runs
// through the window's dispatch, so that its faults are shown as every
// command's are. Features add their own commands here, in one call each.
//
// The keys act whatever control of the window has the focus: a focused
// button or box does not keep them for itself. No command runs while a box
// or a dialog is open over the window, nor while another command runs (one
// waiting in a box of its own); a key held down runs its command once.
class WindowCommands : public QObject {
    Q_OBJECT
public:
    using Keys = QList<QKeyCombination>;

    // The commands of `window`, run through `dispatch`.
    WindowCommands(QWidget& window, WindowDispatch& dispatch);
    ~WindowCommands() override;

    // The context menu that lists the commands.
    QMenu& Menu() const { return *m_menu; }

    // Adds a command to the menu (or to `submenu`); returns it. Throws
    // std::logic_error when a key is taken already.
    QAction* Add(const QString& text, const Keys& keys, std::function<void()> run, QMenu* submenu = nullptr);
    // A command that is on or off; `toggled` gets the new state.
    QAction* AddCheckable(const QString& text, const Keys& keys, bool checked, std::function<void(bool)> toggled,
                          QMenu* submenu = nullptr);
    QMenu* AddSubmenu(const QString& title, QMenu* submenu = nullptr);
    void AddSeparator(QMenu* submenu = nullptr);
    // The command is usable exactly while `control` is enabled, as the
    // command of a button is while its button is. Returns `command`.
    QAction* Follow(QAction* command, const QWidget* control);

    // The command bound to `key`; nullptr for none.
    QAction* CommandFor(QKeyCombination key) const;
    // The command (or submenu) with that menu text, keys left out; nullptr
    // for none.
    QAction* CommandNamed(const QString& text) const;
    // Runs `command` for a caller outside the window (the desktop's media
    // controls), as its key would run it, once the caller's request has been
    // answered: next on the event loop.
    void Post(QAction* command);
    // Runs `work` that way, through the window's dispatch.
    void Post(std::function<void()> work);

signals:
    // A command is about to run (from a key, the menu or the desktop).
    void commandStarting();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* Bind(QAction* command, const Keys& keys, QMenu* submenu);
    // Triggers `command` as its key does: not while Run would refuse it.
    void Trigger(QAction* command);
    // Runs `work` unless a box or dialog is open over the window or another
    // command runs; returns whether it ran.
    bool Run(const std::function<void()>& work);
    bool TakesCommands() const;
    // The command a key event asks for (nullptr for none), when it is meant
    // for the window.
    QAction* CommandForKey(QObject* receiver, QEvent* event) const;

    QWidget& m_window;
    WindowDispatch& m_dispatch;
    QMenu* m_menu;
    std::map<int, QAction*> m_keys;
    std::vector<std::pair<QAction*, const QWidget*>> m_followed;
    bool m_running = false;
};
