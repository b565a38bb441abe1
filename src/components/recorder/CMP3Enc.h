#pragma once

#include "components/recorder/Recorder.h"

#include <memory>

// Records the default sound input into an MP3 file.
class CMP3Enc : public IRecorder {
public:
    CMP3Enc();
    ~CMP3Enc() override;

    void SetFileName(char* path) override;
    bool StartRec() override;
    void PauseRec() override;
    void StopRec() override;
    std::int32_t GetRSec() override;
    std::int32_t GetFileSize() override;
    bool IsRecording() const override;
    std::string LastError() const override;
};
