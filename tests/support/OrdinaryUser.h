// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

// Makes the process an ordinary user for as long as the object lives, so
// that file permissions apply to it even when the tests run as root.
class OrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;
    OrdinaryUser() : m_wasRoot(geteuid() == 0)
    {
        if (m_wasRoot && seteuid(kNobody) != 0)
            ADD_FAILURE() << "cannot become an ordinary user: " << std::strerror(errno);
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;
    ~OrdinaryUser()
    {
        if (m_wasRoot && seteuid(0) != 0)
            std::abort(); // the rest of the tests would run without their rights
    }

private:
    bool m_wasRoot;
};
