#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"
#include "synth/TarvelinCoreInspector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace ids = TarvelinIds;

namespace
{
constexpr float supportedRates[] = { 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f };
constexpr float accentedVelocity = 1.0f;
constexpr float plainVelocity = 0.4f;

using Samples = std::vector<double>;

void setParameters (TarvelinCore& engine, std::initializer_list<std::pair<int, float>> settings)
{
    for (const auto& [id, value] : settings)
        engine.setParameter (id, value);
}

Samples render (TarvelinCore& engine, double seconds, double rate)
{
    Samples samples (static_cast<size_t> (seconds * rate + 0.5));

    for (auto& sample : samples)
        engine.renderSample (sample);

    return samples;
}

/** An engine at the rate with a dry, steady patch, its control values settled: in tune,
    no slide, resonance or sweep to speak of, sawtooth, effect off, unity volume. */
void prepare (TarvelinCore& engine, double rate)
{
    using namespace TarvelinIds;
    engine.setSampleRate (static_cast<float> (rate));
    setParameters (engine, { { tune, 0.5f }, { slideTime, 0.0f }, { cutoff, 0.5f }, { resonance, 0.0f },
                             { accentSweep, 0.0f }, { envMod, 0.0f }, { attack, 0.0f }, { decay, 0.0f },
                             { accentDecay, 0.0f }, { accent, 0.0f }, { accentAmp, 0.0f }, { gateLength, 0.5f },
                             { drive, 0.0f }, { bankFrequency, 0.5f }, { bankSpread, 0.5f },
                             { distortionLevel, 1.0f }, { bankDamping, 0.0f }, { bankMix, 0.5f },
                             { waveform, 1.0f }, { accentAmpLink, 0.0f }, { accentSweepLink, 0.0f },
                             { effectOn, 0.0f }, { bankOrder, 0.0f }, { volume, 0.5f } });
    render (engine, 1.0, rate);
}

/** Upward zero crossings in samples, interpolated, each after a swing below
    -10 % of the peak, so that ripple near zero counts no extra cycle. */
std::vector<double> upwardCrossings (const Samples& samples)
{
    double peak = 0.0;

    for (auto s : samples)
        peak = std::max (peak, std::abs (s));

    std::vector<double> crossings;
    bool armed = false;

    for (size_t i = 1; i < samples.size(); ++i)
    {
        armed = armed || samples[i] < -0.1 * peak;

        if (armed && samples[i - 1] < 0.0 && samples[i] >= 0.0)
        {
            crossings.push_back (static_cast<double> (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]));
            armed = false;
        }
    }

    return crossings;
}

/** The mean frequency in Hz from the first to the last upward crossing. */
double measurePitch (const Samples& samples, double rate)
{
    const auto crossings = upwardCrossings (samples);

    if (crossings.size() < 2)
        return 0.0;

    return static_cast<double> (crossings.size() - 1) * rate / (crossings.back() - crossings.front());
}

/** The held note's pitch over a steady stretch, after its envelope has settled. */
double steadyPitch (TarvelinCore& engine, double rate)
{
    render (engine, 1.0, rate);
    return measurePitch (render (engine, 0.5, rate), rate);
}

double rmsBetween (const Samples& samples, double fromSeconds, double toSeconds, double rate)
{
    const auto begin = static_cast<size_t> (fromSeconds * rate);
    const auto end = std::min (samples.size(), static_cast<size_t> (toSeconds * rate));
    double sum = 0.0;

    for (auto i = begin; i < end; ++i)
        sum += samples[i] * samples[i];

    return end > begin ? std::sqrt (sum / static_cast<double> (end - begin)) : 0.0;
}

double peakBetween (const Samples& samples, double fromSeconds, double toSeconds, double rate)
{
    const auto end = std::min (samples.size(), static_cast<size_t> (toSeconds * rate));
    double peak = 0.0;

    for (auto i = static_cast<size_t> (fromSeconds * rate); i < end; ++i)
        peak = std::max (peak, std::abs (samples[i]));

    return peak;
}

