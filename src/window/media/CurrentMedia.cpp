// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/media/CurrentMedia.h"

#include "window/CMediaplayer1.h"

#include <QLineEdit>

CurrentMedia::CurrentMedia(CMediaplayer1& player, QLineEdit& pathBox) : m_player(player), m_pathBox(pathBox) {}

void CurrentMedia::SetPath(const std::string& path)
{
    m_pathBox.setText(QString::fromStdString(path));
    m_mediaPath = path;
}

void CurrentMedia::Reload()
{
    m_player.SetMediaFileName(m_mediaPath);
}
