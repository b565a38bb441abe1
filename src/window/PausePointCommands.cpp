#include "window/RecorderDlg.h"

// Pause-point commands: not built yet.
void CRecorderDlg::OnAddPausePoint() {}
void CRecorderDlg::OnDeletePausePoint() {}
void CRecorderDlg::OnPausePointEarlier() {}
void CRecorderDlg::OnPausePointLater() {}
void CRecorderDlg::OnReplayPausePoint() {}
void CRecorderDlg::OnNextPausePoint() {}
void CRecorderDlg::OnSavePausePoints() {}
void CRecorderDlg::CheckPausePointSegment() {}