double maxDifference (const Samples& a, const Samples& b)
{
    double difference = a.size() == b.size() ? 0.0 : 1.0e300;

    for (size_t i = 0; i < std::min (a.size(), b.size()); ++i)
        difference = std::max (difference, std::abs (a[i] - b[i]));

    return difference;
}

bool allFinite (const Samples& samples)
{
    return std::all_of (samples.begin(), samples.end(), [] (double s) { return std::isfinite (s); });
}

/** An accent that is heard only in the amplitude: fast accent decay, accent amp free and full. */
void setAccentHeardInAmplitude (TarvelinCore& engine)
{
    setParameters (engine, { { ids::accentAmpLink, 0.0f }, { ids::accentAmp, 1.0f }, { ids::accent, 0.0f },
                             { ids::accentDecay, 0.0f } });
}

/** How much of an accent's lift of the amplitude is left 0.3 s into a held note, against
    0.1 s: the lift is the accented note's level over a plain one's, less 1.
*/
double accentFade (double rate, float accentDecay, float decay)
{
    const auto play = [=] (float velocity)
    {
        TarvelinCore engine;
        prepare (engine, rate);
        setAccentHeardInAmplitude (engine);
        setParameters (engine, { { ids::accentDecay, accentDecay }, { ids::decay, decay } });
        engine.noteOn (45, velocity);
        return render (engine, 0.5, rate);
    };

    const auto accented = play (accentedVelocity);
    const auto plain = play (plainVelocity);
    const auto lift = [&] (double at)
    {
        return rmsBetween (accented, at, at + 0.01, rate) / rmsBetween (plain, at, at + 0.01, rate) - 1.0;
    };

    return lift (0.3) / lift (0.1);
}

/** A patch where every part of the voice is at work: accent, sweep, resonance, envelope, square. */
void setBusyPatch (TarvelinCore& engine)
{
    setParameters (engine, { { ids::cutoff, 0.4f }, { ids::resonance, 0.8f }, { ids::envMod, 0.7f },
                             { ids::decay, 0.4f }, { ids::accent, 0.7f }, { ids::accentAmp, 0.3f },
                             { ids::accentSweep, 0.6f }, { ids::accentDecay, 0.3f }, { ids::slideTime, 0.6f },
                             { ids::waveform, 0.0f } });
}

/** A phrase with accents, a slide and a release, the same every time. */
Samples playPhrase (TarvelinCore& engine, double rate, float velocity = accentedVelocity)
{
    Samples out;
    const auto append = [&] (double seconds)
    {
        const auto part = render (engine, seconds, rate);
        out.insert (out.end(), part.begin(), part.end());
    };

    engine.noteOn (36, velocity);
    append (0.15);
    engine.noteOn (43, velocity);
    append (0.15);
    engine.noteOff (36);
    engine.noteOff (43);
    append (0.1);
    engine.noteOn (48, velocity);
    append (0.2);
    engine.noteOff (48);
    append (0.2);
    return out;
}
} // namespace

//==============================================================================
struct PitchCase
{
    float rate;
    int tuningMode;
    double hertz;   // note 69 as the tuning names it
};

void PrintTo (const PitchCase& c, std::ostream* out) { *out << c.rate << " Hz, tuning " << c.tuningMode; }

std::vector<PitchCase> pitchCases()
{
    std::vector<PitchCase> cases;

    for (const auto rate : supportedRates)
        for (const auto& [tuning, hertz] : { std::pair { 0, 440.00 }, { 1, 436.97 }, { 2, 425.13 } })
            cases.push_back ({ rate, tuning, hertz });

    // Other rates are computed for the actual rate too.
    for (const auto rate : { 22050.0f, 176400.0f, 384000.0f })
        cases.push_back ({ rate, 0, 440.0 });

    return cases;
}

