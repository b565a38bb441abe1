// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/PitchTracker.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <memory>

// Written here: aubio is no library we depend on, and YIN is a page of code
// on the FFT we already use.

namespace {

struct FftFree {
    void operator()(kiss_fftr_state* state) const { kiss_fftr_free(state); }
};
using Fft = std::unique_ptr<kiss_fftr_state, FftFree>;

// YIN's difference function of one frame, d(tau) for tau in [0, maxLag]:
// sum over the window of (x[j] - x[j + tau])^2, as the two energies less
// twice the cross-correlation, which the FFT gives for all lags at once.
class DifferenceFunction {
public:
    DifferenceFunction(std::size_t window, std::size_t maxLag) : m_window(window), m_maxLag(maxLag)
    {
        std::size_t size = 2;
        while (size < window + maxLag)
            size *= 2;
        m_forward.reset(kiss_fftr_alloc(int(size), 0, nullptr, nullptr));
        m_inverse.reset(kiss_fftr_alloc(int(size), 1, nullptr, nullptr));
        m_head.assign(size, 0);
        m_whole.assign(size, 0);
        m_headSpectrum.resize(size / 2 + 1);
        m_wholeSpectrum.resize(size / 2 + 1);
        m_correlation.resize(size);
    }

    // `frame` holds window + maxLag samples.
    const std::vector<double>& Compute(std::span<const float> frame)
    {
        const std::size_t size = m_head.size();
        std::copy(frame.begin(), frame.begin() + std::ptrdiff_t(m_window), m_head.begin());
        std::copy(frame.begin(), frame.end(), m_whole.begin());
        kiss_fftr(m_forward.get(), m_head.data(), m_headSpectrum.data());
        kiss_fftr(m_forward.get(), m_whole.data(), m_wholeSpectrum.data());
        for (std::size_t k = 0; k < m_headSpectrum.size(); ++k) {
            const kiss_fft_cpx a = m_headSpectrum[k];
            const kiss_fft_cpx b = m_wholeSpectrum[k];
            // conj(a) * b: the correlation of the head with the frame shifted by tau.
            m_headSpectrum[k] = {a.r * b.r + a.i * b.i, a.r * b.i - a.i * b.r};
        }
        kiss_fftri(m_inverse.get(), m_headSpectrum.data(), m_correlation.data());

        // Running energy of frame[tau, tau + window).
        double shifted = 0;
        for (std::size_t j = 0; j < m_window; ++j)
            shifted += double(frame[j]) * frame[j];
        const double head = shifted;
        m_difference.assign(m_maxLag + 1, 0);
        for (std::size_t tau = 0; tau <= m_maxLag; ++tau) {
            if (tau > 0)
                shifted += double(frame[tau + m_window - 1]) * frame[tau + m_window - 1] -
                           double(frame[tau - 1]) * frame[tau - 1];
            const double correlation = double(m_correlation[tau]) / double(size);
            m_difference[tau] = std::max(0.0, head + shifted - 2 * correlation);
        }
        return m_difference;
    }

private:
    std::size_t m_window;
    std::size_t m_maxLag;
    Fft m_forward;
    Fft m_inverse;
    std::vector<kiss_fft_scalar> m_head, m_whole, m_correlation;
    std::vector<kiss_fft_cpx> m_headSpectrum, m_wholeSpectrum;
    std::vector<double> m_difference;
};

// How much shallower than the deepest dip the period's dip may be.
constexpr double kNearlyAsDeep = 0.1;

struct Estimate {
    double lag = 0;           // in samples, interpolated
    double aperiodicity = 1;
};

// The cumulative mean normalised difference, its first dip under the
// threshold followed down to its minimum (or, without one, the first dip
// nearly as deep as its deepest point), refined between samples by a parabola through its neighbours.
Estimate ChoosePeriod(const std::vector<double>& difference, std::size_t minLag, double threshold)
{
    const std::size_t maxLag = difference.size() - 1;
    std::vector<double> normalised(difference.size(), 1.0);
    double sum = 0;
    for (std::size_t tau = 1; tau <= maxLag; ++tau) {
        sum += difference[tau];
        normalised[tau] = sum > 0 ? difference[tau] * double(tau) / sum : 1.0;
    }
    std::size_t chosen = 0;
    for (std::size_t tau = minLag; tau <= maxLag; ++tau) {
        if (normalised[tau] < threshold) {
            while (tau + 1 <= maxLag && normalised[tau + 1] < normalised[tau])
                ++tau;
            chosen = tau;
            break;
        }
    }
    if (chosen == 0) {
        // No dip under the threshold (a breathy or noisy voice): the first
        // local minimum nearly as deep as the deepest, since the deepest is
        // as often a multiple of the period as the period itself.
        const double deepest = *std::min_element(normalised.begin() + std::ptrdiff_t(minLag), normalised.end());
        for (std::size_t tau = minLag; tau <= maxLag && chosen == 0; ++tau)
            if (normalised[tau] <= deepest + kNearlyAsDeep && (tau == maxLag || normalised[tau] <= normalised[tau + 1]))
                chosen = tau;
    }
    double lag = double(chosen);
    if (chosen > minLag && chosen < maxLag) {
        const double before = normalised[chosen - 1];
        const double here = normalised[chosen];
        const double after = normalised[chosen + 1];
        const double curvature = before - 2 * here + after;
        if (curvature > 0)
            lag += 0.5 * (before - after) / curvature;
    }
    return {lag, std::clamp(normalised[chosen], 0.0, 1.0)};
}

double Decibels(double rms)
{
    return rms > 1e-6 ? 20 * std::log10(rms) : -120;
}

// A voice does not leap this far (semitones) from its neighbours within
// kNeighbourFrames either side; such a frame is an octave or a subharmonic
// error, or creak, and is left unvoiced rather than guessed.
constexpr double kLargestLeap = 5;
constexpr std::size_t kNeighbourFrames = 5;

void DropOutliers(PitchContour& contour)
{
    const std::vector<PitchFrame> frames = contour.frames;
    std::vector<float> neighbours;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!frames[i].Voiced())
            continue;
        neighbours.clear();
        const std::size_t from = i > kNeighbourFrames ? i - kNeighbourFrames : 0;
        const std::size_t to = std::min(frames.size(), i + kNeighbourFrames + 1);
        for (std::size_t j = from; j < to; ++j)
            if (j != i && frames[j].Voiced())
                neighbours.push_back(frames[j].hz);
        if (neighbours.size() < 2)
            continue;
        std::nth_element(neighbours.begin(), neighbours.begin() + std::ptrdiff_t(neighbours.size() / 2),
                         neighbours.end());
        if (std::abs(12 * std::log2(frames[i].hz / neighbours[neighbours.size() / 2])) > kLargestLeap)
            contour.frames[i].hz = 0;
    }
}

