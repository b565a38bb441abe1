// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/speech/FrameAlignment.h"

#include <algorithm>
#include <cmath>
#include <limits>

// Written here: the libraries at hand (aubio, kissfft) have no dynamic time
// warping, and none that bounds its memory this way.

namespace {

constexpr float kUnreached = std::numeric_limits<float>::infinity();

// Which cell a cell was reached from.
enum Step : std::uint8_t { Diagonal, FromA, FromB };

// For each row (frame of a), the columns (frames of b) searched: [first, last].
struct Window {
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> last;
};

float Distance(std::span<const float> x, std::span<const float> y)
{
    float sum = 0;
    for (std::size_t d = 0; d < x.size(); ++d)
        sum += (x[d] - y[d]) * (x[d] - y[d]);
    return std::sqrt(sum);
}

Window Whole(std::size_t rows, std::size_t columns)
{
    return {std::vector<std::uint32_t>(rows, 0), std::vector<std::uint32_t>(rows, std::uint32_t(columns - 1))};
}

// The cells of a path at half the resolution, at this one, widened by radius.
Window AroundCoarse(const std::vector<FramePair>& coarse, std::size_t rows, std::size_t columns, std::size_t radius)
{
    Window window{std::vector<std::uint32_t>(rows, std::numeric_limits<std::uint32_t>::max()),
                  std::vector<std::uint32_t>(rows, 0)};
    for (const FramePair& pair : coarse) {
        const std::size_t fromRow = 2 * std::size_t(pair.a) > radius ? 2 * std::size_t(pair.a) - radius : 0;
        const std::size_t toRow = std::min(rows - 1, 2 * std::size_t(pair.a) + 1 + radius);
        const std::size_t fromColumn = 2 * std::size_t(pair.b) > radius ? 2 * std::size_t(pair.b) - radius : 0;
        const std::size_t toColumn = std::min(columns - 1, 2 * std::size_t(pair.b) + 1 + radius);
        for (std::size_t row = fromRow; row <= toRow; ++row) {
            window.first[row] = std::min(window.first[row], std::uint32_t(fromColumn));
            window.last[row] = std::max(window.last[row], std::uint32_t(toColumn));
        }
    }
    return window;
}

FrameAlignment AlignInWindow(const FeatureFrames& a, const FeatureFrames& b, const Window& window)
{
    const std::size_t rows = a.Count();
    // Steps for every searched cell, row after row; the costs of two rows.
    std::vector<std::size_t> offset(rows + 1, 0);
    for (std::size_t row = 0; row < rows; ++row)
        offset[row + 1] = offset[row] + (window.last[row] - window.first[row] + 1);
    std::vector<Step> steps(offset[rows]);
    std::vector<float> previous, current;

    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint32_t first = window.first[row];
        const std::uint32_t last = window.last[row];
        current.assign(last - first + 1, kUnreached);
        const auto above = [&](std::uint32_t column) {
            if (row == 0 || column < window.first[row - 1] || column > window.last[row - 1])
                return kUnreached;
            return previous[column - window.first[row - 1]];
        };
        for (std::uint32_t column = first; column <= last; ++column) {
            const float here = Distance(a.Frame(row), b.Frame(column));
            float best = kUnreached;
            Step step = Diagonal;
            if (row == 0 && column == 0) {
                best = 0;
            } else {
                if (column > 0) {
                    best = above(column - 1);
                    step = Diagonal;
                }
                if (const float up = above(column); up < best) {
                    best = up;
                    step = FromA;
                }
                if (column > first && current[column - 1 - first] < best) {
                    best = current[column - 1 - first];
                    step = FromB;
                }
            }
            current[column - first] = best + here;
            steps[offset[row] + (column - first)] = step;
        }
        previous.swap(current);
    }