class TarvelinCorePitchTest : public ::testing::TestWithParam<PitchCase> {};

TEST_P (TarvelinCorePitchTest, Note69SoundsAtTheTuningsPitchAndRatesAtOrBelowZeroAreIgnored)
{
    const auto c = GetParam();
    TarvelinCore engine;
    engine.setTuning (c.tuningMode);
    prepare (engine, c.rate);

    engine.setSampleRate (0.0f);
    engine.setSampleRate (-44100.0f);
    engine.setSampleRate (std::numeric_limits<float>::quiet_NaN());
    engine.noteOn (69, plainVelocity);

    EXPECT_NEAR (steadyPitch (engine, c.rate), c.hertz, 0.01);
}

INSTANTIATE_TEST_SUITE_P (EveryRateAndTuning, TarvelinCorePitchTest, ::testing::ValuesIn (pitchCases()));

TEST (TarvelinCoreTest, UnsupportedRatesUseTheNearestSupportedCurveAndAFreshEngineThe44100One)
{
    EXPECT_EQ (TarvelinCoreInspector::curve (TarvelinCore()).gains, ResonanceCurves::get (0).gains);

    const std::pair<float, int> expectedRows[] = { { 22050.0f, 0 }, { 64000.0f, 1 }, { 72000.0f, 2 },
                                                    { 100000.0f, 3 }, { 176400.0f, 4 }, { 384000.0f, 4 } };

    for (const auto& [rate, row] : expectedRows)
    {
        TarvelinCore engine;
        engine.setSampleRate (rate);
        EXPECT_EQ (TarvelinCoreInspector::rateRow (engine), row) << rate;
    }
}

TEST (TarvelinCoreTest, SettingTheSameRateTwiceChangesNothing)
{
    TarvelinCore once, twice;
    prepare (once, 96000.0);
    prepare (twice, 96000.0);
    setBusyPatch (once);
    setBusyPatch (twice);

    twice.setSampleRate (96000.0f);

    EXPECT_EQ (playPhrase (once, 96000.0), playPhrase (twice, 96000.0));
}

TEST (TarvelinCoreTest, ATuningChangeWaitsForTheNextNoteAndUnknownTuningsChangeNothing)
{
    TarvelinCore engine;
    prepare (engine, 44100.0);
    engine.noteOn (69, plainVelocity);
    render (engine, 0.2, 44100.0);

    engine.setTuning (1);
    engine.setTuning (3);
    engine.setTuning (-1);
    const auto sounding = steadyPitch (engine, 44100.0);
    engine.noteOff (69);
    engine.noteOn (69, plainVelocity);

    EXPECT_NEAR (sounding, 440.0, 0.01);
    EXPECT_NEAR (steadyPitch (engine, 44100.0), 436.97, 0.01);
}

//==============================================================================
TEST (TarvelinCoreTest, FirstNoteStartsAtItsPitchWithoutGlide)
{
    TarvelinCore engine;
    prepare (engine, 44100.0);
    setParameters (engine, { { ids::slideTime, 0.9f }, { ids::decay, 1.0f } });   // a slow sweep keeps the phase still
    engine.noteOn (36, plainVelocity);
    render (engine, 0.3, 44100.0);
    engine.noteOff (36);
    render (engine, 0.2, 44100.0);

    engine.noteOn (60, plainVelocity);
    const auto start = render (engine, 0.04, 44100.0);

    // Gliding up from note 36 it would still be below 90 Hz here.
    EXPECT_NEAR (measurePitch (Samples (start.begin() + 441, start.end()), 44100.0), 261.63, 2.6);
}

