// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/EnvironmentOverride.h"

#include <string>
#include <sys/types.h>
#include <vector>

// A PulseAudio server of the test's own, in a private folder: one null sink
// "spk" whose monitor is the default source, so what is played into "spk" is
// what a recorder of the default input captures. While the session lives,
// the sound clients of this process (players, recorders, monitors) use this
// server: PULSE_SERVER names it; the environment is put back as it was at the
// end. Only the processes this object started are ever stopped, by their own
// ids.
class PrivatePulseSession {
public:
    // Starts the server and waits (at most 10 s) until it takes clients.
    PrivatePulseSession();
    // Stops the player and the server, if they still run, removes the
    // private folder and puts the environment back.
    ~PrivatePulseSession();
    PrivatePulseSession(const PrivatePulseSession&) = delete;
    PrivatePulseSession& operator=(const PrivatePulseSession&) = delete;

    bool Ready() const { return m_problem.empty(); }
    // Why the server (or the player) did not come up, with its log.
    const std::string& Problem() const { return m_problem; }
    // The server's address, as PULSE_SERVER gives it.
    std::string Address() const;

    // Plays a sine tone into "spk" for two minutes; returns once the server
    // plays it (at most 10 s), false when it does not (see Problem()).
    bool PlayTone(int frequency);
    // Starts playing a WAV file into "spk" (so that a recorder of the default
    // input captures it), ending the tone or file that still plays; the
    // player ends by itself at the file's end.
    void PlayFile(const std::string& path);
    // Ends the server at once, as a crash would.
    void Kill();

private:
    // Starts a program with PULSE_SERVER naming this server; `privateHome`
    // also gives it this server's folder as home and runtime folder.
    pid_t Spawn(std::vector<std::string> arguments, bool privateHome, const std::string& log);
    // Waits until `ready`; a process that ends meanwhile is reaped and its
    // id cleared.
    bool WaitFor(const std::string& what, bool (PrivatePulseSession::*ready)() const, pid_t& process,
                 const std::string& log);
    bool TakesClients() const;
    bool PlaysSomething() const;

    std::string m_folder;
    pid_t m_server = -1;
    pid_t m_player = -1;
    std::string m_problem;
    EnvironmentOverride m_environment;
};
