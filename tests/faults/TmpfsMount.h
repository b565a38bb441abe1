// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>

// A small memory file system of its own mounted on `folder` for as long as
// the object lives: a disk that really fills up. Needs root (CI runs as
// root); Problem() says why when it could not be mounted.
class TmpfsMount {
public:
    TmpfsMount(std::string folder, const std::string& size) : m_folder(std::move(folder))
    {
        const std::string options = "size=" + size + ",mode=0755";
        if (mount("tmpfs", m_folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
            m_problem = "cannot mount a small tmpfs on " + m_folder + " (" + std::strerror(errno)
                        + "); this test needs root, as CI has";
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    ~TmpfsMount()
    {
        if (m_problem.empty())
            umount2(m_folder.c_str(), MNT_DETACH);
    }

    bool Mounted() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }
    std::string PathOf(const std::string& name) const { return m_folder + "/" + name; }

private:
    std::string m_folder;
    std::string m_problem;
};
