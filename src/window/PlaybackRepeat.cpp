#include "window/RecorderDlg.h"

#include "components/player/PlayerFault.h"

// Playback and segment repeat: not built yet.
void CRecorderDlg::OnPlay() {}
void CRecorderDlg::OnPause() {}
void CRecorderDlg::OnStop() {}
void CRecorderDlg::OnMarkStart() {}
void CRecorderDlg::OnMarkEnd() {}
void CRecorderDlg::OnStartEarlier() {}
void CRecorderDlg::OnStartLater() {}
void CRecorderDlg::OnEndEarlier() {}
void CRecorderDlg::OnEndLater() {}
void CRecorderDlg::OnTakeStartTime() {}
void CRecorderDlg::OnTakeEndTime() {}
void CRecorderDlg::OnRepeat() {}
void CRecorderDlg::CheckSegmentEnd() {}
void CRecorderDlg::GuardedPlayerCall(const std::function<void()>& steps, FaultReaction, BoxIcon) { steps(); }
bool CRecorderDlg::ReportException(const PlayerFault&) { return true; }
