#include "synth/TarvelinCore.h"

#include "synth/ExactMath.h"
#include "synth/FastMath.h"
#include "synth/TarvelinIds.h"

#include <algorithm>
#include <cmath>

#if defined (__FAST_MATH__)
 #error "The voice engine relies on IEEE arithmetic: build it without -ffast-math"
#endif

namespace
{
constexpr double pi = 3.141592653589793238;

// Added after every follower (smoothers, envelopes, amplitude, DC and tone stages)
// so that a decaying state never sinks into subnormal numbers. The gate must reach
// exactly zero; the period and the distortion's memories never come near it; the
// oscillator, filter and output chain are driven every sample and cleared when silent.
constexpr double denormalGuard = 1.0e-20;

// Below this amplitude the filter's state is dropped: the voice is silent.
constexpr double silentAmplitude = 6.103515625e-5;   // 2^-14

// The filter saturates at tanh (y / 65000) of an input of 0.5e6 times the oscillator.
constexpr double filterScale = 65000.0;
constexpr double filterDrive = 0.5e6;

// Coefficients are written for 44100 Hz; at very low rates a scaled one could
// pass 1 and overshoot its target, so each is held to at most 1.
double perSample (double coefficient) noexcept    { return std::min (1.0, coefficient); }

void follow (double& value, double target, double coefficient) noexcept
{
    value = value - (value - target) * coefficient + denormalGuard;
}
} // namespace

//==============================================================================
TarvelinCore::TarvelinCore (Math mathToUse)
    : math (mathToUse)
{
    FastMath::prepareTables();
    heldNotes.reserve (maxHeldNotes);
    buildPitchTables (12.0);

    // The 44100 Hz set is in force until a rate is given, so a fresh engine renders soundly.
    updateDerivedValues();

    bankSpread = 0.0;
    bankFrequency = 0.5;
    bankDamping = 2.0;
    drive = 1.0;
    distortionLevel = 1.0;

    bank = FilterBank();

    targetNotePeriod = ResonanceCurves::rates[0] / noteFrequency[36];
    controls.period = 0.0;
}

TarvelinCore::~TarvelinCore() = default;

//==============================================================================
void TarvelinCore::buildPitchTables (double steps)
{
    if (! (steps > 0.0) || ! std::isfinite (steps))
        return;

    for (int n = 0; n < numNotes; ++n)
    {
        noteFrequency[n] = 6.875 * std::pow (2.0, (n + 3) / steps);
        ratePeriods[n] = sampleRate / noteFrequency[n];
    }
}

void TarvelinCore::setTuning (int mode)
{
    static constexpr double stepsForMode[] = { 12.0, 12.02, 12.1 };

    if (mode >= 0 && mode < 3)
        buildPitchTables (stepsForMode[mode]);
}

void TarvelinCore::setSampleRate (float rate)
{
    const auto newRate = static_cast<double> (rate);

    if (! (newRate > 0.0) || ! std::isfinite (newRate))
        return;

    sampleRate = newRate;
    upFactor = newRate / 44100.0;
    downFactor = 44100.0 / newRate;

    // Any other rate borrows the curve of the nearest supported one, by ratio,
    // as the curves' shapes depend on the cutoff's share of the rate.
    auto nearestDistance = std::abs (std::log (newRate / ResonanceCurves::rates[0]));
    rateIndex = 0;

    for (int row = 1; row < ResonanceCurves::numRates; ++row)
    {
        const auto distance = std::abs (std::log (newRate / ResonanceCurves::rates[row]));

        if (distance < nearestDistance)
        {
            nearestDistance = distance;
            rateIndex = row;
        }
    }

    curve = &ResonanceCurves::get (rateIndex);

    // The curve is never read beyond the x its own rate can reach, even above 192000 Hz.
    curveInputLimit = 0.999 * (ResonanceCurves::rates[rateIndex] / 44100.0);

    // Periods follow the actual rate, so the pitch is right at any rate; a sounding
    // note keeps its period until the next note event.
    for (int n = 0; n < numNotes; ++n)
        ratePeriods[n] = sampleRate / noteFrequency[n];

    updateDerivedValues();
}

