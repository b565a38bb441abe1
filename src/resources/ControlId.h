// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

// The one name of every control of the program's two windows. The numbers are
// the template ids; nothing else in the program spells a control as a number.
enum class ControlId : int {
    None = -1,

    // About box.
    AboutOk = 1,

    // Main window.
    Player = 1000,
    MediaPath = 1001,
    StartTime = 1002,
    EndTime = 1003,
    TimeStep = 1004,
    PointStep = 1005,
    LeadIn = 1006,
    PointList = 1007,
    SavePoints = 1008,
    Open = 1009,
    Play = 1010,
    Pause = 1011,
    Repeat = 1012,
    AddPoint = 1013,
    DeletePoint = 1014,
    PointEarlier = 1015,
    PointLater = 1016,
    ReplayPoint = 1017,
    NextPoint = 1018,
    StartEarlier = 1019,
    StartLater = 1020,
    EndEarlier = 1021,
    EndLater = 1022,
    MarkStart = 1023,
    MarkEnd = 1024,
    Infinitely = 1025,
    TopPlay = 1026,
    Exit = 1028,
    RecTime = 1029,
    FileSize = 1030,
    OutputFile = 1031,
    SaveAs = 1032,
    Record = 1033,
    PauseRecording = 1034,
    StopRecording = 1035,
    About = 1036,
    TopStop = 1038,
};

// The controls enabled and disabled together (EnablePlaybackControls), in
// that order.
inline constexpr std::array<ControlId, 10> kPlaybackControlGroup = {
    ControlId::SavePoints,   ControlId::Play,       ControlId::Pause,       ControlId::Repeat,
    ControlId::AddPoint,     ControlId::DeletePoint, ControlId::PointEarlier, ControlId::PointLater,
    ControlId::ReplayPoint, ControlId::NextPoint,
};
