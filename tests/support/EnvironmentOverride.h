// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Changes environment variables of this process for as long as the object
// lives, then puts each back as it was (set to its old value, or unset).
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    ~EnvironmentOverride()
    {
        for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
            if (saved->second)
                setenv(saved->first.c_str(), saved->second->c_str(), 1);
            else
                unsetenv(saved->first.c_str());
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        Save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name)
    {
        Save(name);
        unsetenv(name.c_str());
    }

private:
    void Save(const std::string& name)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
