// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/commands/WindowCommands.h"

#include "window/WindowDispatch.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStringList>
#include <QTimer>
#include <stdexcept>

namespace {

// A key as pressed: the keypad's Enter is the Enter key.
QKeyCombination Pressed(const QKeyEvent& event)
{
    return QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
}

QString KeyText(const WindowCommands::Keys& keys)
{
    QStringList names;
    for (QKeyCombination key : keys)
        names << QKeySequence(key).toString(QKeySequence::NativeText);
    return names.join(QStringLiteral(", "));
}

} // namespace

WindowCommands::WindowCommands(QWidget& window, WindowDispatch& dispatch)
    : m_window(window), m_dispatch(dispatch), m_menu(new QMenu(&window))
{
    // Key events reach the focused control first; the application's filter
    // sees them before it does.
    qApp->installEventFilter(this);
}

WindowCommands::~WindowCommands() = default;

QAction* WindowCommands::Add(const QString& text, const Keys& keys, std::function<void()> run, QMenu* submenu)
{
    auto* command = new QAction(text, submenu ? submenu : m_menu);
    connect(command, &QAction::triggered, this, [this, run = std::move(run)] { Run(run); });
    return Bind(command, keys, submenu);
}

QAction* WindowCommands::AddCheckable(const QString& text, const Keys& keys, bool checked,
                                      std::function<void(bool)> toggled, QMenu* submenu)
{
    auto* command = new QAction(text, submenu ? submenu : m_menu);
    command->setCheckable(true);
    command->setChecked(checked);
    connect(command, &QAction::triggered, this, [this, toggled = std::move(toggled)](bool on) {
        Run([&] { toggled(on); });
    });
    return Bind(command, keys, submenu);
}

QAction* WindowCommands::Bind(QAction* command, const Keys& keys, QMenu* submenu)
{
    for (QKeyCombination key : keys) {
        if (QAction* taken = CommandFor(key))
            throw std::logic_error("The key " + QKeySequence(key).toString().toStdString() + " of \""
                                   + command->text().toStdString() + "\" runs \"" + taken->text().toStdString()
                                   + "\" already");
    }
    for (QKeyCombination key : keys)
        m_keys[key.toCombined()] = command;
    // The keys are shown in the menu's key column, but not given to the
    // action as its shortcuts: the filter below alone runs them.
    if (!keys.isEmpty())
        command->setText(command->text() + QLatin1Char('\t') + KeyText(keys));
    (submenu ? submenu : m_menu)->addAction(command);
    return command;
}

QMenu* WindowCommands::AddSubmenu(const QString& title, QMenu* submenu)
{
    return (submenu ? submenu : m_menu)->addMenu(title);
}

void WindowCommands::AddSeparator(QMenu* submenu)
{
    (submenu ? submenu : m_menu)->addSeparator();
}

QAction* WindowCommands::Follow(QAction* command, const QWidget* control)
{
    m_followed.emplace_back(command, control);
    command->setEnabled(control->isEnabled());
    return command;
}

QAction* WindowCommands::CommandFor(QKeyCombination key) const
{
    auto found = m_keys.find(key.toCombined());
    return found == m_keys.end() ? nullptr : found->second;
}

namespace {

QAction* FindNamed(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == text)
            return action;
        if (action->menu())
            if (QAction* found = FindNamed(*action->menu(), text))
                return found;
    }
    return nullptr;
}

} // namespace

QAction* WindowCommands::CommandNamed(const QString& text) const
{
    return FindNamed(*m_menu, text);
}

void WindowCommands::Post(QAction* command)
{
    QTimer::singleShot(0, this, [this, command = QPointer<QAction>(command)] {
        if (command)
            Trigger(command);
    });
}

void WindowCommands::Post(std::function<void()> work)
{
    QTimer::singleShot(0, this, [this, work = std::move(work)] { Run(work); });
}

void WindowCommands::Trigger(QAction* command)
{
    // Asked first, so that a checkable command refused keeps its state.
    if (!m_running && TakesCommands())
        command->trigger();
}

bool WindowCommands::Run(const std::function<void()>& work)
{
    if (m_running || !TakesCommands())
        return false;
    QScopedValueRollback<bool> running(m_running, true);
    emit commandStarting();
    m_dispatch.Dispatch(work);
    return true;
}

bool WindowCommands::TakesCommands() const
{
    // The window itself is modal while it runs; any other modal widget is a
    // box or a dialog over it.
    QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == &m_window;
}

QAction* WindowCommands::CommandForKey(QObject* receiver, QEvent* event) const
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return nullptr;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != &m_window)
        return nullptr;
    return CommandFor(Pressed(*static_cast<QKeyEvent*>(event)));
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        for (auto [command, control] : m_followed) {
            if (control == watched)
                command->setEnabled(control->isEnabled());
        }
        return false;
    }
    QAction* command = CommandForKey(watched, event);
    if (!command)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed as a key of the focused control, it comes to us below as a
        // key press instead of going to a shortcut.
        key->accept();
        return true;
    }
    if (!key->isAutoRepeat())
        Trigger(command);
    return true;
}
