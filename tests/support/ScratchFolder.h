// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A private folder for the files a fuzz target or a test without Qt writes,
// in memory (/dev/shm) where the machine has it; removed with the object.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? std::string("/dev/shm")
                                                                           : std::filesystem::temp_directory_path().string();
        pattern += "/ardeno-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_path = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::string PathOf(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
