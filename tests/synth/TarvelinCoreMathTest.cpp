#include "synth/FastMath.h"
#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

// The fast engine against the exact one: over 30 seconds of every benchmark case
// and of the random sweep, the same sound to within 1e-6.

namespace ids = TarvelinIds;

namespace
{
constexpr double seconds = 30.0;
constexpr double tolerance = 1.0e-6;

/** The fast render's difference from the exact one, gathered run by run. */
class Difference
{
public:
    void add (const std::vector<double>& fast, const std::vector<double>& exact)
    {
        for (size_t i = 0; i < exact.size(); ++i)
        {
            const auto d = fast[i] - exact[i];
            squaredDifference += d * d;
            squaredExact += exact[i] * exact[i];
            largestDifference = std::max (largestDifference, std::abs (d));
            exactPeak = std::max (exactPeak, std::abs (exact[i]));
        }
    }

    double relativeRms() const         { return std::sqrt (squaredDifference / squaredExact); }
    double relativeToPeak() const      { return largestDifference / exactPeak; }
    bool heardSomething() const        { return exactPeak > 0.01; }

private:
    double squaredDifference = 0.0, squaredExact = 0.0, largestDifference = 0.0, exactPeak = 0.0;
};

/** Both engines, doing the same thing to each. */
struct EnginePair
{
    explicit EnginePair (double rate)
    {
        for (auto* engine : { &fast, &exact })
            engine->setSampleRate (static_cast<float> (rate));
    }

    template <typename Action>
    void both (Action&& action)
    {
        action (fast);
        action (exact);
    }

    void render (int numSamples, Difference& difference)
    {
        fastOut.resize (static_cast<size_t> (numSamples));
        exactOut.resize (static_cast<size_t> (numSamples));
        fast.renderBlock (fastOut.data(), numSamples);
        exact.renderBlock (exactOut.data(), numSamples);
        difference.add (fastOut, exactOut);
    }

    TarvelinCore fast { TarvelinCore::Math::fast };
    TarvelinCore exact { TarvelinCore::Math::exact };
    std::vector<double> fastOut, exactOut;
};

constexpr float rates[] = { 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f };

struct LineCase
{
    float rate;
    bool square, effect;
};

void PrintTo (const LineCase& c, std::ostream* out)
{
    *out << (c.square ? "square" : "saw") << (c.effect ? ", effect on, " : ", effect off, ") << c.rate << " Hz";
}

std::vector<LineCase> lineCases()
{
    std::vector<LineCase> cases;

    for (const auto rate : rates)
        for (const auto square : { false, true })
            for (const auto effect : { false, true })
                cases.push_back ({ rate, square, effect });

    return cases;
}

class FastEngineBassLine : public ::testing::TestWithParam<LineCase> {};
class FastEngineRandomSweep : public ::testing::TestWithParam<float> {};
} // namespace

// The benchmark's bass line and patch: sixteenths at 120 BPM with accents, slides and releases.
TEST_P (FastEngineBassLine, SoundsAsTheExactEngine)
{
    const auto c = GetParam();
    EnginePair engines (c.rate);

    engines.both ([&c] (TarvelinCore& engine)
    {
        using namespace TarvelinIds;
        const std::pair<int, float> patch[] = {
            { tune, 0.5f }, { slideTime, 0.5f }, { cutoff, 0.4f }, { resonance, 0.8f }, { accentSweep, 0.5f },
            { envMod, 0.6f }, { attack, 0.0f }, { decay, 0.5f }, { accentDecay, 0.4f }, { accent, 0.7f },
            { accentAmp, 0.5f }, { gateLength, 0.5f }, { drive, 0.6f }, { bankFrequency, 0.5f },
            { bankSpread, 0.6f }, { distortionLevel, 0.7f }, { bankDamping, 0.4f }, { bankMix, 0.5f },
            { waveform, c.square ? 0.0f : 1.0f }, { accentAmpLink, 1.0f }, { accentSweepLink, 0.0f },
            { effectOn, c.effect ? 1.0f : 0.0f }, { bankOrder, 0.0f }, { volume, 0.5f }
        };

        for (const auto& [id, value] : patch)
            engine.setParameter (id, value);
    });

    Difference difference;
    const auto samplesPerStep = static_cast<int> (c.rate * 0.125);
    int note = 36;

    for (int step = 0; step < static_cast<int> (seconds / 0.125); ++step)
    {
        const auto next = 36 + (step * 7) % 24;
        const auto velocity = step % 3 == 0 ? 1.0f : 0.4f;
        const auto slide = step % 4 == 3;

        engines.both ([&] (TarvelinCore& engine)
        {
            if (slide)
                engine.noteOn (next, velocity);

            engine.noteOff (note);

            if (! slide)
                engine.noteOn (next, velocity);
        });

        note = next;
        engines.render (samplesPerStep, difference);
    }

    ASSERT_TRUE (difference.heardSomething());
    EXPECT_LT (difference.relativeRms(), tolerance);
    EXPECT_LT (difference.relativeToPeak(), tolerance);
}

