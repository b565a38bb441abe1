// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/Mfcc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

namespace {

double ToMel(double hz)
{
    return 2595.0 * std::log10(1.0 + hz / 700.0);
}

double FromMel(double mel)
{
    return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0);
}

// A floor under each band's energy, some 50 dB under speech at an ordinary
// level: a synthesiser's digital silence and a room's quiet hiss both read as
// the same flat silence.
constexpr double kEnergyFloor = 0.1;

} // namespace

MfccStream::MfccStream(const MfccSettings& settings)
    : m_frameLength(std::size_t(std::lround(settings.frameSeconds * settings.rate))),
      m_hop(std::size_t(std::max(1L, std::lround(settings.hopSeconds * settings.rate)))),
      m_loudnessWeight(float(settings.loudnessWeight)),
      m_frames(std::size_t(settings.coefficients) + (settings.loudnessWeight > 0 ? 1 : 0), double(m_hop) / settings.rate)
{
    int fftSize = 2;
    while (std::size_t(fftSize) < m_frameLength)
        fftSize *= 2;
    m_fft.reset(kiss_fftr_alloc(fftSize, 0, nullptr, nullptr));
    m_input.assign(std::size_t(fftSize), 0);
    m_spectrum.resize(std::size_t(fftSize / 2 + 1));

    // Triangular filters evenly spaced in mel, each kept over the bins it covers.
    const double highest = std::min(settings.highestHz, settings.rate / 2.0);
    const double low = ToMel(settings.lowestHz);
    const double high = ToMel(highest);
    std::vector<double> edges(std::size_t(settings.bands) + 2);
    for (std::size_t i = 0; i < edges.size(); ++i)
        edges[i] = FromMel(low + (high - low) * double(i) / double(edges.size() - 1));
    m_filters.resize(std::size_t(settings.bands));
    for (std::size_t band = 0; band < m_filters.size(); ++band) {
        Filter& filter = m_filters[band];
        for (std::size_t bin = 0; bin < m_spectrum.size(); ++bin) {
            const double hz = double(bin) * settings.rate / fftSize;
            const double rise = (hz - edges[band]) / (edges[band + 1] - edges[band]);
            const double fall = (edges[band + 2] - hz) / (edges[band + 2] - edges[band + 1]);
            const double weight = std::min(rise, fall);
            if (weight <= 0)
                continue;
            if (filter.weights.empty())
                filter.first = bin;
            filter.weights.resize(bin - filter.first + 1, 0.0f);
            filter.weights.back() = float(weight);
        }
    }
    m_window.resize(m_frameLength);
    for (std::size_t i = 0; i < m_frameLength; ++i)
        m_window[i] = float(0.54 - 0.46 * std::cos(2 * std::numbers::pi * double(i) / double(m_frameLength - 1)));
    // The DCT-II of the log band energies, c1 onwards.
    m_cosines.resize(std::size_t(settings.coefficients * settings.bands));
    for (int c = 0; c < settings.coefficients; ++c)
        for (int band = 0; band < settings.bands; ++band)
            m_cosines[std::size_t(c * settings.bands + band)] = float(
                std::sqrt(2.0 / settings.bands) * std::cos(std::numbers::pi * (c + 1) * (band + 0.5) / settings.bands));
    m_energies.resize(std::size_t(settings.bands));
    m_coefficients.resize(std::size_t(settings.coefficients));
}

MfccStream::~MfccStream() = default;

void MfccStream::Push(std::span<const float> samples)
{
    m_pushed += samples.size();
    m_pending.insert(m_pending.end(), samples.begin(), samples.end());
    if (m_frameLength == 0)
        return;
    std::size_t start = 0;
    for (; start + m_frameLength <= m_pending.size(); start += m_hop) {
        // Pre-emphasis lifts the consonants' high frequencies.
        for (std::size_t i = 0; i < m_frameLength; ++i) {
            const float previous = start + i > 0 ? m_pending[start + i - 1] : m_beforePending;
            m_input[i] = (m_pending[start + i] - 0.97f * previous) * m_window[i];
        }
        AddFrame(m_input);
    }
    const std::size_t used = std::min(start, m_pending.size());
    if (used > 0) {
        m_beforePending = m_pending[used - 1];
        m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(used));
    }
}

void MfccStream::PushSilence(std::size_t count)
{
    const std::vector<float> silence(std::min<std::size_t>(count, 4096), 0.0f);
    for (std::size_t left = count; left > 0;) {
        const std::size_t piece = std::min(left, silence.size());
        Push(std::span<const float>(silence).first(piece));
        left -= piece;
    }
}

void MfccStream::AddFrame(std::span<const float> window)
{
    kiss_fftr(m_fft.get(), window.data(), m_spectrum.data());
    for (std::size_t band = 0; band < m_filters.size(); ++band) {
        const Filter& filter = m_filters[band];
        double energy = 0;
        for (std::size_t k = 0; k < filter.weights.size(); ++k) {
            const kiss_fft_cpx& bin = m_spectrum[filter.first + k];
            energy += filter.weights[k] * (bin.r * bin.r + bin.i * bin.i);
        }
        m_energies[band] = float(std::log(std::max(energy, kEnergyFloor)));
    }
    for (std::size_t c = 0; c < m_coefficients.size(); ++c) {
        float sum = 0;
        for (std::size_t band = 0; band < m_energies.size(); ++band)
            sum += m_cosines[c * m_energies.size() + band] * m_energies[band];
        m_coefficients[c] = sum;
    }
    if (m_loudnessWeight > 0) {
        float sum = 0;
        for (float energy : m_energies)
            sum += energy;
        m_coefficients.push_back(m_loudnessWeight * float(std::sqrt(1.0 / double(m_energies.size()))) * sum);
        m_frames.Add(m_coefficients);
        m_coefficients.pop_back();
        return;
    }
    m_frames.Add(m_coefficients);
}

FeatureFrames ComputeMfcc(std::span<const float> samples, const MfccSettings& settings)
{
    MfccStream stream(settings);
    stream.Push(samples);
    return stream.TakeFrames();
}

void SubtractMeans(FeatureFrames& frames)
{
    if (frames.Count() == 0)
        return;
    std::vector<double> means(frames.Dimensions(), 0.0);
    for (std::size_t i = 0; i < frames.Count(); ++i)
        for (std::size_t d = 0; d < means.size(); ++d)
            means[d] += frames.Frame(i)[d];
    for (double& mean : means)
        mean /= double(frames.Count());
    for (std::size_t i = 0; i < frames.Count(); ++i)
        for (std::size_t d = 0; d < means.size(); ++d)
            frames.Frame(i)[d] -= float(means[d]);
}