//==============================================================================
void TarvelinCore::setParameter (int id, float normalisedValue)
{
    if (id < 0 || id >= numParameters || std::isnan (normalisedValue))
        return;

    raw[id] = static_cast<double> (std::clamp (normalisedValue, 0.0f, 1.0f));
    updateParameter (id);
}

void TarvelinCore::updateParameter (int id)
{
    using namespace TarvelinIds;
    const auto v = raw[id];
    const auto d = downFactor;

    switch (id)
    {
        case tune:
            tuneFactor = std::pow (2.0, (0.5 - v) * 4.0);
            break;

        case slideTime:
            glideCoef = perSample ((1.0 - 0.9999 * std::pow (v, 0.003)) * 0.5 * d);
            break;

        case cutoff:
        {
            const auto c2 = (0.3 * v + 0.7) * (0.5 * v + 0.5) * v;
            cutoffBase = 0.17 * c2 + 0.368;
            updateCutoffOffset();
            break;
        }

        case TarvelinIds::resonance:
            resonance = std::min (1.0, (0.45 * v + 0.55) * v);
            updateCutoffOffset();
            break;

        case accentSweep:
            sweepAmount = v;
            break;

        case envMod:
        {
            const auto m = (0.1 * v + 0.9) * v * std::pow (0.5 * v + 0.5, 4.0);
            envModDepth = 0.238 * m + 0.06;
            envModOffset = (1.0 - m) * 0.0712 + 0.2448;
            updateCutoffOffset();
            break;
        }

        case attack:
            attackCoef = perSample (((1.0 - std::pow (v, 0.00625)) * 0.414408 + 2.93786848e-5) * d);
            break;

        case decay:
            decayCoef = perSample (((1.0 - v) * 0.000224408 + 2.93786848e-5) * d);
            break;

        case accentDecay:
            accentDecayCoef = perSample (((1.0 - v) * 0.000224408 + 2.93786848e-5) * d);
            break;

        case accent:
        case accentAmp:
            updateAccentAmplitudes();
            break;

        case TarvelinIds::drive:
            drive = 1.0 + 39.0 * v * v * v;
            break;

        case TarvelinIds::bankFrequency:
            bankFrequency = v;
            updateBankCoefficients();
            break;

        case TarvelinIds::bankSpread:
            bankSpread = 0.5 * v - 0.25;
            updateBankCoefficients();
            break;

        case TarvelinIds::distortionLevel:
            distortionLevel = 0.999 * v * v * v + 0.001;
            break;

        case TarvelinIds::bankDamping:
            bankDamping = 2.0 * (1.0 - std::pow (0.75 * v, 0.25));
            updateBankCoefficients();
            break;

        case waveform:
            square = (v <= 0.5);
            break;

        case accentAmpLink:
            accentAmpLinked = (v > 0.5);
            updateAccentAmplitudes();
            break;

        case accentSweepLink:
            sweepLinked = (v > 0.5);
            sweepAmount = raw[accentSweep];
            break;

        case TarvelinIds::effectOn:
            effectOn = (v > 0.5);
            break;

        case bankOrder:
            bankAfterDistortion = (v <= 0.5);
            break;

        case TarvelinIds::volume:
        {
            const auto single = static_cast<float> (v);   // squared in single precision
            volume = 4.0 * static_cast<double> (single * single);
            break;
        }

        default:   // the gate length and the bank mix are only stored
            break;
    }
}

void TarvelinCore::updateCutoffOffset()
{
    cutoffOffset = cutoffBase + envModOffset - 0.04 * (1.0 - resonance);
}

void TarvelinCore::updateAccentAmplitudes()
{
    accentAmp1 = accentAmp2 = raw[accentAmpLinked ? TarvelinIds::accent : TarvelinIds::accentAmp];
}

