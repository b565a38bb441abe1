// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PrivatePulseSession.h"

#include "support/FileBytes.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

// Stops one process this helper started, by its id: `signal` first, SIGKILL
// when it has not ended within 3 s.
void StopProcess(pid_t& process, int signal)
{
    if (process <= 0)
        return;
    kill(process, signal);
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    int status = 0;
    while (waitpid(process, &status, WNOHANG) != process) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(process, SIGKILL);
            waitpid(process, &status, 0);
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    process = -1;
}

} // namespace

PrivatePulseSession::PrivatePulseSession()
{
    char folderTemplate[] = "/tmp/recorder-pulse-XXXXXX";
    if (!mkdtemp(folderTemplate)) {
        m_problem = "no private folder for the sound server";
        return;
    }
    m_folder = folderTemplate;
    const std::string script = m_folder + "/server.pa";
    std::ofstream(script) << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << m_folder
                          << "/native\n"
                             "load-module module-null-sink sink_name=spk\n"
                             "set-default-sink spk\n"
                             "set-default-source spk.monitor\n";
    const std::string log = m_folder + "/server.log";
    // Should the test die without stopping it, the server ends by itself 10 s
    // after its last client, and the player after two minutes.
    m_server = Spawn({"pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no",
                      "--system=no"},
                     true, log);
    if (!WaitFor("pulseaudio", &PrivatePulseSession::TakesClients, m_server, log))
        return;
    // Sink and source names meant for another server would lead this
    // process's clients astray.
    m_environment.Set("PULSE_SERVER", Address());
    m_environment.Unset("PULSE_SINK");
    m_environment.Unset("PULSE_SOURCE");
}

PrivatePulseSession::~PrivatePulseSession()
{
    StopProcess(m_player, SIGTERM);
    StopProcess(m_server, SIGTERM);
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

std::string PrivatePulseSession::Address() const
{
    return "unix:" + m_folder + "/native";
}

bool PrivatePulseSession::PlayTone(int frequency)
{
    const std::string log = m_folder + "/player.log";
    m_player = Spawn({"gst-launch-1.0", "-q", "audiotestsrc", "wave=sine", "volume=0.5", "samplesperbuffer=441",
                      "num-buffers=12000", "freq=" + std::to_string(frequency), "!", "audioconvert", "!", "pulsesink",
                      "device=spk"},
                     false, log);
    return WaitFor("the player", &PrivatePulseSession::PlaysSomething, m_player, log);
}

void PrivatePulseSession::PlayFile(const std::string& path)
{
    StopProcess(m_player, SIGTERM);
    m_player = Spawn({"paplay", "--device=spk", path}, false, m_folder + "/player.log");
}

void PrivatePulseSession::Kill()
{
    StopProcess(m_server, SIGKILL);
}

pid_t PrivatePulseSession::Spawn(std::vector<std::string> arguments, bool privateHome, const std::string& log)
{
    // The server gets its own home and runtime folders, so that it touches
    // nothing else; clients keep theirs (GStreamer's plugin cache is there).
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        const bool replaced = variable.rfind("PULSE_", 0) == 0
                              || (privateHome
                                  && (variable.rfind("HOME=", 0) == 0 || variable.rfind("XDG_RUNTIME_DIR=", 0) == 0));
        if (!replaced)
            environment.push_back(variable);
    }
    if (privateHome) {
        environment.push_back("HOME=" + m_folder);
        environment.push_back("XDG_RUNTIME_DIR=" + m_folder);
    }
    environment.push_back("PULSE_SERVER=" + Address());

    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    pid_t process = -1;
    if (posix_spawnp(&process, argv[0], &files, nullptr, argv.data(), envp.data()) != 0)
        process = -1;
    posix_spawn_file_actions_destroy(&files);
    return process;
}

bool PrivatePulseSession::WaitFor(const std::string& what, bool (PrivatePulseSession::*ready)() const, pid_t& process,
                                 const std::string& log)
{
    if (process <= 0) {
        m_problem = what + " could not be started (is its package installed?)";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!(this->*ready)()) {
        int status = 0;
        if (waitpid(process, &status, WNOHANG) == process) {
            process = -1;
            m_problem = what + " ended at once:\n" + ReadFileBytes(log);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            m_problem = what + " was not ready within 10 s:\n" + ReadFileBytes(log);
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool PrivatePulseSession::TakesClients() const
{
    return std::filesystem::exists(m_folder + "/native");
}

bool PrivatePulseSession::PlaysSomething() const
{
    const std::string command = "PULSE_SERVER=" + Address() + " pactl list short sink-inputs 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> listing(popen(command.c_str(), "r"), pclose);
    return listing && std::fgetc(listing.get()) != EOF;
}