TEST (TarvelinCoreTest, LegatoNoteGlidesToItsPitchAndReleaseGlidesBack)
{
    TarvelinCore engine;
    prepare (engine, 44100.0);
    engine.setParameter (ids::slideTime, 0.9f);
    engine.noteOn (48, plainVelocity);
    render (engine, 0.3, 44100.0);

    engine.noteOn (60, plainVelocity);
    const auto gliding = measurePitch (render (engine, 0.05, 44100.0), 44100.0);
    const auto arrived = steadyPitch (engine, 44100.0);
    engine.noteOff (60);
    const auto returning = measurePitch (render (engine, 0.05, 44100.0), 44100.0);
    const auto back = steadyPitch (engine, 44100.0);

    EXPECT_GT (gliding, 140.0);
    EXPECT_LT (gliding, 250.0);
    EXPECT_NEAR (arrived, 261.63, 0.05);
    EXPECT_GT (returning, 140.0);
    EXPECT_LT (returning, 250.0);
    EXPECT_NEAR (back, 130.81, 0.05);
}

TEST (TarvelinCoreTest, LegatoNoteDoesNotRestartTheEnvelopes)
{
    // The accent is heard in the amplitude; a restart would lift it again.
    const auto levelAfterSecondNote = [] (bool legato)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setAccentHeardInAmplitude (engine);
        engine.noteOn (48, accentedVelocity);
        const auto first = render (engine, 0.6, 44100.0);

        if (! legato)
            engine.noteOff (48);

        engine.noteOn (50, accentedVelocity);
        const auto second = render (engine, 0.05, 44100.0);
        return rmsBetween (second, 0.01, 0.05, 44100.0) / rmsBetween (first, 0.55, 0.6, 44100.0);
    };

    EXPECT_LT (levelAfterSecondNote (true), 1.3);
    EXPECT_GT (levelAfterSecondNote (false), 2.0);
}

TEST (TarvelinCoreTest, LegatoNoteBelowTheThresholdAfterAnAccentStaysAccented)
{
    const auto play = [] (float secondVelocity)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setAccentHeardInAmplitude (engine);
        engine.noteOn (48, accentedVelocity);
        render (engine, 0.1, 44100.0);
        engine.noteOn (50, secondVelocity);
        return render (engine, 0.3, 44100.0);
    };

    EXPECT_EQ (play (0.1f), play (accentedVelocity));
}

TEST (TarvelinCoreTest, AccentDecayShapesAccentedNotesAndDecayThePlainOnes)
{
    const auto play = [] (float velocity, float accentDecay, float decay)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setParameters (engine, { { ids::envMod, 0.6f }, { ids::accent, 0.8f }, { ids::accentAmp, 0.5f },
                                 { ids::accentDecay, accentDecay }, { ids::decay, decay } });
        engine.noteOn (45, velocity);
        return render (engine, 0.5, 44100.0);
    };

    EXPECT_EQ (play (accentedVelocity, 0.0f, 0.0f), play (accentedVelocity, 0.0f, 1.0f));
    EXPECT_NE (play (accentedVelocity, 0.0f, 0.5f), play (accentedVelocity, 1.0f, 0.5f));
    EXPECT_EQ (play (plainVelocity, 0.0f, 0.0f), play (plainVelocity, 1.0f, 0.0f));
    EXPECT_NE (play (plainVelocity, 0.5f, 0.0f), play (plainVelocity, 0.5f, 1.0f));

    // Turned down, the accent has mostly gone by 0.3 s; turned up, it holds with the note.
    EXPECT_LT (accentFade (44100.0, 0.0f, 0.5f), 0.3);
    EXPECT_GT (accentFade (44100.0, 1.0f, 0.5f), 0.8);
}

class TarvelinCoreResonanceTest : public ::testing::TestWithParam<float> {};

