// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <vector>

// A sequence of feature vectors of one sound, all of the same length, one
// every `hopSeconds`, frame i describing the sound around i * hopSeconds.
class FeatureFrames {
public:
    FeatureFrames(std::size_t dimensions, double hopSeconds) : m_dimensions(dimensions), m_hop(hopSeconds) {}

    std::size_t Dimensions() const { return m_dimensions; }
    double HopSeconds() const { return m_hop; }
    std::size_t Count() const { return m_dimensions ? m_values.size() / m_dimensions : 0; }
    std::span<const float> Frame(std::size_t index) const
    {
        return std::span<const float>(m_values).subspan(index * m_dimensions, m_dimensions);
    }
    std::span<float> Frame(std::size_t index)
    {
        return std::span<float>(m_values).subspan(index * m_dimensions, m_dimensions);
    }
    // Frames [first, first + count) as a sequence of their own.
    FeatureFrames Part(std::size_t first, std::size_t count) const
    {
        FeatureFrames part(m_dimensions, m_hop);
        const auto from = m_values.begin() + std::ptrdiff_t(first * m_dimensions);
        part.m_values.assign(from, from + std::ptrdiff_t(count * m_dimensions));
        return part;
    }
    // Only frames [first, first + count) kept, in place (no copy of hours).
    void Keep(std::size_t first, std::size_t count)
    {
        m_values.erase(m_values.begin() + std::ptrdiff_t((first + count) * m_dimensions), m_values.end());
        m_values.erase(m_values.begin(), m_values.begin() + std::ptrdiff_t(first * m_dimensions));
    }
    void Add(std::span<const float> frame) { m_values.insert(m_values.end(), frame.begin(), frame.end()); }
    void Reserve(std::size_t frames) { m_values.reserve(frames * m_dimensions); }

private:
    std::size_t m_dimensions;
    double m_hop;
    std::vector<float> m_values;
};
