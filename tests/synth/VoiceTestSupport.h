#pragma once

#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

/*  Helpers for the voice-engine tests: a plain patch, rendering, and the
    measurements the tests make on rendered audio.
*/
namespace VoiceTestSupport
{
constexpr float supportedRates[] = { 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f };

using Settings = std::initializer_list<std::pair<int, float>>;

inline void setParameters (TarvelinCore& engine, Settings settings)
{
    for (const auto& [id, value] : settings)
        engine.setParameter (id, value);
}

/** A dry, steady patch: in tune, no slide, no resonance, no envelope sweep to
    speak of, sawtooth, no accent amplitude, effect off, unity volume.
*/
inline void setPlainPatch (TarvelinCore& engine)
{
    using namespace TarvelinIds;
    setParameters (engine, { { tune, 0.5f }, { slideTime, 0.0f }, { cutoff, 0.5f }, { resonance, 0.0f },
                             { accentSweep, 0.0f }, { envMod, 0.0f }, { attack, 0.0f }, { decay, 0.0f },
                             { accentDecay, 0.0f }, { accent, 0.0f }, { accentAmp, 0.0f }, { gateLength, 0.5f },
                             { drive, 0.0f }, { bankFrequency, 0.5f }, { bankSpread, 0.5f },
                             { distortionLevel, 1.0f }, { bankDamping, 0.0f }, { bankMix, 0.5f },
                             { waveform, 1.0f }, { accentAmpLink, 0.0f }, { accentSweepLink, 0.0f },
                             { effectOn, 0.0f }, { bankOrder, 0.0f }, { volume, 0.5f } });
}

inline std::vector<double> render (TarvelinCore& engine, double seconds, double rate)
{
    std::vector<double> samples (static_cast<size_t> (seconds * rate + 0.5));

    for (auto& sample : samples)
        engine.renderSample (sample);

    return samples;
}

/** An engine at the rate with the plain patch, its control values settled. */
inline void prepare (TarvelinCore& engine, double rate)
{
    engine.setSampleRate (static_cast<float> (rate));
    setPlainPatch (engine);
    render (engine, 1.0, rate);
}

/** Upward zero crossings in samples, interpolated, each after a swing below
    -10 % of the peak, so that ripple near zero counts no extra cycle.
*/
inline std::vector<double> upwardCrossings (const std::vector<double>& samples)
{
    double peak = 0.0;

    for (auto s : samples)
        peak = std::max (peak, std::abs (s));

    std::vector<double> crossings;
    bool armed = false;

    for (size_t i = 1; i < samples.size(); ++i)
    {
        if (samples[i] < -0.1 * peak)
            armed = true;

        if (armed && samples[i - 1] < 0.0 && samples[i] >= 0.0)
        {
            crossings.push_back (static_cast<double> (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]));
            armed = false;
        }
    }

    return crossings;
}

/** The mean frequency in Hz over the whole stretch, from its first to its last upward crossing. */
inline double measurePitch (const std::vector<double>& samples, double rate)
{
    const auto crossings = upwardCrossings (samples);

    if (crossings.size() < 2)
        return 0.0;

    return static_cast<double> (crossings.size() - 1) * rate / (crossings.back() - crossings.front());
}

inline double rms (const std::vector<double>& samples, size_t begin, size_t end)
{
    end = std::min (end, samples.size());

    if (begin >= end)
        return 0.0;

    double sum = 0.0;

    for (auto i = begin; i < end; ++i)
        sum += samples[i] * samples[i];

    return std::sqrt (sum / static_cast<double> (end - begin));
}

inline double rmsBetween (const std::vector<double>& samples, double fromSeconds, double toSeconds, double rate)
{
    return rms (samples, static_cast<size_t> (fromSeconds * rate), static_cast<size_t> (toSeconds * rate));
}
inline double peakBetween (const std::vector<double>& samples, double fromSeconds, double toSeconds, double rate)
{
    const auto end = std::min (samples.size(), static_cast<size_t> (toSeconds * rate));
    double peak = 0.0;

    for (auto i = static_cast<size_t> (fromSeconds * rate); i < end; ++i)
        peak = std::max (peak, std::abs (samples[i]));

    return peak;
}

inline double maxDifference (const std::vector<double>& a, const std::vector<double>& b)
{
    double difference = a.size() == b.size() ? 0.0 : 1.0e300;

    for (size_t i = 0; i < std::min (a.size(), b.size()); ++i)
        difference = std::max (difference, std::abs (a[i] - b[i]));

    return difference;
}

/** y[n] - 2 y[n-1] + y[n-2]: a steep high-pass that leaves the note and drops slow drifts. */
inline std::vector<double> secondDifference (const std::vector<double>& samples)
{
    std::vector<double> out (samples.size(), 0.0);

    for (size_t i = 2; i < samples.size(); ++i)
        out[i] = samples[i] - 2.0 * samples[i - 1] + samples[i - 2];

    return out;
}
} // namespace VoiceTestSupport
