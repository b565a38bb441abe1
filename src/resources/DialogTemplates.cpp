// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/DialogTemplates.h"

namespace {

using K = ControlKind;
using I = ControlId;

constexpr ControlTemplate kMainControls[] = {
    {I::StartTime, K::Edit, "", 290, 195, 59, 16, true, StyleReadOnly},
    {I::EndTime, K::Edit, "", 382, 195, 56, 16, true, StyleReadOnly},
    {I::TimeStep, K::Edit, "", 87, 123, 22, 15, false, StyleCentred},
    {I::PointStep, K::Edit, "", 135, 125, 18, 15, false, StyleCentred},
    {I::LeadIn, K::Edit, "", 169, 132, 45, 15, false, StyleCentred},
    {I::PointList, K::ListBox, "", 113, 132, 127, 15, false, StyleNone},
    {I::Play, K::Button, "Play", 282, 221, 47, 14, true, StyleNone},
    {I::Pause, K::Button, "Pause", 398, 221, 45, 14, true, StyleNone},
    {I::Repeat, K::Button, "Repeat", 341, 221, 45, 14, true, StyleNone},
    {I::AddPoint, K::Button, "+", 165, 131, 25, 16, false, StyleNone},
    {I::DeletePoint, K::Button, "-", 141, 124, 25, 16, false, StyleNone},
    {I::PointEarlier, K::Button, "<", 211, 131, 25, 16, false, StyleNone},
    {I::PointLater, K::Button, ">", 213, 131, 25, 16, false, StyleNone},
    {I::ReplayPoint, K::Button, "Repeat", 189, 127, 30, 20, false, StyleNone},
    {I::NextPoint, K::Button, "Next", 203, 127, 21, 20, false, StyleNone},
    {I::StartEarlier, K::FlatButton, "<", 278, 195, 12, 15, true, StyleNone},
    {I::StartLater, K::FlatButton, ">", 349, 195, 12, 15, true, StyleNone},
    {I::EndEarlier, K::FlatButton, "<", 370, 195, 12, 15, true, StyleNone},
    {I::EndLater, K::FlatButton, ">", 438, 195, 10, 15, true, StyleNone},
    {I::Player, K::PlayerControl, "", 0, 0, 267, 227, true, StyleNone},
    {I::MarkStart, K::Button, "Start Repeat Time", 282, 176, 71, 14, true, StyleNone},
    {I::MarkEnd, K::Button, "End  Repeat Time", 375, 176, 65, 14, true, StyleNone},
    {I::Infinitely, K::CheckBox, "Infinitely", 199, 118, 41, 15, false, StyleNone},
    {I::MediaPath, K::Edit, "", 283, 22, 158, 14, true, StyleReadOnly},
    {I::SavePoints, K::Button, "Save File", 59, 131, 40, 16, false, StyleNone},
    {I::Open, K::Button, "Open", 281, 46, 48, 14, true, StyleNone},
    {I::None, K::GroupBox, "Play All Media Types", 271, 6, 181, 61, true, StyleNone},
    {I::None, K::GroupBox, "Repeat Read Very Easy", 271, 162, 182, 80, true, StyleNone},
    {I::TopPlay, K::Button, "Play", 339, 46, 48, 14, true, StyleNone},
    {I::Exit, K::DefaultButton, "Exit", 169, 226, 50, 16, true, StyleNone},
    {I::None, K::GroupBox, "Record Sound To Mp3", 271, 80, 182, 71, true, StyleNone},
    {I::None, K::Label, "Rec Time:", 277, 95, 32, 8, true, StyleNone},
    {I::RecTime, K::SunkenLabel, "", 313, 95, 42, 11, true, StyleNone},
    {I::None, K::Label, "File Size:", 359, 95, 30, 8, true, StyleNone},
    {I::FileSize, K::SunkenLabel, "", 391, 95, 56, 11, true, StyleNone},
    {I::OutputFile, K::Edit, "", 275, 112, 130, 12, true, StyleReadOnly},
    {I::SaveAs, K::Button, "Save...", 407, 110, 37, 14, true, StyleNone},
    {I::Record, K::Button, "Record", 281, 132, 46, 14, true, StyleNone},
    {I::PauseRecording, K::Button, "Pause", 339, 132, 46, 14, true, StyleNone},
    {I::StopRecording, K::Button, "Stop", 395, 132, 46, 14, true, StyleNone},
    {I::TopStop, K::Button, "Stop", 395, 46, 45, 14, true, StyleNone},
    {I::About, K::DefaultButton, "About", 108, 226, 50, 16, true, StyleNone},
};

constexpr ControlTemplate kAboutControls[] = {
    {I::None, K::Icon, "", 7, 7, 18, 18, true, StyleNone},
    {I::None, K::Label, "Ardeno Audio Recorder", 42, 23, 74, 8, true, StyleNone},
    {I::None, K::Label, "Web: https://ardeno.example.org", 42, 39, 138, 8, true, StyleNone},
    {I::None, K::Label, "Mail: help@ardeno.example.org", 42, 55, 86, 8, true, StyleNone},
    {I::None, K::Label, "(C) 2026 Ardeno. All rights reserved.", 42, 71, 104, 8, true, StyleNone},
    {I::None, K::Rule, "", 7, 86, 173, 3, true, StyleNone},
    {I::AboutOk, K::DefaultButton, "OK", 62, 93, 62, 16, true, StyleNone},
};

constexpr DialogTemplate kMain{102, "Ardeno Audio Recorder", "MS Shell Dlg", 8, 457, 243, kMainControls};
constexpr DialogTemplate kAbout{100, "About Ardeno Audio Recorder", "MS Shell Dlg", 9, 187, 116, kAboutControls};

} // namespace

const DialogTemplate& MainDialogTemplate() { return kMain; }
const DialogTemplate& AboutDialogTemplate() { return kAbout; }
