#include "components/recorder/CMP3Enc.h"

// The recorder engine: not built yet.
CMP3Enc::CMP3Enc() = default;
CMP3Enc::~CMP3Enc() = default;
void CMP3Enc::SetFileName(char*) {}
bool CMP3Enc::StartRec() { return false; }
void CMP3Enc::PauseRec() {}
void CMP3Enc::StopRec() {}
std::int32_t CMP3Enc::GetRSec() { return 0; }
std::int32_t CMP3Enc::GetFileSize() { return 0; }
bool CMP3Enc::IsRecording() const { return false; }
std::string CMP3Enc::LastError() const { return "the recorder is not built yet"; }