void TarvelinCore::updateBankCoefficients()
{
    const double offsets[3] = { bankSpread, 0.0, -bankSpread };
    const auto halfRate = 0.5 * sampleRate;

    for (int i = 0; i < 3; ++i)
    {
        const auto frequency = std::pow (2.0, ((bankFrequency + offsets[i]) * 199.5451563 + 0.21484375) / 12.0);
        const auto x = frequency / halfRate;
        const auto f = 2.0 * std::sin (pi * std::min (x, 0.25));
        bank.setSection (i, f, std::min ({ 2.0 / f - f / 2.0, 2.0, bankDamping }));
    }
}

void TarvelinCore::updateDerivedValues()
{
    const auto d = downFactor;

    cutoffScale = 1.0 / (2.0 * sampleRate);
    ampCoef = perSample (0.2 * d);
    smoothCoef = perSample (0.001 * d);
    dcCoef = perSample (0.002 * d);
    slowAccentCoef = perSample (0.0009791344125 * d);
    fastAccentCoef = perSample (0.03 * d);

    // The sweep's rate carries the down factor twice, as the accent sweep was voiced that way.
    fastSweepCoef = perSample (0.2 * d * d);
    slowSweepCoef = perSample (0.0002 * d * d);

    gateDecay = perSample (3.4327e-5 * d);
    gateFollowCoef = perSample (0.100388 * d);
    gateReleaseCoef = perSample (0.0099724121094 * d);
    accentLevelCoef = perSample (0.010388 * d);
    distortionDecayA = perSample (0.1 * d);
    distortionDecayB = perSample (0.006 * d);

    // The switches keep their state; every value derived from a raw one is redone.
    for (int id = 0; id < numParameters; ++id)
        if (id < TarvelinIds::waveform || id > TarvelinIds::bankOrder)
            updateParameter (id);
}

//==============================================================================
double TarvelinCore::getParameter (int id) const
{
    using namespace TarvelinIds;

    switch (id)
    {
        case tune:                              return (raw[tune] - 0.5) * 48.0;
        case slideTime:                         return 1.0 / (std::pow (0.0007638230901957031, raw[slideTime]) * 770.1197080532744);
        case TarvelinIds::drive:                return drive;
        case TarvelinIds::distortionLevel:      return distortionLevel;
        case TarvelinIds::volume:               return volume;
        case waveform:                          return square ? 1.0 : 0.0;
        case accentAmpLink:                     return accentAmpLinked ? 1.0 : 0.0;
        case accentSweepLink:                   return sweepLinked ? 1.0 : 0.0;
        case TarvelinIds::effectOn:             return effectOn ? 1.0 : 0.0;
        case bankOrder:                         return bankAfterDistortion ? 1.0 : 0.0;
        default:                                break;
    }

    return (id >= 0 && id < numParameters) ? raw[id] : 0.0;
}

//==============================================================================
void TarvelinCore::noteOn (int note, float velocity)
{
    if (note < 0 || note >= numNotes || heldNotes.size() >= static_cast<size_t> (maxHeldNotes))
        return;

    heldNotes.emplace_back (note, velocity);
    targetNotePeriod = notePeriod (note);

    const bool isAccent = (velocity >= accentThreshold);

    if (heldNotes.size() == 1)
    {
        controls.gate = 1.0;
        controls.period = targetNotePeriod * controls.tuneFactor;
        controls.envelopeInAttack = true;
        controls.envelope = 1.0;
        accented = isAccent ? 1 : 0;
    }
    else if (isAccent)
    {
        accented = 1;
    }
}

void TarvelinCore::noteOff (int note)
{
    const auto held = std::find_if (heldNotes.begin(), heldNotes.end(),
                                    [note] (const auto& entry) { return entry.first == note; });

    if (held == heldNotes.end())
        return;

    heldNotes.erase (held);

    if (heldNotes.empty())
        controls.gate = 0.0;
    else
        targetNotePeriod = notePeriod (heldNotes.back().first);
}

void TarvelinCore::allNotesOff()
{
    heldNotes.clear();
    accented = 0;
    controls.gate = 0.0;
}

void TarvelinCore::currentPresetLoaded()
{
    for (auto& section : bank.sections)
    {
        section.low = 0.0;
        section.band = 0.0;
    }
}

