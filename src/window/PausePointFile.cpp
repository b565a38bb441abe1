#include "window/RecorderDlg.h"

// Pause-point file of the current media: not built yet.
void CRecorderDlg::LoadPausePoints() {}
bool CRecorderDlg::WritePausePoints() { return false; }
void CRecorderDlg::OfferToSavePausePoints() {}
