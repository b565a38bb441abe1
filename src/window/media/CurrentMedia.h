// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class CMediaplayer1;
class QLineEdit;

// The current media file: its path, shown in the read-only path box, and
// loading it into the player again (as Play does before it plays on).
class CurrentMedia {
public:
    CurrentMedia(CMediaplayer1& player, QLineEdit& pathBox);

    const std::string& Path() const { return m_mediaPath; }
    // Takes a path without loading it (the settings' or the default one).
    void SetPath(const std::string& path);
    // Loads the file at Path() into the player.
    void Reload();

private:
    CMediaplayer1& m_player;
    QLineEdit& m_pathBox;
    std::string m_mediaPath;
};