//==============================================================================
void TarvelinCore::renderBlock (double* output, int numSamples) noexcept
{
    for (int done = 0; done < numSamples; done += maxChunk)
    {
        const auto n = std::min (maxChunk, numSamples - done);

        if (math == Math::fast)
            renderChunk<FastMath> (output + done, n);
        else
            renderChunk<ExactMath> (output + done, n);
    }
}

template <typename MathFunctions>
void TarvelinCore::renderChunk (double* output, int numSamples) noexcept
{
    // 1. to 8. What does not depend on the filter's state, for the whole chunk first,
    runControls (numSamples);
    oscillator.process<MathFunctions> (chunk.period, chunk.oscillator, numSamples, square, downFactor);
    prepareFilterInput<MathFunctions> (numSamples);

    // 13. and 14. then the filter's serial loop,
    filter.process<MathFunctions> (chunk, numSamples);

    // 15. to 19. then the tone stage and the effect; the tap comes back from the saturation's steps.
    finishChunk (output, numSamples, filterScale / MathFunctions::stepsPerUnit * 1.5 / 1.0e6);
}

void TarvelinCore::runControls (int numSamples) noexcept
{
    // Kept in locals for the loop: the chunk's arrays could otherwise alias them.
    auto v = controls;
    const auto target = targetNotePeriod;
    const auto isAccented = accented != 0;
    const auto accentLevelTarget = raw[TarvelinIds::accent];
    const auto rawResonanceTarget = raw[TarvelinIds::resonance];

    for (int i = 0; i < numSamples; ++i)
    {
        // 1. Smoothing of the control values
        follow (v.cutoffOffset, cutoffOffset, smoothCoef);
        follow (v.resonance, resonance, smoothCoef);
        follow (v.envModDepth, envModDepth, smoothCoef);
        follow (v.accentLevel, accentLevelTarget, smoothCoef);
        follow (v.accentAmp2, accentAmp2, smoothCoef);
        follow (v.tuneFactor, tuneFactor, smoothCoef);
        follow (v.rawResonance, rawResonanceTarget, smoothCoef);

        // 2. Glide; the period never nears zero, so it needs no guard
        const auto targetPeriod = v.tuneFactor * target;
        v.period = v.period - (v.period - targetPeriod) * glideCoef;

        // 3. Filter envelope
        if (v.envelopeInAttack)
        {
            v.envelope = v.envelope - attackCoef * v.envelope + denormalGuard;

            if (v.envelope < 0.001)
            {
                v.envelopeInAttack = false;
                v.envelope = 1.0;
            }
        }
        else
        {
            const auto coefficient = isAccented ? accentDecayCoef : decayCoef;
            v.envelope = v.envelope - coefficient * v.envelope + denormalGuard;
        }

        const auto envelopeOutput = v.envelopeInAttack ? 1.0 - v.envelope : v.envelope;

        // 4. Envelope modulation
        const auto envelopeModulation = v.envModDepth * envelopeOutput;

        // 5. Accent sweep
        const auto accentInput = isAccented ? envelopeOutput : 0.0;
        follow (v.fastAccent, accentInput, fastAccentCoef);
        follow (v.slowAccent, v.fastAccent, slowAccentCoef);

        const auto sweepMix = sweepLinked ? v.rawResonance * v.rawResonance * v.rawResonance : sweepAmount;
        const auto mixed = (1.0 - sweepMix) * v.fastAccent + sweepMix * v.slowAccent;
        follow (v.sweep, mixed, v.fastAccent > 0.3 ? fastSweepCoef : slowSweepCoef);

        // 6. Cutoff control, as the exponent of the cutoff coefficient
        const auto cutoffControl = 0.13 * v.accentLevel * v.sweep + envelopeModulation + v.cutoffOffset;

        // 8. Amplitude envelope. The gate carries no guard: after a note-off it must
        // stay exactly zero, or its follower never switches to the release coefficient.
        v.gate = v.gate * (1.0 - gateDecay);

        if (v.gate < 1.0e-30)
            v.gate = 0.0;   // a long-held gate joins the release instead of turning subnormal

        follow (v.gateFollower, v.gate, v.gate != 0.0 ? gateFollowCoef : gateReleaseCoef);

        const auto accentAmpEnv = isAccented ? envelopeOutput * 2.4 * accentAmp1 : 0.0;
        follow (v.accentLevelEnv, accentAmpEnv, accentLevelCoef);

        const auto amplitudeTarget = v.amplitude < 0.0 ? 0.0 : v.gateFollower + v.accentLevelEnv * v.accentAmp2;
        follow (v.amplitude, amplitudeTarget, ampCoef);

        chunk.period[i] = v.period;
        // Beyond +-60 the cutoff coefficient is at one of its limits either way.
        chunk.cutoffExponent[i] = std::clamp ((cutoffControl * 199.5451563 + 0.21484375) / 12.9, -60.0, 60.0);
        chunk.resonance[i] = v.resonance;
        chunk.rawResonance[i] = v.rawResonance;
        chunk.amplitude[i] = v.amplitude;
        chunk.clearFilter[i] = v.amplitude < silentAmplitude;
    }

    controls = v;
}

