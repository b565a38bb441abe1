#include "window/commands/WindowCommandTable.h"

#include "window/RecorderDlg.h"
#include "window/commands/WindowCommands.h"
#include "window/media/MediaSession.h"
#include "window/pausepoints/PausePoints.h"
#include "window/recording/RecordingPanel.h"
#include "window/segment/SegmentRepeat.h"

#include <QMenu>

namespace {

bool IsPlaying(CRecorderDlg& dialog)
{
    return dialog.Player().PlayState() == PlaybackState::Playing;
}

// Space: Pause while playing (the end is marked there), otherwise Play (on
// from the end).
void PlayOrPause(CRecorderDlg& dialog)
{
    if (IsPlaying(dialog))
        dialog.Segment().Pause();
    else
        dialog.Segment().Play();
}

} // namespace

void AddWindowCommands(WindowCommands& commands, CRecorderDlg& d)
{
    // A button's command, usable while its button is.
    auto button = [&](ControlId control, const char* text, const WindowCommands::Keys& keys,
                      std::function<void()> run, QMenu* submenu = nullptr) {
        commands.Follow(commands.Add(QString::fromUtf8(text), keys, std::move(run), submenu), d.Control(control));
    };
    using Keys = WindowCommands::Keys;

    commands.Add(QStringLiteral("Play/Pause"), Keys{Qt::Key_Space, Qt::Key_MediaTogglePlayPause},
                 [&d] { PlayOrPause(d); });
    commands.Add(QStringLiteral("Play"), Keys{Qt::Key_MediaPlay}, [&d] {
        if (!IsPlaying(d))
            d.Segment().Play();
    });
    button(ControlId::Pause, "Pause", Keys{Qt::Key_MediaPause}, [&d] {
        if (IsPlaying(d))
            d.Segment().Pause();
    });
    button(ControlId::TopStop, "Stop", Keys{Qt::Key_S, Qt::Key_MediaStop}, [&d] { d.Segment().Stop(); });
    button(ControlId::Repeat, "Repeat", Keys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_R, Qt::Key_MediaPrevious},
           [&d] { d.Segment().Repeat(); });
    commands.AddSeparator();

    button(ControlId::MarkStart, "Start Repeat Time", Keys{Qt::Key_A}, [&d] { d.Segment().MarkStart(); });
    button(ControlId::MarkEnd, "End Repeat Time", Keys{Qt::Key_B}, [&d] { d.Segment().MarkEnd(); });
    button(ControlId::StartEarlier, "Start Earlier", Keys{Qt::ShiftModifier | Qt::Key_Left},
           [&d] { d.Segment().StartEarlier(); });
    button(ControlId::StartLater, "Start Later", Keys{Qt::ShiftModifier | Qt::Key_Right},
           [&d] { d.Segment().StartLater(); });
    button(ControlId::EndEarlier, "End Earlier", Keys{Qt::Key_Left}, [&d] { d.Segment().EndEarlier(); });
    button(ControlId::EndLater, "End Later", Keys{Qt::Key_Right}, [&d] { d.Segment().EndLater(); });
    commands.AddSeparator();

    button(ControlId::Open, "Open...", Keys{Qt::ControlModifier | Qt::Key_O}, [&d] { d.Media().Open(); });
    commands.AddSeparator();

    button(ControlId::SaveAs, "Save Recording As...", Keys{Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S},
           [&d] { d.Recording().ChooseOutputFile(); });
    button(ControlId::Record, "Record", Keys{Qt::ControlModifier | Qt::Key_R}, [&d] { d.Recording().Record(); });
    button(ControlId::PauseRecording, "Pause Recording", Keys{Qt::ControlModifier | Qt::Key_P},
           [&d] { d.Recording().PauseRecording(); });
    button(ControlId::StopRecording, "Stop Recording", Keys{Qt::ControlModifier | Qt::Key_E},
           [&d] { d.Recording().StopRecording(); });
    commands.AddSeparator();

    // The pause points' buttons are hidden; their keys make the list usable.
    QMenu* points = commands.AddSubmenu(QStringLiteral("Pause Points"));
    button(ControlId::AddPoint, "Add Pause Point", Keys{Qt::Key_Insert}, [&d] { d.Points().Add(); }, points);
    button(ControlId::DeletePoint, "Delete Pause Point", Keys{Qt::ControlModifier | Qt::Key_Delete},
           [&d] { d.Points().Delete(); }, points);
    button(ControlId::PointEarlier, "Pause Point Earlier", Keys{Qt::ControlModifier | Qt::Key_Left},
           [&d] { d.Points().Earlier(); }, points);
    button(ControlId::PointLater, "Pause Point Later", Keys{Qt::ControlModifier | Qt::Key_Right},
           [&d] { d.Points().Later(); }, points);
    button(ControlId::ReplayPoint, "Replay Pause Point", Keys{Qt::ControlModifier | Qt::Key_Return},
           [&d] { d.Points().Replay(); }, points);
    button(ControlId::NextPoint, "Next Pause Point", Keys{Qt::ControlModifier | Qt::Key_Down},
           [&d] { d.Points().Next(); }, points);
    button(ControlId::SavePoints, "Save Pause Points", Keys{Qt::ControlModifier | Qt::Key_S},
           [&d] { d.Points().Save(); }, points);
}
