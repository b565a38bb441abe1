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

std::string UserConfigFolder(const SettingsPlace& place)
{
    std::string configHome = !place.xdgConfigHome.empty() && place.xdgConfigHome.front() == '/'
                                 ? place.xdgConfigHome
                                 : place.home + "/.config";
    return configHome + "/ardeno-recorder";
}

std::string SettingsPathFor(const std::string& executablePath, const SettingsPlace& place)
{
    if (place.executableFolderWritable || place.settingsFileBesideExists)
        return SettingsPathBeside(executablePath);
    return UserConfigFolder(place) + "/ardeno-recorder.ini";
}

SettingsPlace FindSettingsPlace(const std::string& executablePath)
{
    SettingsPlace place;
    std::string folder = QFileInfo(QString::fromStdString(executablePath)).absolutePath().toStdString();
    place.executableFolderWritable = ::access(folder.c_str(), W_OK) == 0;
    place.settingsFileBesideExists = ::access(SettingsPathBeside(executablePath).c_str(), F_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        place.xdgConfigHome = xdg;
    place.home = QDir::homePath().toStdString();
    return place;
}