TEST_P (TarvelinCoreResonanceTest, ResonanceRaisesAPeakThatFollowsTheCutoff)
{
    // A held 55 Hz saw: the level of each harmonic in dB, with and without resonance.
    const double rate = GetParam();
    const auto spectrum = [rate] (float cutoffValue, float resonanceValue)
    {
        TarvelinCore engine;
        prepare (engine, rate);
        setParameters (engine, { { ids::cutoff, cutoffValue }, { ids::resonance, resonanceValue }, { ids::decay, 1.0f } });
        engine.noteOn (33, plainVelocity);
        render (engine, 0.5, rate);
        const auto held = render (engine, 0.4, rate);

        std::vector<double> levels;

        for (int h = 1; h <= 40; ++h)
        {
            const auto w = 2.0 * 3.141592653589793 * 55.0 * h / rate;
            double re = 0.0, im = 0.0;

            for (size_t n = 0; n < held.size(); ++n)
            {
                re += held[n] * std::cos (w * static_cast<double> (n));
                im += held[n] * std::sin (w * static_cast<double> (n));
            }

            levels.push_back (20.0 * std::log10 (std::hypot (re, im) + 1.0e-300));
        }

        return levels;
    };

    // Where full resonance lifts a harmonic most against the fundamental, among those
    // the plain filter leaves within 40 dB of it.
    const auto peak = [&spectrum] (float cutoffValue)
    {
        const auto plain = spectrum (cutoffValue, 0.0f);
        const auto resonant = spectrum (cutoffValue, 1.0f);
        std::pair<double, int> best { -1.0e9, 0 };

        for (size_t h = 1; h < plain.size(); ++h)
            if (plain[h] > plain[0] - 40.0)
                best = std::max (best, { (resonant[h] - plain[h]) - (resonant[0] - plain[0]), static_cast<int> (h + 1) });

        return best;
    };

    // Near full feedback the four stages ring: some 30 dB (at half the feedback, some 20).
    const auto [lowRise, lowHarmonic] = peak (0.4f);
    const auto [highRise, highHarmonic] = peak (0.7f);

    EXPECT_GT (lowRise, 25.0);
    EXPECT_GT (highRise, 25.0);
    EXPECT_GT (highHarmonic, lowHarmonic + 3);
}

INSTANTIATE_TEST_SUITE_P (TwoRates, TarvelinCoreResonanceTest, ::testing::Values (44100.0f, 96000.0f));

TEST (TarvelinCoreTest, VelocityActsOnlyThroughTheAccentThreshold)
{
    const auto play = [] (float velocity, float threshold)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setBusyPatch (engine);
        engine.setAccentThreshold (threshold);
        return playPhrase (engine, 44100.0, velocity);
    };

    const auto defaultThreshold = 64.0f / 127.0f;

    EXPECT_EQ (play (0.1f, defaultThreshold), play (0.5f, defaultThreshold));
    EXPECT_EQ (play (defaultThreshold, defaultThreshold), play (1.0f, defaultThreshold));
    EXPECT_NE (play (0.5f, defaultThreshold), play (0.6f, defaultThreshold));
    EXPECT_EQ (play (0.6f, 96.0f / 127.0f), play (0.1f, 96.0f / 127.0f));
}

TEST (TarvelinCoreTest, NotesOutsideTheMidiRangeReleasesOfNotesNotHeldAndIdsOutside0To23ChangeNothing)
{
    TarvelinCore quiet, poked;
    prepare (quiet, 44100.0);
    prepare (poked, 44100.0);
    quiet.noteOn (40, plainVelocity);
    poked.noteOn (40, plainVelocity);

    for (const auto note : { 128, -1, 100000 })
        poked.noteOn (note, accentedVelocity);

    poked.noteOff (128);
    poked.noteOff (41);

    for (const auto id : { -1, 24, 1000 })
        poked.setParameter (id, 1.0f);

    EXPECT_EQ (playPhrase (quiet, 44100.0), playPhrase (poked, 44100.0));
}

