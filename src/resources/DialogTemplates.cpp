#include "resources/DialogTemplates.h"

namespace {

using K = ControlKind;

constexpr ControlTemplate kMainControls[] = {
    {1002, K::Edit, "", 290, 195, 59, 16, true, StyleReadOnly},
    {1003, K::Edit, "", 382, 195, 56, 16, true, StyleReadOnly},
    {1004, K::Edit, "", 87, 123, 22, 15, false, StyleCentred},
    {1005, K::Edit, "", 135, 125, 18, 15, false, StyleCentred},
    {1006, K::Edit, "", 169, 132, 45, 15, false, StyleCentred},
    {1007, K::ListBox, "", 113, 132, 127, 15, false, StyleNone},
    {1010, K::Button, "Play", 282, 221, 47, 14, true, StyleNone},
    {1011, K::Button, "Pause", 398, 221, 45, 14, true, StyleNone},
    {1012, K::Button, "Repeat", 341, 221, 45, 14, true, StyleNone},
    {1013, K::Button, "+", 165, 131, 25, 16, false, StyleNone},
    {1014, K::Button, "-", 141, 124, 25, 16, false, StyleNone},
    {1015, K::Button, "<", 211, 131, 25, 16, false, StyleNone},
    {1016, K::Button, ">", 213, 131, 25, 16, false, StyleNone},
    {1017, K::Button, "Repeat", 189, 127, 30, 20, false, StyleNone},
    {1018, K::Button, "Next", 203, 127, 21, 20, false, StyleNone},
    {1019, K::FlatButton, "<", 278, 195, 12, 15, true, StyleNone},
    {1020, K::FlatButton, ">", 349, 195, 12, 15, true, StyleNone},
    {1021, K::FlatButton, "<", 370, 195, 12, 15, true, StyleNone},
    {1022, K::FlatButton, ">", 438, 195, 10, 15, true, StyleNone},
    {1000, K::PlayerControl, "", 0, 0, 267, 227, true, StyleNone},
    {1023, K::Button, "Start Repeat Time", 282, 176, 71, 14, true, StyleNone},
    {1024, K::Button, "End  Repeat Time", 375, 176, 65, 14, true, StyleNone},
    {1025, K::CheckBox, "Infinitely", 199, 118, 41, 15, false, StyleNone},
    {1001, K::Edit, "", 283, 22, 158, 14, true, StyleReadOnly},
    {1008, K::Button, "Save File", 59, 131, 40, 16, false, StyleNone},
    {1009, K::Button, "Open", 281, 46, 48, 14, true, StyleNone},
    {kNoId, K::GroupBox, "Play All Media Types", 271, 6, 181, 61, true, StyleNone},
    {kNoId, K::GroupBox, "Repeat Read Very Easy", 271, 162, 182, 80, true, StyleNone},
    {1026, K::Button, "Play", 339, 46, 48, 14, true, StyleNone},
    {1028, K::DefaultButton, "Exit", 169, 226, 50, 16, true, StyleNone},
    {kNoId, K::GroupBox, "Record Sound To Mp3", 271, 80, 182, 71, true, StyleNone},
    {kNoId, K::Label, "Rec Time:", 277, 95, 32, 8, true, StyleNone},
    {1029, K::SunkenLabel, "", 313, 95, 42, 11, true, StyleNone},
    {kNoId, K::Label, "File Size:", 359, 95, 30, 8, true, StyleNone},
    {1030, K::SunkenLabel, "", 391, 95, 56, 11, true, StyleNone},
    {1031, K::Edit, "", 275, 112, 130, 12, true, StyleReadOnly},
    {1032, K::Button, "Save...", 407, 110, 37, 14, true, StyleNone},
    {1033, K::Button, "Record", 281, 132, 46, 14, true, StyleNone},
    {1034, K::Button, "Pause", 339, 132, 46, 14, true, StyleNone},
    {1035, K::Button, "Stop", 395, 132, 46, 14, true, StyleNone},
    {1038, K::Button, "Stop", 395, 46, 45, 14, true, StyleNone},
    {1036, K::DefaultButton, "About", 108, 226, 50, 16, true, StyleNone},
};

constexpr ControlTemplate kAboutControls[] = {
    {kNoId, K::Icon, "", 7, 7, 18, 18, true, StyleNone},
    {kNoId, K::Label, "Ardeno Audio Recorder", 42, 23, 74, 8, true, StyleNone},
    {kNoId, K::Label, "Web: https://ardeno.example.org", 42, 39, 138, 8, true, StyleNone},
    {kNoId, K::Label, "Mail: help@ardeno.example.org", 42, 55, 86, 8, true, StyleNone},
    {kNoId, K::Label, "(C) 2026 Ardeno. All rights reserved.", 42, 71, 104, 8, true, StyleNone},
    {kNoId, K::Rule, "", 7, 86, 173, 3, true, StyleNone},
    {1, K::DefaultButton, "OK", 62, 93, 62, 16, true, StyleNone},
};

constexpr DialogTemplate kMain{102, "Ardeno Audio Recorder", "MS Shell Dlg", 8, 457, 243, kMainControls};
constexpr DialogTemplate kAbout{100, "About Ardeno Audio Recorder", "MS Shell Dlg", 9, 187, 116, kAboutControls};

} // namespace

const DialogTemplate& MainDialogTemplate() { return kMain; }
const DialogTemplate& AboutDialogTemplate() { return kAbout; }