template <typename MathFunctions>
void TarvelinCore::prepareFilterInput (int numSamples) noexcept
{
    const auto inputToSteps = filterDrive / filterScale * MathFunctions::stepsPerUnit;
    const auto scale = cutoffScale;

    // 10. Cutoff coefficient (nothing carries from sample to sample: this loop vectorises)
    for (int i = 0; i < numSamples; ++i)
        chunk.cutoff[i] = std::min (std::max (MathFunctions::exp2 (chunk.cutoffExponent[i]) * scale, 0.0001), 0.999);

    // 9., 11. and 12. Filter input, input gain and feedback
    const auto up = upFactor;
    const auto& resonanceCurve = *curve;
    const auto inputLimit = curveInputLimit;
    auto segment = curveSegment;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto c = chunk.cutoff[i];
        const auto x = c * up;
        const auto r = chunk.resonance[i];

        auto inputGain = 1.0;

        if (x <= 0.1)
            inputGain = MathFunctions::tanh ((x - 0.03) * 57.15) * 0.4 + 0.6;
        else if (x > 0.5)
            inputGain = 1.0 - r + r * (-1.9054747558462681 * c * x + 1.859060694772269 * x + 0.5800303216175069);

        const auto k = 2.0 * r * ResonanceCurves::lookUp (resonanceCurve, std::min (x, inputLimit), segment);

        chunk.filterInput[i] = inputGain * (chunk.oscillator[i] * inputToSteps);
        chunk.feedbackGain[i] = 2.0 * k;
    }

    curveSegment = segment;
}

void TarvelinCore::finishChunk (double* output, int numSamples, double tapScale) noexcept
{
    // Kept in locals for the loop, as the output could otherwise alias them.
    auto toneStage = tone;
    auto clipper = distortion;
    auto sections = bank;
    auto bankMix = smoothBankMix, driveAmount = smoothDrive, level = smoothDistortionLevel, gain = smoothVolume;
    const auto bankMixTarget = raw[TarvelinIds::bankMix];

    for (int i = 0; i < numSamples; ++i)
    {
        follow (bankMix, bankMixTarget, smoothCoef);
        follow (driveAmount, drive, smoothCoef);
        follow (level, distortionLevel, smoothCoef);
        follow (gain, volume, smoothCoef);

        // 15. DC and tone stage
        const auto voice = chunk.tapped[i] * chunk.amplitude[i] * tapScale;
        const auto toneOutput = toneStage.process (voice, dcCoef, chunk.rawResonance[i]);

        // 16. to 19. Effect
        double out;

        if (! effectOn)
        {
            out = toneOutput * gain;
        }
        else if (bankAfterDistortion)
        {
            const auto distorted = clipper.process (toneOutput * driveAmount, level, distortionDecayA, distortionDecayB);
            const auto banked = sections.process (distorted);
            out = (bankMix * banked + (1.0 - bankMix) * distorted) * volume;
        }
        else
        {
            const auto banked = sections.process (toneOutput);
            const auto blended = bankMix * banked + (1.0 - bankMix) * toneOutput;
            out = clipper.process (blended * driveAmount, level, distortionDecayA, distortionDecayB) * gain;
        }

        // Below -300 dB the output is only what the denormal guards leave behind
        // (about 2e-18 of DC at rest), so a voice at rest is exactly silent.
        output[i] = std::abs (out) < 1.0e-15 ? 0.0 : out;
    }

    tone = toneStage;
    distortion = clipper;
    bank = sections;
    smoothBankMix = bankMix;
    smoothDrive = driveAmount;
    smoothDistortionLevel = level;
    smoothVolume = gain;
}