TEST (TarvelinCoreTest, ANoteBeyondTheLastHeldOneThatFitsIsIgnored)
{
    // Neither its pitch nor its accent is heard.
    TarvelinCore full, struck;

    for (auto* engine : { &full, &struck })
    {
        prepare (*engine, 44100.0);
        setAccentHeardInAmplitude (*engine);

        for (int i = 0; i < TarvelinCore::maxHeldNotes; ++i)
            engine->noteOn (40, plainVelocity);
    }

    struck.noteOn (52, accentedVelocity);

    EXPECT_EQ (render (full, 0.2, 44100.0), render (struck, 0.2, 44100.0));
}

TEST (TarvelinCoreTest, AllNotesOffLetsTheTailDecay)
{
    TarvelinCore engine;
    prepare (engine, 44100.0);
    engine.noteOn (40, plainVelocity);
    engine.noteOn (45, plainVelocity);
    render (engine, 0.2, 44100.0);

    engine.allNotesOff();
    const auto tail = render (engine, 0.5, 44100.0);

    EXPECT_GT (rmsBetween (tail, 0.0, 0.002, 44100.0), 1.0e-5);
    EXPECT_EQ (TarvelinCoreInspector::gate (engine), 0.0);
    EXPECT_LT (rmsBetween (tail, 0.4, 0.5, 44100.0), 1.0e-12);
}

//==============================================================================
class TarvelinCoreEffectOffTest : public ::testing::TestWithParam<int> {};

// Gate length acts on the step clocks only; the effect's parameters act only while it is on.
TEST_P (TarvelinCoreEffectOffTest, ParameterChangesNothingAudibleWithTheEffectOff)
{
    const auto id = GetParam();
    TarvelinCore low, high;
    prepare (low, 44100.0);
    prepare (high, 44100.0);
    setBusyPatch (low);
    setBusyPatch (high);

    low.setParameter (id, 0.0f);
    high.setParameter (id, 1.0f);

    EXPECT_EQ (playPhrase (low, 44100.0), playPhrase (high, 44100.0));
}

INSTANTIATE_TEST_SUITE_P (GateLengthDriveBankDistortionAndOrder, TarvelinCoreEffectOffTest,
                          ::testing::Values (ids::gateLength, ids::drive, ids::bankFrequency, ids::bankSpread, ids::distortionLevel,
                                             ids::bankDamping, ids::bankMix, ids::bankOrder));

//==============================================================================
class TarvelinCoreSwitchTest : public ::testing::TestWithParam<int> {};

// What is heard and what the display reads back must agree at exactly 0.5.
TEST_P (TarvelinCoreSwitchTest, HalfSelectsTheLowerHalfsSetting)
{
    const auto id = GetParam();
    const auto play = [id] (float value)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setBusyPatch (engine);
        setParameters (engine, { { ids::effectOn, 1.0f }, { ids::drive, 0.6f }, { ids::bankMix, 0.8f },
                                 { ids::distortionLevel, 0.5f }, { ids::accentAmpLink, 0.0f },
                                 { ids::accentSweepLink, 0.0f }, { ids::accentSweep, 0.1f } });
        engine.setParameter (id, value);
        const auto shown = engine.getParameter (id);
        return std::make_pair (shown, playPhrase (engine, 44100.0));
    };

    const auto atHalf = play (0.5f);
    const auto atOne = play (1.0f);

    EXPECT_EQ (atHalf, play (0.0f));
    EXPECT_NE (atHalf.first, atOne.first);
    EXPECT_NE (atHalf.second, atOne.second);
}

INSTANTIATE_TEST_SUITE_P (FiveSwitches, TarvelinCoreSwitchTest,
                          ::testing::Values (ids::waveform, ids::accentAmpLink, ids::accentSweepLink, ids::effectOn, ids::bankOrder));