INSTANTIATE_TEST_SUITE_P (EveryBenchmarkCase, FastEngineBassLine, ::testing::ValuesIn (lineCases()));

// The random sweep of the engine's own tests: every parameter anywhere in its range,
// notes, releases, all notes off and preset loads, changing every 10 ms.
TEST_P (FastEngineRandomSweep, SoundsAsTheExactEngine)
{
    const double rate = GetParam();
    EnginePair engines (rate);
    Difference difference;
    std::mt19937 random (5);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);

    for (int block = 0; block < static_cast<int> (seconds / 0.01); ++block)
    {
        std::pair<int, float> changes[4];

        for (auto& change : changes)
            change = { static_cast<int> (random() % 24), unit (random) };

        const auto noteOn = random() % 3 == 0 ? static_cast<int> (random() % 128) : -1;
        const auto velocity = unit (random);
        const auto noteOff = random() % 3 == 0 ? static_cast<int> (random() % 128) : -1;
        const auto allOff = random() % 40 == 0;
        const auto presetLoad = random() % 60 == 0;

        engines.both ([&] (TarvelinCore& engine)
        {
            for (const auto& [id, value] : changes)
                engine.setParameter (id, value);

            engine.noteOn (noteOn, velocity);
            engine.noteOff (noteOff);

            if (allOff)
                engine.allNotesOff();

            if (presetLoad)
                engine.currentPresetLoaded();
        });

        engines.render (static_cast<int> (rate * 0.01), difference);
    }

    ASSERT_TRUE (difference.heardSomething());
    EXPECT_LT (difference.relativeRms(), tolerance);
    EXPECT_LT (difference.relativeToPeak(), tolerance);
}

INSTANTIATE_TEST_SUITE_P (FiveRates, FastEngineRandomSweep, ::testing::ValuesIn (rates));

//==============================================================================
TEST (FastMathTest, EachFunctionStaysWithinItsBound)
{
    FastMath::prepareTables();
    double tanhError = 0.0, sinError = 0.0, exp2Error = 0.0;

    // Past the saturation's table, out to where it is limited, in steps finer than the table's
    for (double y = -14.0; y <= 14.0; y += 1.0 / 1024.0 + 1.0e-7)
        tanhError = std::max (tanhError, std::abs (FastMath::tanh (y) - std::tanh (y)));

    // Up to the largest argument an oscillator gives (N x with N up to 2^15 and x below pi)
    for (double x = -1.1e5; x <= 1.1e5; x += 0.7071)
        sinError = std::max (sinError, std::abs (FastMath::sin (x) - std::sin (x)));

    for (double x = 1.0e-300; x < 1.0e-6; x *= 1.7)
        sinError = std::max (sinError, std::abs (FastMath::sin (x) / std::sin (x) - 1.0));

    for (double x = -60.0; x <= 60.0; x += 0.00731)
        exp2Error = std::max (exp2Error, std::abs (FastMath::exp2 (x) / std::exp2 (x) - 1.0));

    EXPECT_LT (tanhError, 6.0e-9);
    EXPECT_LT (sinError, 3.0e-16);
    EXPECT_LT (exp2Error, 5.0e-16);

    EXPECT_EQ (FastMath::tanhOfSteps (std::numeric_limits<double>::quiet_NaN()), -FastMath::tanh (12.0));
    EXPECT_EQ (FastMath::tanh (1.0e300), FastMath::tanh (12.0));
    EXPECT_EQ (FastMath::sin (0.0), 0.0);
}
