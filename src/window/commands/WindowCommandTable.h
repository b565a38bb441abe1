#pragma once

class CRecorderDlg;
class WindowCommands;

// Adds the window's own commands with their keys: those of its buttons
// (hidden ones included) and the keyboard's media keys.
void AddWindowCommands(WindowCommands& commands, CRecorderDlg& dialog);