//==============================================================================
TEST (TarvelinCoreTest, PresetLoadClearsOnlyTheFilterBank)
{
    const auto playAcrossALoad = [] (float effect, float mix, bool load)
    {
        TarvelinCore engine;
        prepare (engine, 44100.0);
        setBusyPatch (engine);
        setParameters (engine, { { ids::effectOn, effect }, { ids::bankOrder, 1.0f }, { ids::bankMix, mix },
                                 { ids::drive, 0.7f }, { ids::bankDamping, 0.9f } });
        engine.noteOn (36, accentedVelocity);
        render (engine, 1.0, 44100.0);

        if (load)
            engine.currentPresetLoaded();

        return render (engine, 0.2, 44100.0);
    };

    // With the effect off nothing of the voice is touched; with the bank mixed out
    // (its smoothed mix never quite reaches 0) the distortion's state is untouched.
    EXPECT_EQ (playAcrossALoad (0.0f, 1.0f, false), playAcrossALoad (0.0f, 1.0f, true));
    EXPECT_LT (maxDifference (playAcrossALoad (1.0f, 0.0f, false), playAcrossALoad (1.0f, 0.0f, true)), 1.0e-9);
    EXPECT_GT (maxDifference (playAcrossALoad (1.0f, 1.0f, false), playAcrossALoad (1.0f, 1.0f, true)), 1.0e-3);
}

//==============================================================================
class TarvelinCoreRateTest : public ::testing::TestWithParam<float> {};

TEST_P (TarvelinCoreRateTest, ReleaseDecaysToSilenceAtTheSameSpeedInSeconds)
{
    const double rate = GetParam();
    TarvelinCore engine;
    prepare (engine, rate);
    engine.noteOn (81, plainVelocity);
    render (engine, 0.3, rate);

    engine.noteOff (81);
    const auto tail = render (engine, 1.0, rate);

    // The note's own level (the second difference hides the tone stage's slow thump)
    // falls with the gate follower's release coefficient: 19.1 dB in 5 ms. Were the
    // gate left a hair above zero, the follower would keep its fast one (191 dB).
    Samples curvature (tail.size(), 0.0);

    for (size_t i = 2; i < tail.size(); ++i)
        curvature[i] = tail[i] - 2.0 * tail[i - 1] + tail[i - 2];

    const auto level = [&] (double at) { return peakBetween (curvature, at, at + 1.0 / 880.0, rate); };
    EXPECT_NEAR (20.0 * std::log10 (level (0.008) / level (0.003)), -19.1, 2.0);
    EXPECT_EQ (TarvelinCoreInspector::gate (engine), 0.0);
    EXPECT_LT (peakBetween (tail, 0.5, 1.0, rate), 1.0e-12);
}

TEST_P (TarvelinCoreRateTest, SlideTakesTheSameTimeInSeconds)
{
    const double rate = GetParam();
    TarvelinCore engine;
    prepare (engine, rate);
    engine.setParameter (ids::slideTime, 0.9f);
    engine.noteOn (60, plainVelocity);
    render (engine, 0.3, rate);

    engine.noteOn (72, plainVelocity);
    const auto crossings = upwardCrossings (render (engine, 0.3, rate));

    // The period moves half way (to the harmonic mean of the two pitches) in ln 2 time constants.
    const auto glideCoef = (1.0 - 0.9999 * std::pow (0.9, 0.003)) * 0.5;
    const auto expectedSeconds = std::log (2.0) / -std::log (1.0 - glideCoef) / 44100.0;
    const auto halfWayHertz = 2.0 / (1.0 / 261.6256 + 1.0 / 523.2511);

    // Each cycle's frequency is placed at its middle; the half-way time is interpolated.
    double halfWaySeconds = 0.0, previousHertz = 0.0, previousSeconds = 0.0;

    for (size_t i = 1; i < crossings.size() && halfWaySeconds == 0.0; ++i)
    {
        const auto hertz = rate / (crossings[i] - crossings[i - 1]);
        const auto seconds = 0.5 * (crossings[i] + crossings[i - 1]) / rate;

        if (hertz >= halfWayHertz)
            halfWaySeconds = previousSeconds + (seconds - previousSeconds) * (halfWayHertz - previousHertz) / (hertz - previousHertz);

        previousHertz = hertz;
        previousSeconds = seconds;
    }

    EXPECT_NEAR (halfWaySeconds, expectedSeconds, 0.003);
}

