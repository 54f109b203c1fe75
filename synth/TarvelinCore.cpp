#include "synth/TarvelinCore.h"

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

constexpr double filterScale = 65000.0;

double saturate (double y) noexcept    { return std::tanh (y * (1.0 / filterScale)); }

// Coefficients are written for 44100 Hz; at very low rates a scaled one could
// pass 1 and overshoot its target, so each is held to at most 1.
double perSample (double coefficient) noexcept    { return std::min (1.0, coefficient); }

void follow (double& value, double target, double coefficient) noexcept
{
    value = value - (value - target) * coefficient + denormalGuard;
}
} // namespace

//==============================================================================
TarvelinCore::TarvelinCore()
{
    heldNotes.reserve (2 * numNotes);
    buildPitchTables (12.0);

    // The 44100 Hz set is in force until a rate is given, so a fresh engine renders soundly.
    updateDerivedValues();

    bankSpread = 0.0;
    bankFrequency = 0.5;
    bankDamping = 2.0;
    drive = 1.0;
    distortionLevel = 1.0;

    for (auto& section : bank)
        section = BankSection();

    targetNotePeriod = ResonanceCurves::rates[0] / noteFrequency[36];
    period = 0.0;
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
        bank[i].f = f;
        bank[i].q = std::min ({ 2.0 / f - f / 2.0, 2.0, bankDamping });
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
    if (note < 0 || note >= numNotes)
        return;

    heldNotes.emplace_back (note, velocity);
    targetNotePeriod = notePeriod (note);

    const bool isAccent = (velocity >= accentThreshold);

    if (heldNotes.size() == 1)
    {
        gate = 1.0;
        period = targetNotePeriod * smoothTuneFactor;
        envelopeInAttack = true;
        envelope = 1.0;
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
        gate = 0.0;
    else
        targetNotePeriod = notePeriod (heldNotes.back().first);
}

void TarvelinCore::allNotesOff()
{
    heldNotes.clear();
    accented = 0;
    gate = 0.0;
}

void TarvelinCore::currentPresetLoaded()
{
    for (auto& section : bank)
    {
        section.low = 0.0;
        section.band = 0.0;
    }
}

//==============================================================================
void TarvelinCore::renderSample (double& output) noexcept
{
    // 1. Smoothing of the control values
    follow (smoothCutoffOffset, cutoffOffset, smoothCoef);
    follow (smoothResonance, resonance, smoothCoef);
    follow (smoothEnvModDepth, envModDepth, smoothCoef);
    follow (smoothAccentLevel, raw[TarvelinIds::accent], smoothCoef);
    follow (smoothAccentAmp2, accentAmp2, smoothCoef);
    follow (smoothTuneFactor, tuneFactor, smoothCoef);
    follow (smoothBankMix, raw[TarvelinIds::bankMix], smoothCoef);
    follow (smoothDrive, drive, smoothCoef);
    follow (smoothRawResonance, raw[TarvelinIds::resonance], smoothCoef);
    follow (smoothDistortionLevel, distortionLevel, smoothCoef);
    follow (smoothVolume, volume, smoothCoef);

    // 2. Glide; the period never nears zero, so it needs no guard
    const auto targetPeriod = smoothTuneFactor * targetNotePeriod;
    period = period - (period - targetPeriod) * glideCoef;

    // 3. Filter envelope
    if (envelopeInAttack)
    {
        envelope = envelope - attackCoef * envelope + denormalGuard;

        if (envelope < 0.001)
        {
            envelopeInAttack = false;
            envelope = 1.0;
        }
    }
    else
    {
        const auto coefficient = accented != 0 ? accentDecayCoef : decayCoef;
        envelope = envelope - coefficient * envelope + denormalGuard;
    }

    const auto envelopeOutput = envelopeInAttack ? 1.0 - envelope : envelope;

    // 4. Envelope modulation
    const auto envelopeModulation = smoothEnvModDepth * envelopeOutput;

    // 5. Accent sweep
    const auto accentInput = accented != 0 ? envelopeOutput : 0.0;
    follow (fastAccent, accentInput, fastAccentCoef);
    follow (slowAccent, fastAccent, slowAccentCoef);

    const auto sweepMix = sweepLinked ? smoothRawResonance * smoothRawResonance * smoothRawResonance
                                      : sweepAmount;
    const auto mixed = (1.0 - sweepMix) * fastAccent + sweepMix * slowAccent;
    follow (sweep, mixed, fastAccent > 0.3 ? fastSweepCoef : slowSweepCoef);

    // 6. Cutoff control
    const auto cutoffControl = 0.13 * smoothAccentLevel * sweep + envelopeModulation + smoothCutoffOffset;

    // 7. Oscillator
    const auto oscillatorOutput = oscillator.process (period, square, downFactor);

    // 8. Amplitude envelope. The gate carries no guard: after a note-off it must
    // stay exactly zero, or its follower never switches to the release coefficient.
    gate = gate * (1.0 - gateDecay);

    if (gate < 1.0e-30)
        gate = 0.0;   // a long-held gate joins the release instead of turning subnormal

    follow (gateFollower, gate, gate != 0.0 ? gateFollowCoef : gateReleaseCoef);

    const auto accentAmpEnv = accented != 0 ? envelopeOutput * 2.4 * accentAmp1 : 0.0;
    follow (accentLevelEnv, accentAmpEnv, accentLevelCoef);

    const auto amplitudeTarget = amplitude < 0.0 ? 0.0 : gateFollower + accentLevelEnv * smoothAccentAmp2;
    follow (amplitude, amplitudeTarget, ampCoef);

    if (amplitude < silentAmplitude)
        filter.clear();

    // 9. to 12. Filter input, cutoff coefficient, input gain and feedback
    const auto filterInput = oscillatorOutput * 0.5 * 1.0e6;

    const auto c = std::clamp (std::exp2 ((cutoffControl * 199.5451563 + 0.21484375) / 12.9) * cutoffScale,
                               0.0001, 0.999);
    const auto x = c * upFactor;
    const auto r = smoothResonance;

    auto inputGain = 1.0;

    if (x <= 0.1)
        inputGain = std::tanh ((x - 0.03) * 57.15) * 0.4 + 0.6;
    else if (x > 0.5)
        inputGain = 1.0 - r + r * (-1.9054747558462681 * c * x + 1.859060694772269 * x + 0.5800303216175069);

    const auto k = 2.0 * r * ResonanceCurves::lookUp (*curve, std::min (x, curveInputLimit));

    // 13. and 14. Resonant filter and output chain
    const auto tapped = filter.process (inputGain * filterInput, k, c);

    // 15. DC and tone stage
    const auto voice = tapped * amplitude * 1.5 / 1.0e6;
    const auto toneOutput = tone.process (voice, dcCoef, smoothRawResonance);

    // 16. to 19. Effect
    double out;

    if (! effectOn)
    {
        out = toneOutput * smoothVolume;
    }
    else if (bankAfterDistortion)
    {
        const auto distorted = distortion.process (toneOutput * smoothDrive, smoothDistortionLevel,
                                                   distortionDecayA, distortionDecayB);
        const auto banked = processBank (distorted);
        out = (smoothBankMix * banked + (1.0 - smoothBankMix) * distorted) * volume;
    }
    else
    {
        const auto banked = processBank (toneOutput);
        const auto blended = smoothBankMix * banked + (1.0 - smoothBankMix) * toneOutput;
        out = distortion.process (blended * smoothDrive, smoothDistortionLevel,
                                  distortionDecayA, distortionDecayB) * smoothVolume;
    }

    // Below -300 dB the output is only what the denormal guards leave behind
    // (about 2e-18 of DC at rest), so a voice at rest is exactly silent.
    output = std::abs (out) < 1.0e-15 ? 0.0 : out;
}

//==============================================================================
double TarvelinCore::Oscillator::process (double cyclePeriod, bool squareWave, double downsampling) noexcept
{
    constexpr double phaseToRadians = pi / 80.0;
    const auto harmonics = 2.0 * std::floor (0.5 * cyclePeriod) + 1.0;

    const auto blit = [harmonics] (double radians)
    {
        const auto s = std::sin (radians);
        return s == 0.0 ? 1.0 : std::sin (harmonics * radians) / (harmonics * s);
    };

    // The phase is read first and advanced after use, like the impulse trains it drives.
    const auto train1 = blit (phase * phaseToRadians);
    double out;

    if (squareWave)
    {
        const auto width = ((std::sqrt (cyclePeriod * downsampling) / 26.0 - 1.0) * -0.19 + 0.49) * 80.0;
        const auto train2 = blit ((phase - width) * phaseToRadians);
        const auto shape = phase < 4.0 ? -1.0 : (phase > 56.0 ? 1.0 : std::tanh (phase - width));
        const auto rise = std::max (0.0, shape - previousShape);
        const auto blend = std::min (1.0, cyclePeriod * 0.005);

        leak = (1.1 * train1 - (train2 * (1.0 - blend) + rise * blend) + leak) * 0.99;
        previousShape = shape;
        out = leak * -0.108 * 0.8;
    }
    else
    {
        leak = (train1 - 1.0 / cyclePeriod + leak) * 0.99;
        previousShape = (phase - 40.0) * -0.025;
        out = leak * -0.108 * 2.0;
    }

    phase += 80.0 / cyclePeriod;

    if (phase >= 80.0)
    {
        phase -= 80.0;

        // A period near zero (a fresh engine gliding up) advances many cycles at once.
        if (phase >= 80.0)
            phase = std::fmod (phase, 80.0);
    }

    return out;
}

//==============================================================================
double TarvelinCore::ResonantFilter::process (double u0, double k, double c) noexcept
{
    const auto a = filterScale * c;

    // The chain runs after each filter pass, so every pass of it sees the filter
    // at the same half-sample instant, as one system clocked at twice the rate.
    auto s1Before = s1;
    runFilterPass (u0, k, a);
    runOutputChainPass (s1Before, c);

    s1Before = s1;
    runFilterPass (u0, k, a);
    return runOutputChainPass (s1Before, c);
}

void TarvelinCore::ResonantFilter::runFilterPass (double u0, double k, double a) noexcept
{
    const auto s4Before = s4;
    const auto u = u0 - 4.0 * k * feedback;

    // Each stage's saturated value is kept for its successor and for the next pass.
    s1 += a * (saturate (u) - saturated[0]);
    saturated[0] = saturate (s1);

    s2 += a * (saturated[0] - saturated[1]);
    saturated[1] = saturate (s2);

    s3 += a * (saturated[1] - saturated[2]);
    saturated[2] = saturate (s3);

    s4 += a * (saturated[2] - saturated[3]);
    saturated[3] = saturate (s4);

    feedback = 0.5 * (s4Before + s4);
}

double TarvelinCore::ResonantFilter::runOutputChainPass (double s1BeforeFilterPass, double c) noexcept
{
    // Each stage first moves towards its predecessor's old value (last to first,
    // so the old values are still there) ...
    for (int i = 5; i > 0; --i)
        b[i] += (b[i - 1] - b[i]) * c;

    b[0] += (s1BeforeFilterPass - b[0]) * c;

    const auto tapped = b[5];

    // ... then the chain runs in series from the new s1.
    b[0] += (s1 - b[0]) * c;

    for (int i = 1; i < 6; ++i)
        b[i] += (b[i - 1] - b[i]) * c;

    return tapped;
}

void TarvelinCore::ResonantFilter::clear() noexcept
{
    s1 = s2 = s3 = s4 = feedback = 0.0;
    std::fill (std::begin (saturated), std::end (saturated), 0.0);
    std::fill (std::begin (b), std::end (b), 0.0);
}

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
double TarvelinCore::processBank (double input) noexcept
{
    double sum = 0.0;

    for (int i = 0; i < 3; ++i)
    {
        auto& section = bank[i];
        const auto f = section.f;
        const auto q = section.q;

        const auto low1 = section.low + f * section.band;
        const auto high1 = input - q * section.band - low1;
        const auto band1 = section.band + f * high1;
        const auto low2 = low1 + f * band1;
        const auto high2 = input - q * band1 - low2;
        const auto band2 = band1 + f * high2;

        section.low = low2;
        section.band = band2;

        // Each section's two half-steps are averaged, which also cancels any
        // ringing at the half-step rate.
        if (i == 0)
            sum += 0.5 * (low1 + low2);
        else if (i == 1)
            sum += 0.5 * (band1 + band2);
        else
            sum += 0.5 * (high1 + high2);
    }

    return sum;
}
