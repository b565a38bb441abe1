// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppEnvironment.h"

#include "window/settings/SettingsPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <cstdlib>

namespace {

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
    const SettingsPlace place = FindSettingsPlace(executable.toStdString());
    SettingsFiles settings = SettingsFilesFor(executable.toStdString(), place);
    environment.settingsPath = settings.path;
    environment.initialSettingsPath = settings.initialPath;
    environment.preferencesPath = UserConfigFolder(place) + "/preferences.ini";
    environment.transcriptFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() + "/transcripts";
    environment.homePageUrl = FindUserGuide(info.absolutePath());
    return environment;
}

std::string ProfileCacheFolder()
{
    const char* xdgCacheHome = std::getenv("XDG_CACHE_HOME");
    return UserCacheFolder(xdgCacheHome ? xdgCacheHome : "", QDir::homePath().toStdString());
}
