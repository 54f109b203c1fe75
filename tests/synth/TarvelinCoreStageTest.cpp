#include "synth/ExactMath.h"
#include "synth/TarvelinCoreInspector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// The order questions inside one sample, each settled one way and held here.

namespace
{
/** The oscillator's integrator input, recovered from its output (leak = 0.99 * (input + previous leak)). */
std::vector<double> integratorInputs (const std::vector<double>& out, double outputScale)
{
    std::vector<double> inputs (out.size(), 0.0);

    for (size_t n = 1; n < out.size(); ++n)
        inputs[n] = out[n] / outputScale / 0.99 - out[n - 1] / outputScale;

    return inputs;
}

double centroid (const std::vector<double>& values, double around, int halfWidth, double sign, double offset)
{
    double weighted = 0.0, total = 0.0;
    const auto centre = static_cast<int> (std::lround (around));

    for (int n = centre - halfWidth; n <= centre + halfWidth; ++n)
    {
        const auto w = sign * (values[static_cast<size_t> (n)] - offset);
        weighted += w * n;
        total += w;
    }

    return weighted / total;
}
} // namespace

TEST (TarvelinCoreStageTest, SquareFallsAtItsWidthAfterEachRisingImpulse)
{
    // At a period of 400 samples the falling edge comes from the shaping alone and
    // the rising one from the first impulse train; both read the same phase before
    // it advances, so the pulse is exactly W / 80 of the cycle wide.
    TarvelinCoreInspector::Oscillator oscillator;
    const double period = 400.0;
    const std::vector<double> periods (40, period);
    std::vector<double> out (4000);

    for (size_t start = 0; start < out.size(); start += periods.size())
        oscillator.process<ExactMath> (periods.data(), out.data() + start, static_cast<int> (periods.size()), true, 1.0);

    const auto inputs = integratorInputs (out, -0.108 * 0.8);
    const auto width = ((std::sqrt (period) / 26.0 - 1.0) * -0.19 + 0.49) * 80.0;
    const auto samplesToFall = width * period / 80.0;
    const auto trainMean = 1.1 / 401.0;

    for (int cycle = 2; cycle < 9; ++cycle)
    {
        const auto rise = cycle * period;

        // Each shaping step lies between two samples, hence the half sample.
        EXPECT_NEAR (centroid (inputs, rise, 8, 1.0, trainMean), rise, 0.1);
        EXPECT_NEAR (centroid (inputs, rise + samplesToFall + 0.5, 30, -1.0, trainMean),
                     rise + samplesToFall + 0.5, 0.2);
    }
}

TEST (TarvelinCoreStageTest, OutputChainFollowsEachFilterPass)
{
    // From rest, a step reaches the tap through the chain's first pass, which saw
    // the filter after one pass (half a sample), not after both.
    // The exact build keeps the filter in units of 65000.
    TarvelinCoreInspector::ResonantFilter filter;
    TarvelinCoreInspector::Chunk chunk {};
    const double c = 0.5, input = 1000.0;
    chunk.filterInput[0] = input / 65000.0;
    chunk.cutoff[0] = c;

    filter.process<ExactMath> (chunk, 1);

    const auto s1AfterOnePass = 65000.0 * c * std::tanh (input / 65000.0);
    EXPECT_NEAR (chunk.tapped[0] * 65000.0, s1AfterOnePass * std::pow (c, 6.0) * (2.0 - c), 1.0e-12);
}

TEST (TarvelinCoreStageTest, ToneStageRemovesDCAndNeverLiftsTheTopOfTheBand)
{
    // Followers updated before they are read: the high-pass is the exact complement
    // of the DC follower, and a full-scale Nyquist tone comes out a little below full scale.
    const double coefficient = 0.002;
    TarvelinCoreInspector::ToneStage nyquist, dc;
    double peak = 0.0, settled = 1.0;

    for (int n = 0; n < 200000; ++n)
    {
        const auto out = nyquist.process (n % 2 == 0 ? 1.0 : -1.0, coefficient, 1.0);
        settled = dc.process (0.25, coefficient, 0.5);

        if (n >= 199000)
            peak = std::max (peak, std::abs (out));
    }

    const auto perStage = 2.0 * (1.0 - coefficient) / (2.0 - coefficient);
    EXPECT_NEAR (peak, perStage * perStage, 1.0e-9);
    EXPECT_LT (peak, 1.0);
    EXPECT_NEAR (settled, 0.0, 1.0e-12);
}

TEST (TarvelinCoreStageTest, FilterBankSectionsTakenAsMapsSoundAsTheirHalfSteps)
{
    // From the lowest damping to the highest, and the frequency coefficient across its range.
    const std::pair<double, double> settings[] = { { 0.02, 2.0 }, { 0.3, 0.14 }, { 0.9, 0.5 }, { 1.41, 0.71 }, { 1.41, 0.14 } };

    for (const auto& [f, q] : settings)
    {
        TarvelinCoreInspector::FilterBank bank;
        double low[3] {}, band[3] {};

        for (int i = 0; i < 3; ++i)
            bank.setSection (i, f, q);

        std::mt19937 random (3);
        std::uniform_real_distribution<double> noise (-1.0, 1.0);
        double largestDifference = 0.0, peak = 0.0;

        for (int n = 0; n < 20000; ++n)
        {
            const auto input = n < 10000 ? noise (random) : 0.0;   // then the ringing dies away
            double expected = 0.0;

            for (int i = 0; i < 3; ++i)
            {
                double output = 0.0;
                TarvelinCoreInspector::FilterBank::runHalfSteps (i, f, q, low[i], band[i], input, output);
                expected += output;
            }

            largestDifference = std::max (largestDifference, std::abs (bank.process (input) - expected));
            peak = std::max (peak, std::abs (expected));
        }

        EXPECT_LT (largestDifference, 1.0e-12 * peak) << f << " " << q;
    }
}