//==============================================================================
template <typename MathFunctions>
void TarvelinCore::Oscillator::process (const double* cyclePeriod, double* output, int numSamples,
                                        bool squareWave, double downsampling) noexcept
{
    constexpr double phaseToRadians = pi / 80.0;

    // The phase of each sample, read first and advanced after use like the impulse trains it drives.
    auto p = phase;

    for (int i = 0; i < numSamples; ++i)
    {
        phases[i] = p;
        harmonics[i] = 2.0 * std::floor (0.5 * cyclePeriod[i]) + 1.0;
        widths[i] = squareWave ? ((std::sqrt (cyclePeriod[i] * downsampling) / 26.0 - 1.0) * -0.19 + 0.49) * 80.0
                               : 0.0;

        p += 80.0 / cyclePeriod[i];

        if (p >= 80.0)
        {
            p -= 80.0;

            // A period near zero (a fresh engine gliding up) advances many cycles at once.
            if (p >= 80.0)
                p = std::fmod (p, 80.0);
        }
    }

    phase = p;

    // The impulse trains: sin (N x) / (N sin x), 1 where sin x is 0. Nothing carries
    // from one sample to the next here, so these loops vectorise.
    const auto blit = [] (double radians, double n)
    {
        // Where sin x is 0, so is sin (N x), and adding 1 to both gives the 1 wanted;
        // anywhere else nothing is added. (A select would keep the loop from vectorising.)
        const auto s = MathFunctions::sin (radians);
        const auto atZero = static_cast<double> (s == 0.0);
        return (MathFunctions::sin (n * radians) + atZero) / (n * s + atZero);
    };

    for (int i = 0; i < numSamples; ++i)
        train1[i] = blit (phases[i] * phaseToRadians, harmonics[i]);

    if (squareWave)
        for (int i = 0; i < numSamples; ++i)
            train2[i] = blit ((phases[i] - widths[i]) * phaseToRadians, harmonics[i]);

    // The leaky integrator, with the square's shaping
    auto integrator = leak;
    auto previous = previousShape;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto ph = phases[i];

        if (squareWave)
        {
            const auto shape = ph < 4.0 ? -1.0 : (ph > 56.0 ? 1.0 : MathFunctions::tanh (ph - widths[i]));
            const auto rise = std::max (0.0, shape - previous);
            const auto blend = std::min (1.0, cyclePeriod[i] * 0.005);

            integrator = (1.1 * train1[i] - (train2[i] * (1.0 - blend) + rise * blend) + integrator) * 0.99;
            previous = shape;
            output[i] = integrator * -0.108 * 0.8;
        }
        else
        {
            integrator = (train1[i] - 1.0 / cyclePeriod[i] + integrator) * 0.99;
            previous = (ph - 40.0) * -0.025;
            output[i] = integrator * -0.108 * 2.0;
        }
    }

    leak = integrator;
    previousShape = previous;
}

template void TarvelinCore::Oscillator::process<FastMath> (const double*, double*, int, bool, double) noexcept;
template void TarvelinCore::Oscillator::process<ExactMath> (const double*, double*, int, bool, double) noexcept;

