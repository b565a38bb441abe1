#include "window/RecorderDlg.h"

// Recording panel: not built yet.
void CRecorderDlg::OnChooseOutputFile() {}
void CRecorderDlg::OnRecord() {}
void CRecorderDlg::OnPauseRecording() {}
void CRecorderDlg::OnStopRecording() {}
void CRecorderDlg::RefreshRecordingLabels() {}
