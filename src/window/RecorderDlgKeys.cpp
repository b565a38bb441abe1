// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/RecorderDlg.h"

#include "window/commands/WindowCommands.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/recording/RecordingPanel.h"
#include "window/segment/SegmentRepeat.h"

#include <QMenu>

// The window's own commands with their keys: those of its buttons (hidden
// ones included) and the keyboard's media keys. The commands named after a
// button keep the button's own English name in every language, so that the
// menu says what the button says; the others are translated.

namespace {

bool IsPlaying(CMediaplayer1& player)
{
    return player.PlayState() == PlaybackState::Playing;
}

// Space: Pause while playing (the end is marked there), otherwise Play (on
// from the end).
void PlayOrPause(CMediaplayer1& player, SegmentRepeat& segment)
{
    if (IsPlaying(player))
        segment.Pause();
    else
        segment.Play();
}

} // namespace

void CRecorderDlg::AddWindowCommands()
{
    WindowCommands& commands = *m_commands;
    SegmentRepeat& segment = *m_segment;
    PausePoints& points = *m_points;
    RecordingPanel& recording = *m_recording;
    MediaSession& opening = *m_opening;
    CMediaplayer1& player = m_player;
    // A button's command, usable while its button is.
    auto button = [this, &commands](ControlId control, const char* text, const WindowCommands::Keys& keys,
                      std::function<void()> run, QMenu* submenu = nullptr) {
        commands.Follow(commands.Add(QString::fromUtf8(text), keys, std::move(run), submenu), Control(control));
    };
    using Keys = WindowCommands::Keys;

    commands.Add(tr("Play/Pause"), Keys{Qt::Key_Space, Qt::Key_MediaTogglePlayPause},
                 [&player, &segment] { PlayOrPause(player, segment); });
    commands.Add(QStringLiteral("Play"), Keys{Qt::Key_MediaPlay}, [&player, &segment] {
        if (!IsPlaying(player))
            segment.Play();
    });
    button(ControlId::Pause, "Pause", Keys{Qt::Key_MediaPause}, [&player, &segment] {
        if (IsPlaying(player))
            segment.Pause();
    });
    button(ControlId::TopStop, "Stop", Keys{Qt::Key_S, Qt::Key_MediaStop}, [&segment] { segment.Stop(); });
    button(ControlId::Repeat, "Repeat", Keys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_R, Qt::Key_MediaPrevious},
           [&segment] { segment.Repeat(); });
    commands.AddSeparator();

    button(ControlId::MarkStart, "Start Repeat Time", Keys{Qt::Key_A}, [&segment] { segment.MarkStart(); });
    button(ControlId::MarkEnd, "End Repeat Time", Keys{Qt::Key_B}, [&segment] { segment.MarkEnd(); });
    button(ControlId::StartEarlier, "Start Earlier", Keys{Qt::ShiftModifier | Qt::Key_Left},
           [&segment] { segment.StartEarlier(); });
    button(ControlId::StartLater, "Start Later", Keys{Qt::ShiftModifier | Qt::Key_Right},
           [&segment] { segment.StartLater(); });
    button(ControlId::EndEarlier, "End Earlier", Keys{Qt::Key_Left}, [&segment] { segment.EndEarlier(); });
    button(ControlId::EndLater, "End Later", Keys{Qt::Key_Right}, [&segment] { segment.EndLater(); });
    commands.AddSeparator();

    button(ControlId::Open, "Open...", Keys{Qt::ControlModifier | Qt::Key_O}, [&opening] { opening.Open(); });
    commands.AddSeparator();

    button(ControlId::SaveAs, "Save Recording As...", Keys{Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S},
           [&recording] { recording.ChooseOutputFile(); });
    button(ControlId::Record, "Record", Keys{Qt::ControlModifier | Qt::Key_R}, [&recording] { recording.Record(); });
    button(ControlId::PauseRecording, "Pause Recording", Keys{Qt::ControlModifier | Qt::Key_P},
           [&recording] { recording.PauseRecording(); });
    button(ControlId::StopRecording, "Stop Recording", Keys{Qt::ControlModifier | Qt::Key_E},
           [&recording] { recording.StopRecording(); });
    commands.AddSeparator();

    // The pause points' buttons are hidden; their keys make the list usable.
    QMenu* pointsMenu = commands.AddSubmenu(tr("Pause Points"));
    button(ControlId::AddPoint, "Add Pause Point", Keys{Qt::Key_Insert}, [&points] { points.Add(); }, pointsMenu);
    button(ControlId::DeletePoint, "Delete Pause Point", Keys{Qt::ControlModifier | Qt::Key_Delete},
           [&points] { points.Delete(); }, pointsMenu);
    button(ControlId::PointEarlier, "Pause Point Earlier", Keys{Qt::ControlModifier | Qt::Key_Left},
           [&points] { points.Earlier(); }, pointsMenu);
    button(ControlId::PointLater, "Pause Point Later", Keys{Qt::ControlModifier | Qt::Key_Right},
           [&points] { points.Later(); }, pointsMenu);
    button(ControlId::ReplayPoint, "Replay Pause Point", Keys{Qt::ControlModifier | Qt::Key_Return},
           [&points] { points.Replay(); }, pointsMenu);
    button(ControlId::NextPoint, "Next Pause Point", Keys{Qt::ControlModifier | Qt::Key_Down},
           [&points] { points.Next(); }, pointsMenu);
    button(ControlId::SavePoints, "Save Pause Points", Keys{Qt::ControlModifier | Qt::Key_S},
           [&points] { points.Save(); }, pointsMenu);
}