//==============================================================================
template <typename MathFunctions>
void TarvelinCore::ResonantFilter::process (Chunk& run, int numSamples) noexcept
{
    constexpr auto steps = MathFunctions::stepsPerUnit;
    const auto saturate = [] (double z) { return MathFunctions::saturation (z); };

    auto s1 = s[0], s2 = s[1], s3 = s[2], s4 = s[3];
    auto t1 = saturated[0], t2 = saturated[1], t3 = saturated[2], t4 = saturated[3];
    auto s4Before = s4BeforePass;
    auto b1 = b[0], b2 = b[1], b3 = b[2], b4 = b[3], b5 = b[4], b6 = b[5];

    for (int i = 0; i < numSamples; ++i)
    {
        if (run.clearFilter[i])
        {
            s1 = s2 = s3 = s4 = t1 = t2 = t3 = t4 = s4Before = 0.0;
            b1 = b2 = b3 = b4 = b5 = b6 = 0.0;
        }

        const auto u0 = run.filterInput[i];
        const auto k2 = run.feedbackGain[i];
        const auto c = run.cutoff[i];
        const auto a = c * steps;   // the stage gain 65000 c, in steps

        // Two passes on the same input, each stage s += a (T(input) - T(s)) with the
        // feedback u = u0 - 4k (s4 before the pass + s4 after it) / 2. Written as
        // s = (s - a T(s)) + a T(input) and u = (u0 - 2k s4 before) - 2k s4, the serial
        // chain from s4 through the four stages meets one multiply-add before each tanh
        // and the table's values within each.
        //
        // The output chain runs after each pass, so every pass of it sees the filter at
        // the same half-sample instant, as one system clocked at twice the rate.
        const auto runOutputChain = [c] (double s1BeforePass, double s1AfterPass,
                                         double& o1, double& o2, double& o3, double& o4, double& o5, double& o6)
        {
            // Each stage first moves towards its predecessor's old value (last to first,
            // so the old values are still there) ...
            o6 += (o5 - o6) * c;
            o5 += (o4 - o5) * c;
            o4 += (o3 - o4) * c;
            o3 += (o2 - o3) * c;
            o2 += (o1 - o2) * c;
            o1 += (s1BeforePass - o1) * c;
            const auto tapped = o6;

            // ... then the chain runs in series from the new s1.
            o1 += (s1AfterPass - o1) * c;
            o2 += (o1 - o2) * c;
            o3 += (o2 - o3) * c;
            o4 += (o3 - o4) * c;
            o5 += (o4 - o5) * c;
            o6 += (o5 - o6) * c;
            return tapped;
        };

        // First pass: the stages' own saturations are those the last sample left.
        const auto s1BeforeFirst = s1;
        auto u = (u0 - k2 * s4Before) - k2 * s4;
        s4Before = s4;

        const auto first1 = s1 - a * t1, first2 = s2 - a * t2, first3 = s3 - a * t3, first4 = s4 - a * t4;
        s1 = saturate (u).scaledPlus (a, first1);
        const auto sat1 = saturate (s1);
        s2 = sat1.scaledPlus (a, first2);
        const auto sat2 = saturate (s2);
        s3 = sat2.scaledPlus (a, first3);
        const auto sat3 = saturate (s3);
        s4 = sat3.scaledPlus (a, first4);
        const auto sat4 = saturate (s4);

        runOutputChain (s1BeforeFirst, s1, b1, b2, b3, b4, b5, b6);

        // Second pass: the same a, so each stage's own term is the one just found
        // for its successor (or, for s4, one look-up aside from the chain).
        const auto s1BeforeSecond = s1;
        u = (u0 - k2 * s4Before) - k2 * s4;
        s4Before = s4;

        const auto second1 = sat1.scaledPlus (-a, s1), second2 = sat2.scaledPlus (-a, s2);
        const auto second3 = sat3.scaledPlus (-a, s3), second4 = sat4.scaledPlus (-a, s4);
        s1 = saturate (u).scaledPlus (a, second1);
        const auto last1 = saturate (s1);
        s2 = last1.scaledPlus (a, second2);
        const auto last2 = saturate (s2);
        s3 = last2.scaledPlus (a, second3);
        const auto last3 = saturate (s3);
        s4 = last3.scaledPlus (a, second4);

        t1 = last1.value();
        t2 = last2.value();
        t3 = last3.value();
        t4 = saturate (s4).value();

        run.tapped[i] = runOutputChain (s1BeforeSecond, s1, b1, b2, b3, b4, b5, b6);
    }

    s[0] = s1; s[1] = s2; s[2] = s3; s[3] = s4;
    saturated[0] = t1; saturated[1] = t2; saturated[2] = t3; saturated[3] = t4;
    s4BeforePass = s4Before;
    b[0] = b1; b[1] = b2; b[2] = b3; b[3] = b4; b[4] = b5; b[5] = b6;
}

