// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

// The fuzz input as a file the readers open by path: an in-memory file, so
// that no run touches the disk. One per process, rewritten for every input.
class FuzzInputFile {
public:
    FuzzInputFile() : m_fd(memfd_create("fuzz-input", MFD_CLOEXEC))
    {
        if (m_fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;
    ~FuzzInputFile() { close(m_fd); }

    // Replaces the file's contents with `bytes`.
    void Hold(std::string_view bytes)
    {
        if (ftruncate(m_fd, 0) != 0
            || pwrite(m_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
            std::perror("writing the fuzz input");
            std::abort();
        }
    }

    // A path that opens the file from its start.
    const std::string& Path() const { return m_path; }

private:
    int m_fd;
    std::string m_path;
};

// Stops the run with a message libFuzzer records together with the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
