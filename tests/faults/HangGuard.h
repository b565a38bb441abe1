// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Ends the test process with a message naming what hung, when the guarded
// step has not finished within its time: a hang then fails clearly instead
// of running into CTest's timeout.
class HangGuard {
public:
    HangGuard(std::string what, std::chrono::seconds limit)
        : m_what(std::move(what)), m_thread([this, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_finished.wait_for(lock, limit, [this] { return m_done; })) {
                  std::fprintf(stderr, "HANG: %s did not finish within %lld s\n", m_what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_finished.notify_one();
        m_thread.join();
    }

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_thread;
};
