// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/Mfcc.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

namespace {

struct FftFree {
    void operator()(kiss_fftr_state* state) const { kiss_fftr_free(state); }
};
using Fft = std::unique_ptr<kiss_fftr_state, FftFree>;

double ToMel(double hz)
{
    return 2595.0 * std::log10(1.0 + hz / 700.0);
}

double FromMel(double mel)
{
    return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0);
}

// The mel filters as weights over the FFT's bins, one row per band.
std::vector<std::vector<float>> MelFilters(const MfccSettings& settings, int fftSize)
{
    const int bins = fftSize / 2 + 1;
    const double highest = std::min(settings.highestHz, settings.rate / 2.0);
    const double low = ToMel(settings.lowestHz);
    const double high = ToMel(highest);
    std::vector<double> edges(std::size_t(settings.bands) + 2);
    for (std::size_t i = 0; i < edges.size(); ++i)
        edges[i] = FromMel(low + (high - low) * double(i) / double(edges.size() - 1));
    std::vector<std::vector<float>> filters(std::size_t(settings.bands), std::vector<float>(std::size_t(bins)));
    for (std::size_t band = 0; band < filters.size(); ++band) {
        for (int bin = 0; bin < bins; ++bin) {
            const double hz = double(bin) * settings.rate / fftSize;
            const double rise = (hz - edges[band]) / (edges[band + 1] - edges[band]);
            const double fall = (edges[band + 2] - hz) / (edges[band + 2] - edges[band + 1]);
            filters[band][std::size_t(bin)] = float(std::max(0.0, std::min(rise, fall)));
        }
    }
    return filters;
}

} // namespace

FeatureFrames ComputeMfcc(std::span<const float> samples, const MfccSettings& settings)
{
    const auto frameLength = std::size_t(std::lround(settings.frameSeconds * settings.rate));
    const auto hop = std::size_t(std::max(1L, std::lround(settings.hopSeconds * settings.rate)));
    FeatureFrames frames(std::size_t(settings.coefficients), double(hop) / settings.rate);
    if (frameLength == 0 || samples.size() < frameLength)
        return frames;

    int fftSize = 2;
    while (std::size_t(fftSize) < frameLength)
        fftSize *= 2;
    const Fft fft(kiss_fftr_alloc(fftSize, 0, nullptr, nullptr));
    const std::vector<std::vector<float>> filters = MelFilters(settings, fftSize);

    std::vector<float> window(frameLength);
    for (std::size_t i = 0; i < frameLength; ++i)
        window[i] = float(0.54 - 0.46 * std::cos(2 * std::numbers::pi * double(i) / double(frameLength - 1)));
    // The DCT-II of the log band energies, c1 onwards.
    std::vector<float> cosines(std::size_t(settings.coefficients * settings.bands));
    for (int c = 0; c < settings.coefficients; ++c)
        for (int band = 0; band < settings.bands; ++band)
            cosines[std::size_t(c * settings.bands + band)] = float(
                std::sqrt(2.0 / settings.bands) * std::cos(std::numbers::pi * (c + 1) * (band + 0.5) / settings.bands));

    std::vector<kiss_fft_scalar> input(std::size_t(fftSize), 0);
    std::vector<kiss_fft_cpx> spectrum(std::size_t(fftSize / 2 + 1));
    std::vector<float> energies(std::size_t(settings.bands));
    std::vector<float> coefficients(std::size_t(settings.coefficients));
    frames.Reserve((samples.size() - frameLength) / hop + 1);
    for (std::size_t start = 0; start + frameLength <= samples.size(); start += hop) {
        // Pre-emphasis lifts the consonants' high frequencies.
        for (std::size_t i = 0; i < frameLength; ++i) {
            const float previous = start + i > 0 ? samples[start + i - 1] : 0.0f;
            input[i] = (samples[start + i] - 0.97f * previous) * window[i];
        }
        kiss_fftr(fft.get(), input.data(), spectrum.data());
        for (std::size_t band = 0; band < energies.size(); ++band) {
            double energy = 0;
            for (std::size_t bin = 0; bin < spectrum.size(); ++bin)
                if (filters[band][bin] > 0)
                    energy += filters[band][bin] * (spectrum[bin].r * spectrum[bin].r + spectrum[bin].i * spectrum[bin].i);
            // A floor keeps silence finite.
            energies[band] = float(std::log(std::max(energy, 1e-10)));
        }
        for (std::size_t c = 0; c < coefficients.size(); ++c) {
            float sum = 0;
            for (std::size_t band = 0; band < energies.size(); ++band)
                sum += cosines[c * energies.size() + band] * energies[band];
            coefficients[c] = sum;
        }
        frames.Add(coefficients);
    }
    return frames;
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