template void TarvelinCore::ResonantFilter::process<FastMath> (Chunk&, int) noexcept;
template void TarvelinCore::ResonantFilter::process<ExactMath> (Chunk&, int) noexcept;

//==============================================================================
double TarvelinCore::ToneStage::process (double voice, double coefficient, double resonanceAmount) noexcept
{
    // Every follower is updated before it is read: the high-pass is then the exact
    // complement of the follower's current output and never lifts the top of the band.
    follow (dc, voice, coefficient);
    const auto h = voice - dc;

    follow (l1, h, coefficient);
    follow (l2, l1, coefficient);
    follow (l3, l2, coefficient);

    return (0.3 * resonanceAmount + 0.7) * h - l1 - (1.0 - resonanceAmount) * l2 + (1.0 - resonanceAmount) * l3;
}

//==============================================================================
double TarvelinCore::Distortion::process (double y, double level, double decayA, double decayB) noexcept
{
    const auto threshold = level * (0.25 * memoryA + memoryB) * 0.8;

    memoryA -= (memoryA - 0.1) * decayA;
    memoryB -= (memoryB - 0.1) * decayB;

    const auto sign = y < 0.0 ? -1.0 : 1.0;
    const auto previousSign = previousInput < 0.0 ? -1.0 : 1.0;
    const auto magnitude = std::abs (y);
    previousInput = y;

    if ((magnitude > threshold && ! over) || sign != previousSign)
    {
        memoryA = memoryB = 1.0;
        over = true;
    }

    if (magnitude > threshold)
    {
        const auto t = magnitude / threshold - 1.0;
        return sign * (((1.0 / (1.5 * t + 0.5) - 0.5) * 0.5 + 0.25) * t * threshold + threshold);
    }

    over = false;
    memoryA = memoryB = 1.0;
    return y;
}

//==============================================================================
TarvelinCore::FilterBank::FilterBank()
{
    for (int i = 0; i < 3; ++i)
        setSection (i, 1.41, 0.71);
}

void TarvelinCore::FilterBank::setSection (int index, double f, double q) noexcept
{
    auto& section = sections[index];

    // The maps' columns are the half-steps' answers to a unit low, band and input.
    for (int column = 0; column < 3; ++column)
    {
        auto low = column == 0 ? 1.0 : 0.0;
        auto band = column == 1 ? 1.0 : 0.0;
        double output = 0.0;
        runHalfSteps (index, f, q, low, band, column == 2 ? 1.0 : 0.0, output);

        section.toLow[column] = low;
        section.toBand[column] = band;
        section.toOutput[column] = output;
    }
}

void TarvelinCore::FilterBank::runHalfSteps (int index, double f, double q, double& low, double& band, double input,
                                             double& output) noexcept
{
    const auto low1 = low + f * band;
    const auto high1 = input - q * band - low1;
    const auto band1 = band + f * high1;
    const auto low2 = low1 + f * band1;
    const auto high2 = input - q * band1 - low2;
    const auto band2 = band1 + f * high2;

    low = low2;
    band = band2;

    // Each section's two half-steps are averaged, which also cancels any
    // ringing at the half-step rate.
    if (index == 0)
        output = 0.5 * (low1 + low2);
    else if (index == 1)
        output = 0.5 * (band1 + band2);
    else
        output = 0.5 * (high1 + high2);
}

double TarvelinCore::FilterBank::process (double input) noexcept
{
    double sum = 0.0;

    for (auto& section : sections)
    {
        const auto low = section.low, band = section.band;
        sum += (section.toOutput[0] * low + section.toOutput[1] * band) + section.toOutput[2] * input;
        section.low = (section.toLow[0] * low + section.toLow[1] * band) + section.toLow[2] * input;
        section.band = (section.toBand[0] * low + section.toBand[1] * band) + section.toBand[2] * input;
    }

    return sum;
}
