// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecorderApp.h"

#include "app/AppEnvironment.h"
#include "components/MediaFramework.h"
#include "components/player/CreateMediaPlayer.h"
#include "components/profile/CreateSoundProfiler.h"
#include "components/recorder/CMP3Enc.h"
#include "components/takes/CreateTakeEngines.h"
#include "components/transcript/CreateSubtitleStreams.h"
#include "window/QtPrompts.h"
#include "window/RecorderDlg.h"
#include "window/mpris/MprisService.h"

#include <QDBusConnection>

#include <cstdio>
#include <exception>

bool CRecorderApp::InitInstance()
{
    InitialiseMediaFramework();
    QtPrompts prompts;
    WindowEnvironment environment = DetectEnvironment();
    environment.fileToOpen = m_fileToOpen;
    try {
        CRecorderDlg dlg(std::make_unique<CMP3Enc>(), CreateMediaPlayer(), CreateSoundProfiler(ProfileCacheFolder()),
                         CreateSubtitleStreams(), CreateTakeEngines(), prompts, std::move(environment));
        std::unique_ptr<MprisService> mediaPlayerOnTheBus = dlg.OfferOnBus(QDBusConnection::sessionBus());
        dlg.DoModal();
    } catch (const std::exception& error) {
        // The window could not be built: the run ends before it starts.
        std::fprintf(stderr, "ardeno-recorder: cannot create the main window: %s\n", error.what());
    }
    return false;
}
