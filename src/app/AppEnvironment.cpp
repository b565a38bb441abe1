#include "app/AppEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cstdlib>
#include <unistd.h>

std::string SettingsPathBeside(const std::string& executablePath)
{
    std::string::size_type slash = executablePath.rfind('/');
    std::string::size_type dot = executablePath.rfind('.');
    bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? executablePath.substr(0, dot) : executablePath) + ".ini";
}

std::string SettingsPathFor(const std::string& executablePath, const SettingsPlace& place)
{
    std::string beside = SettingsPathBeside(executablePath);
    if (place.executableFolderWritable || place.settingsFileBesideExists)
        return beside;
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    std::string configHome = !place.xdgConfigHome.empty() && place.xdgConfigHome.front() == '/'
                                 ? place.xdgConfigHome
                                 : place.home + "/.config";
    return configHome + "/ardeno-recorder/ardeno-recorder.ini";
}

namespace {

// The facts SettingsPathFor decides on, read from the system.
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

// The user guide: beside the executable in a build tree, under share/ when
// installed (not share/doc, which minimal systems leave out).
std::string FindUserGuide(const QString& executableDir)
{
    const QString candidates[] = {
        executableDir + QStringLiteral("/guide.html"),
        executableDir + QStringLiteral("/../share/ardeno-recorder/guide.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath()).toString().toStdString();
    }
    return QUrl::fromLocalFile(candidates[0]).toString().toStdString();
}

} // namespace

WindowEnvironment DetectEnvironment()
{
    QString executable = QCoreApplication::applicationFilePath();
    QFileInfo info(executable);
    WindowEnvironment environment;
    environment.appName = info.completeBaseName().toStdString();
    environment.settingsPath = SettingsPathFor(executable.toStdString(), FindSettingsPlace(executable.toStdString()));
    environment.homePageUrl = FindUserGuide(info.absolutePath());
    return environment;
}
