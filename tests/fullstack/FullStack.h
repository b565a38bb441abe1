#pragma once

#include "PlayedSound.h"
#include "RecorderPulseServer.h"

#include <memory>
#include <string>

// A private PulseAudio server for the whole program, and what its null sink
// plays, recorded at the sink's monitor (mono, 44.1 kHz) from the moment the
// session is ready. Components created while the session lives play to and
// record from this server (PULSE_SERVER names it); the sink's monitor is its
// default input. The server is stopped by its own process id.
class SoundServerSession {
public:
    static constexpr int kRate = 44100;

    SoundServerSession();
    ~SoundServerSession();
    SoundServerSession(const SoundServerSession&) = delete;
    SoundServerSession& operator=(const SoundServerSession&) = delete;

    bool Ready() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }
    ServerRecording& Monitor() { return *m_monitor; }

private:
    PrivatePulseServer m_server;
    std::unique_ptr<ServerRecording> m_monitor;
    std::string m_problem;
};