    FrameAlignment alignment;
    std::uint32_t column = std::uint32_t(b.Count() - 1);
    alignment.cost = double(previous[column - window.first[rows - 1]]);
    std::uint32_t row = std::uint32_t(rows - 1);
    while (true) {
        alignment.path.push_back({row, column});
        if (row == 0 && column == 0)
            break;
        switch (steps[offset[row] + (column - window.first[row])]) {
        case Diagonal: --row; --column; break;
        case FromA: --row; break;
        case FromB: --column; break;
        }
    }
    std::reverse(alignment.path.begin(), alignment.path.end());
    return alignment;
}

} // namespace

namespace {

// Sequences this short (in cells of the whole matrix) are aligned whole: a
// few MB, and a coarsest level fine enough to start the finer ones right.
constexpr std::size_t kWholeCells = std::size_t(1) << 22;

} // namespace

FeatureFrames Halved(const FeatureFrames& frames)
{
    FeatureFrames halved(frames.Dimensions(), frames.HopSeconds() * 2);
    halved.Reserve((frames.Count() + 1) / 2);
    std::vector<float> mean(frames.Dimensions());
    for (std::size_t i = 0; i < frames.Count(); i += 2) {
        const std::span<const float> x = frames.Frame(i);
        const std::span<const float> y = frames.Frame(std::min(i + 1, frames.Count() - 1));
        for (std::size_t d = 0; d < mean.size(); ++d)
            mean[d] = (x[d] + y[d]) / 2;
        halved.Add(mean);
    }
    return halved;
}

double UnrelatedDistance(const FeatureFrames& a, const FeatureFrames& b)
{
    if (a.Count() == 0 || b.Count() == 0)
        return 0;
    constexpr std::size_t kPairs = 4095;
    std::vector<float> distances;
    distances.reserve(kPairs);
    for (std::size_t i = 0; i < kPairs; ++i) {
        // Two strides that never line up walk both sequences evenly.
        const std::size_t x = (i * 7919) % a.Count();
        const std::size_t y = (i * 104729 + 17) % b.Count();
        distances.push_back(Distance(a.Frame(x), b.Frame(y)));
    }
    std::nth_element(distances.begin(), distances.begin() + kPairs / 2, distances.end());
    return distances[kPairs / 2];
}

FrameAlignment AlignFrames(const FeatureFrames& a, const FeatureFrames& b, std::size_t radius)
{
    if (a.Count() == 0 || b.Count() == 0)
        return {};
    const std::size_t shortest = 2 * radius + 2;
    if (a.Count() * b.Count() <= kWholeCells || a.Count() <= shortest || b.Count() <= shortest)
        return AlignInWindow(a, b, Whole(a.Count(), b.Count()));
    const FrameAlignment coarse = AlignFrames(Halved(a), Halved(b), radius);
    return AlignInWindow(a, b, AroundCoarse(coarse.path, a.Count(), b.Count(), radius));
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> LocateWithin(const FeatureFrames& a, const FeatureFrames& b,
                                                                    std::uint8_t longestStep)
{
    if (a.Count() == 0 || b.Count() == 0)
        return std::nullopt;
    const std::size_t columns = b.Count();
    // How far b moved on into each cell; the costs of two rows.
    std::vector<std::uint8_t> moves(a.Count() * columns, 0);
    std::vector<float> previous(columns), current(columns);
    for (std::size_t column = 0; column < columns; ++column)
        previous[column] = Distance(a.Frame(0), b.Frame(column)); // it may start anywhere
    for (std::size_t row = 1; row < a.Count(); ++row) {
        for (std::size_t column = 0; column < columns; ++column) {
            float best = kUnreached;
            std::uint8_t move = 0;
            for (std::uint8_t step = 0; step <= longestStep && step <= column; ++step) {
                if (previous[column - step] < best) {
                    best = previous[column - step];
                    move = step;
                }
            }
            current[column] = best + Distance(a.Frame(row), b.Frame(column));
            moves[row * columns + column] = move;
        }
        previous.swap(current);
    }
    // It may end anywhere: where the whole of a costs least.
    auto column = std::uint32_t(std::min_element(previous.begin(), previous.end()) - previous.begin());
    const std::uint32_t last = column;
    for (std::size_t row = a.Count() - 1; row > 0; --row)
        column -= moves[row * columns + column];
    return std::pair{column, last};
}
