#include "window/RecorderDlg.h"

// Opening media: not built yet.
void CRecorderDlg::OnOpen() {}
