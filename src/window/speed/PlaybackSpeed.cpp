// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/speed/PlaybackSpeed.h"

#include "components/GuiThread.h"
#include "window/CMediaplayer1.h"
#include "window/WindowDispatch.h"
#include "window/commands/WindowCommands.h"
#include "window/preferences/Preferences.h"
#include "window/speed/SpeedMark.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <algorithm>
#include <cmath>

namespace {

const QString kPercentKey = QStringLiteral("Playback/SpeedPercent");
constexpr std::size_t kNormal = 6;
static_assert(PlaybackSpeed::kPercents[kNormal] == 100);
// The shortest time between two speeds given to the player.
constexpr qint64 kFollowEveryMs = 250;

} // namespace

QString SpeedText(double speed)
{
    return QString::number(std::lround(speed * 100)) + QLatin1Char('%');
}

PlaybackSpeed::PlaybackSpeed(CMediaplayer1& player, Preferences& preferences, WindowDispatch& dispatch)
    : m_player(player), m_preferences(preferences), m_dispatch(dispatch), m_index(kNormal)
{
    // A remembered speed that is not one of those offered (a hand-edited
    // file) is the media's own.
    const int remembered = preferences.Value(kPercentKey, 100).toInt();
    if (auto found = std::find(kPercents.begin(), kPercents.end(), remembered); found != kPercents.end())
        m_index = std::size_t(found - kPercents.begin());

    new SpeedMark(player);
    m_followLater.setSingleShot(true);
    connect(&m_followLater, &QTimer::timeout, this, [this] { m_dispatch.Dispatch([this] { FollowInPlayer(); }); });
    // The player plays at its own speed until told otherwise.
    if (m_index != kNormal)
        FollowInPlayer();
}

void PlaybackSpeed::AddCommands(WindowCommands& commands)
{
    QMenu* menu = commands.AddSubmenu(tr("Speed"));
    commands.Add(tr("Slower"), {Qt::Key_BracketLeft}, [this] { Slower(); }, menu);
    commands.Add(tr("Faster"), {Qt::Key_BracketRight}, [this] { Faster(); }, menu);
    commands.AddSeparator(menu);
    auto* choices = new QActionGroup(menu);
    for (std::size_t index = 0; index < kPercents.size(); ++index) {
        WindowCommands::Keys keys;
        if (index == kNormal)
            keys.append(Qt::Key_Backspace);
        QAction* choice = commands.AddCheckable(SpeedText(kPercents[index] / 100.0), keys, index == m_index,
                                                [this, index](bool) { Choose(index); }, menu);
        choices->addAction(choice);
        m_choices[kPercents[index]] = choice;
    }
}

void PlaybackSpeed::SetSpeed(double speed)
{
    auto nearest = std::min_element(kPercents.begin(), kPercents.end(), [speed](int a, int b) {
        return std::abs(a / 100.0 - speed) < std::abs(b / 100.0 - speed);
    });
    Choose(std::size_t(nearest - kPercents.begin()));
}

void PlaybackSpeed::Slower()
{
    if (m_index > 0)
        Choose(m_index - 1);
}

void PlaybackSpeed::Faster()
{
    if (m_index + 1 < kPercents.size())
        Choose(m_index + 1);
}

void PlaybackSpeed::Normal()
{
    Choose(kNormal);
}

void PlaybackSpeed::Choose(std::size_t index)
{
    Q_ASSERT(OnGuiThread());
    if (index == m_index)
        return;
    m_index = index;
    if (auto choice = m_choices.find(Percent()); choice != m_choices.end())
        choice->second->setChecked(true);
    m_preferences.SetValue(kPercentKey, Percent());
    emit speedChanged(Speed());
    FollowInPlayer();
}

void PlaybackSpeed::FollowInPlayer()
{
    if (m_player.Speed() == Speed())
        return;
    if (m_sinceFollowed.isValid() && m_sinceFollowed.elapsed() < kFollowEveryMs) {
        if (!m_followLater.isActive())
            m_followLater.start(int(kFollowEveryMs - m_sinceFollowed.elapsed()));
        return;
    }
    m_sinceFollowed.start();
    m_player.SetSpeed(Speed());
}
