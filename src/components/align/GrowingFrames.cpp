// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/GrowingFrames.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace {

std::uint16_t Packed(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    // Rounded to the nearest, ties to even.
    return std::uint16_t((bits + 0x7FFFu + ((bits >> 16) & 1u)) >> 16);
}

float Unpacked(std::uint16_t value)
{
    return std::bit_cast<float>(std::uint32_t(value) << 16);
}

} // namespace

void GrowingFrames::Append(const FeatureFrames& frames)
{
    if (frames.Count() == 0)
        return;
    std::lock_guard lock(m_mutex);
    if (m_dimensions == 0) {
        m_dimensions = frames.Dimensions();
        m_hop = frames.HopSeconds();
    }
    for (std::size_t i = 0; i < frames.Count(); ++i)
        for (float value : frames.Frame(i))
            m_values.push_back(Packed(value));
}

void GrowingFrames::Finish()
{
    std::lock_guard lock(m_mutex);
    m_finished = true;
}

bool GrowingFrames::Finished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

std::size_t GrowingFrames::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_dimensions ? m_dropped + m_values.size() / m_dimensions : 0;
}

double GrowingFrames::HopSeconds() const
{
    std::lock_guard lock(m_mutex);
    return m_hop;
}

FeatureFrames GrowingFrames::Part(std::size_t first, std::size_t count) const
{
    std::lock_guard lock(m_mutex);
    FeatureFrames part(m_dimensions, m_hop);
    if (count == 0)
        return part;
    if (first < m_dropped || (first + count - m_dropped) * m_dimensions > m_values.size())
        throw std::logic_error("frames " + std::to_string(first) + " to " + std::to_string(first + count)
                               + " asked for, " + std::to_string(m_dropped) + " to "
                               + std::to_string(m_dropped + m_values.size() / std::max<std::size_t>(1, m_dimensions))
                               + " held");
    part.Reserve(count);
    std::vector<float> frame(m_dimensions);
    auto value = m_values.begin() + std::ptrdiff_t((first - m_dropped) * m_dimensions);
    for (std::size_t i = 0; i < count; ++i) {
        for (float& x : frame)
            x = Unpacked(*value++);
        part.Add(frame);
    }
    return part;
}

void GrowingFrames::DropBefore(std::size_t frame)
{
    std::lock_guard lock(m_mutex);
    if (m_dimensions == 0 || frame <= m_dropped)
        return;
    const std::size_t drop = std::min(frame - m_dropped, m_values.size() / m_dimensions);
    m_values.erase(m_values.begin(), m_values.begin() + std::ptrdiff_t(drop * m_dimensions));
    m_dropped += drop;
}
