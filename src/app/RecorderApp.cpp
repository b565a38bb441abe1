// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecorderApp.h"

#include "app/AppEnvironment.h"
#include "components/align/CreateTextAligner.h"
#include "components/player/CreateMediaPlayer.h"
#include "components/player/DeferredMediaPlayer.h"
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
    QtPrompts prompts;
    WindowEnvironment environment = DetectEnvironment();
    environment.fileToOpen = m_fileToOpen;
    try {
        // What the first picture does not need waits until the window is on
        // screen: the media framework (its plugin registry) and the player's
        // pipeline are made by the first load or command that plays, and the
        // session bus, which may first have to be started, is asked then.
        CRecorderDlg dlg(std::make_unique<CMP3Enc>(), std::make_unique<DeferredMediaPlayer>(CreateMediaPlayer),
                         CreateSoundProfiler(ProfileCacheFolder()), CreateSubtitleStreams(), CreateTextAligner(), CreateTakeEngines(),
                         prompts,
                         std::move(environment));
        std::unique_ptr<MprisService> mediaPlayerOnTheBus;
        dlg.DoModal([&] { mediaPlayerOnTheBus = dlg.OfferOnBus(QDBusConnection::sessionBus()); });
    } catch (const std::exception& error) {
        // The window could not be built: the run ends before it starts.
        std::fprintf(stderr, "ardeno-recorder: cannot create the main window: %s\n", error.what());
    }
    return false;
}