INSTANTIATE_TEST_SUITE_P (FiveRates, TarvelinCoreRateTest, ::testing::ValuesIn (supportedRates));

class TarvelinCoreHigherRateTest : public ::testing::TestWithParam<float> {};

TEST_P (TarvelinCoreHigherRateTest, AccentDecayTakesTheSameTimeInSecondsAsAt44100)
{
    EXPECT_NEAR (accentFade (GetParam(), 0.0f, 0.0f), accentFade (44100.0, 0.0f, 0.0f), 0.01);
}

INSTANTIATE_TEST_SUITE_P (FourRates, TarvelinCoreHigherRateTest, ::testing::Values (48000.0f, 88200.0f, 96000.0f, 192000.0f));

class TarvelinCoreSweepTest : public ::testing::TestWithParam<float> {};

TEST_P (TarvelinCoreSweepTest, RandomParameterSweepsNeverGiveNaNInfinityOrSubnormals)
{
    const double rate = GetParam();
    std::mt19937 random (5);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);

    TarvelinCore engine;
    engine.setSampleRate (static_cast<float> (rate));
    int bad = 0;

    for (int block = 0; block < 3000; ++block)
    {
        for (int change = 0; change < 4; ++change)
            engine.setParameter (static_cast<int> (random() % 24), unit (random));

        if (random() % 3 == 0)
            engine.noteOn (static_cast<int> (random() % 128), unit (random));

        if (random() % 3 == 0)
            engine.noteOff (static_cast<int> (random() % 128));

        if (random() % 40 == 0)
            engine.allNotesOff();

        if (random() % 60 == 0)
            engine.currentPresetLoaded();

        for (auto out : render (engine, 0.001, rate))
            if (! std::isfinite (out) || (out != 0.0 && std::abs (static_cast<float> (out)) < FLT_MIN))
                ++bad;
    }

    EXPECT_EQ (bad, 0);
}

INSTANTIATE_TEST_SUITE_P (FiveRatesAndTwoOthers, TarvelinCoreSweepTest,
                          ::testing::Values (44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 8000.0f, 384000.0f));

TEST (TarvelinCoreTest, OutOfRangeAndNaNParameterValuesKeepTheVoiceFinite)
{
    TarvelinCore engine;
    prepare (engine, 44100.0);

    for (int id = 0; id < TarvelinCore::numParameters; ++id)
    {
        engine.setParameter (id, -3.0f);
        engine.setParameter (id, std::numeric_limits<float>::quiet_NaN());
    }

    EXPECT_TRUE (allFinite (playPhrase (engine, 44100.0)));
    EXPECT_EQ (engine.getParameter (ids::cutoff), 0.0);
}

TEST (TarvelinCoreTest, AFreshEngineRendersSoundlyBeforeAnyRateOrParameterAndKeepsItsPhaseInRangeGlidingUpFromZero)
{
    TarvelinCore fresh;
    fresh.noteOn (60, accentedVelocity);
    EXPECT_TRUE (allFinite (render (fresh, 0.5, 44100.0)));

    // A fresh engine's period starts at 0 and, with a long slide, stays tiny for a while.
    TarvelinCore engine;
    engine.setSampleRate (192000.0f);
    setParameters (engine, { { ids::slideTime, 1.0f }, { ids::waveform, 0.0f }, { ids::volume, 0.5f } });
    engine.noteOn (36, accentedVelocity);
    bool inRange = true;

    for (int i = 0; i < 192000; ++i)
    {
        double sample = 0.0;
        engine.renderSample (sample);
        const auto phase = TarvelinCoreInspector::oscillatorPhase (engine);
        inRange = inRange && phase >= 0.0 && phase < 80.0 && std::isfinite (sample);
    }

    EXPECT_TRUE (inRange);
}
