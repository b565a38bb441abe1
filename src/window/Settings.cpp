#include "window/RecorderDlg.h"

// Settings file: not built yet.
bool CRecorderDlg::LoadSettings() { return false; }
void CRecorderDlg::SaveSettings() {}
