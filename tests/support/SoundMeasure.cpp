// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SoundMeasure.h"

#include <algorithm>
#include <cmath>
#include <random>

std::vector<float> BurstTrain(double seconds, int rate)
{
    std::vector<float> samples(std::size_t(std::lround(seconds * rate)));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    const auto period = std::size_t(std::lround(kBurstPeriod * rate));
    const auto burst = std::size_t(std::lround(kBurstSeconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i % period < burst)
            samples[i] = noise(random);
    }
    return samples;
}

double ToneFrequency(std::span<const float> samples, int rate)
{
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            double at = double(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : double(crossings - 1) * rate / (last - first);
}

SoundSpan FindSound(std::span<const float> samples)
{
    auto first = std::find_if_not(samples.begin(), samples.end(), IsSilent);
    auto last = std::find_if_not(samples.rbegin(), samples.rend(), IsSilent).base();
    if (first >= last)
        return {};
    return {std::size_t(first - samples.begin()), std::size_t(last - samples.begin())};
}

std::vector<Burst> FindBursts(std::span<const float> samples, int rate)
{
    // The level: RMS over the millisecond up to each sample.
    const auto window = std::size_t(std::max(1, rate / 1000));
    std::vector<float> level(samples.size());
    double energy = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        energy += double(samples[i]) * samples[i];
        if (i >= window)
            energy -= double(samples[i - window]) * samples[i - window];
        level[i] = float(std::sqrt(std::max(0.0, energy / double(window))));
    }
    const auto gap = std::size_t(3 * rate / 1000);
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t quiet = gap;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (IsSilent(samples[i])) {
            ++quiet;
            continue;
        }
        if (quiet >= gap || spans.empty())
            spans.emplace_back(i, i + 1);
        else
            spans.back().second = i + 1;
        quiet = 0;
    }
    std::vector<Burst> bursts;
    for (auto [begin, end] : spans) {
        const std::size_t stop = std::min(samples.size(), end + window);
        const float peak = *std::max_element(level.begin() + std::ptrdiff_t(begin), level.begin() + std::ptrdiff_t(stop));
        const auto loud = std::count_if(level.begin() + std::ptrdiff_t(begin), level.begin() + std::ptrdiff_t(stop),
                                        [peak](float value) { return value >= peak / 2; });
        bursts.push_back({begin, double(loud) / rate});
    }
    return bursts;
}

double MedianWidth(const std::vector<Burst>& bursts)
{
    if (bursts.empty())
        return 0;
    std::vector<double> widths;
    for (const Burst& burst : bursts)
        widths.push_back(burst.widthSeconds);
    std::nth_element(widths.begin(), widths.begin() + std::ptrdiff_t(widths.size() / 2), widths.end());
    return widths[widths.size() / 2];
}
