// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/settings/SettingsPlace.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <unistd.h>

std::string SettingsPathBeside(const std::string& executablePath)
{
    std::string::size_type slash = executablePath.rfind('/');
    std::string::size_type dot = executablePath.rfind('.');
    bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? executablePath.substr(0, dot) : executablePath) + ".ini";
}

namespace {

// The program's folder under an XDG base folder: the variable's value when it
// is an absolute path, else the default beneath the home folder.
std::string ProgramFolderUnder(const std::string& xdgValue, const std::string& home, const char* homeDefault)
{
    std::string base = !xdgValue.empty() && xdgValue.front() == '/' ? xdgValue : home + homeDefault;
    return base + "/ardeno-recorder";
}

} // namespace

std::string UserConfigFolder(const SettingsPlace& place)
{
    return ProgramFolderUnder(place.xdgConfigHome, place.home, "/.config");
}

std::string UserCacheFolder(const std::string& xdgCacheHome, const std::string& home)
{
    return ProgramFolderUnder(xdgCacheHome, home, "/.cache");
}

SettingsFiles SettingsFilesFor(const std::string& executablePath, const SettingsPlace& place)
{
    std::string beside = SettingsPathBeside(executablePath);
    if (place.executableFolderWritable && !place.executableInSystemFolder)
        return {beside, {}};
    return {UserConfigFolder(place) + "/ardeno-recorder.ini", place.settingsFileBesideExists ? beside : std::string()};
}

namespace {

bool IsSystemFolder(const std::string& folder)
{
    for (const std::string root : {"/usr", "/opt"}) {
        if (folder == root || folder.rfind(root + "/", 0) == 0)
            return true;
    }
    return false;
}

} // namespace

SettingsPlace FindSettingsPlace(const std::string& executablePath)
{
    SettingsPlace place;
    QFileInfo executable(QString::fromStdString(executablePath));
    std::string folder = executable.absolutePath().toStdString();
    place.executableFolderWritable = ::access(folder.c_str(), W_OK) == 0;
    place.executableInSystemFolder = IsSystemFolder(executable.canonicalPath().toStdString());
    place.settingsFileBesideExists = ::access(SettingsPathBeside(executablePath).c_str(), F_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        place.xdgConfigHome = xdg;
    place.home = QDir::homePath().toStdString();
    return place;
}