// The level of the sound's quietest tenth of frames: its pauses, and so the
// noise it is recorded in.
double NoiseFloorDb(const PitchContour& contour)
{
    std::vector<float> levels;
    levels.reserve(contour.frames.size());
    for (const PitchFrame& frame : contour.frames)
        levels.push_back(frame.levelDb);
    if (levels.empty())
        return -120;
    std::nth_element(levels.begin(), levels.begin() + std::ptrdiff_t(levels.size() / 10), levels.end());
    return levels[levels.size() / 10];
}

// Noise under a voice adds its share of the frame's power to the aperiodicity
// the difference function finds at the period: a voice of aperiodicity a in
// noise of share n shows a (1 - n) + n. Solved for a, so that a voice heard
// through steady noise is voiced as it would be without it. A frame hardly
// above the floor is taken as it is: it may be the noise itself, or, in a
// sound without pauses, the voice is the floor.
constexpr double kMostNoiseShare = 0.65;

double VoiceAperiodicity(const PitchFrame& frame, double noiseDb)
{
    const double share = std::pow(10.0, (noiseDb - frame.levelDb) / 10);
    if (share >= kMostNoiseShare)
        return frame.aperiodicity;
    return std::clamp((frame.aperiodicity - share) / (1 - share), 0.0, 1.0);
}

} // namespace

PitchContour TrackPitch(std::span<const float> samples, int rate, const PitchSettings& settings)
{
    PitchContour contour;
    contour.hopSeconds = settings.hopSeconds;
    if (samples.empty() || rate <= 0)
        return contour;
    const auto maxLag = std::size_t(std::ceil(rate / settings.lowestHz));
    const auto minLag = std::max<std::size_t>(2, std::size_t(std::floor(rate / settings.highestHz)));
    const std::size_t window = maxLag; // long enough to hold the longest period once
    const double hop = settings.hopSeconds * rate;
    const auto count = std::size_t(std::ceil(double(samples.size()) / hop));

    DifferenceFunction difference(window, maxLag);
    std::vector<float> frame(window + maxLag);
    contour.frames.resize(count);
    std::vector<float> candidates(count, 0.0f); // each frame's f0 if it is voiced
    float loudest = -120;
    for (std::size_t i = 0; i < count; ++i) {
        // The frame centred on i * hop, zeros outside the sound.
        const auto start = std::ptrdiff_t(std::lround(double(i) * hop)) - std::ptrdiff_t(frame.size() / 2);
        double energy = 0;
        for (std::size_t j = 0; j < frame.size(); ++j) {
            const std::ptrdiff_t at = start + std::ptrdiff_t(j);
            frame[j] = at >= 0 && at < std::ptrdiff_t(samples.size()) ? samples[std::size_t(at)] : 0.0f;
        }
        for (std::size_t j = maxLag / 2; j < maxLag / 2 + window; ++j)
            energy += double(frame[j]) * frame[j];
        PitchFrame& out = contour.frames[i];
        out.levelDb = float(Decibels(std::sqrt(energy / double(window))));
        loudest = std::max(loudest, out.levelDb);
        if (out.levelDb <= settings.floorDb)
            continue;
        const Estimate estimate = ChoosePeriod(difference.Compute(frame), minLag, settings.threshold);
        out.aperiodicity = float(estimate.aperiodicity);
        candidates[i] = float(rate / estimate.lag);
    }
    const double quietest = std::max(settings.floorDb, double(loudest) - settings.belowLoudestDb);
    const double noiseDb = NoiseFloorDb(contour);
    for (std::size_t i = 0; i < count; ++i) {
        PitchFrame& out = contour.frames[i];
        if (out.levelDb >= quietest && VoiceAperiodicity(out, noiseDb) < settings.voicedAperiodicity &&
            candidates[i] >= settings.lowestHz * 0.9 && candidates[i] <= settings.highestHz * 1.1)
            out.hz = candidates[i];
    }
    DropOutliers(contour);
    return contour;
}

std::vector<std::optional<float>> Semitones(const PitchContour& contour)
{
    std::vector<float> voiced;
    for (const PitchFrame& frame : contour.frames)
        if (frame.Voiced())
            voiced.push_back(frame.hz);
    std::vector<std::optional<float>> semitones(contour.frames.size());
    if (voiced.empty())
        return semitones;
    std::nth_element(voiced.begin(), voiced.begin() + std::ptrdiff_t(voiced.size() / 2), voiced.end());
    const double median = voiced[voiced.size() / 2];
    for (std::size_t i = 0; i < semitones.size(); ++i)
        if (contour.frames[i].Voiced())
            semitones[i] = float(12 * std::log2(contour.frames[i].hz / median));
    return semitones;
}
