#pragma once

#include "synth/ResonanceCurves.h"

#include <utility>
#include <vector>

/*  The instrument's one monophonic voice: pitch tables, held notes with
    last-note priority, legato glide and accent, the 24 voice parameters and the
    whole signal chain, rendered a run of mono samples per call.

    A run is rendered in chunks of up to 64 samples, each in passes: what does
    not depend on the filter's state (controls, envelopes, glide, oscillator,
    cutoff, input gain, feedback; vectorised where nothing carries from one
    sample to the next), then the filter's serial loop, whose chain of
    saturations bounds the cost, then the tone stage and the effect. A run
    sounds the same as its samples rendered one at a time.

    The engine takes no lock of its own: the plug-in serialises every call under
    its engine lock (except setSampleRate from prepare-to-play). Rendering never
    allocates, and neither does a note-on: the held-note list is reserved up front.
    Every input is accepted and nothing is ever reported.
*/
class TarvelinCore
{
public:
    static constexpr int numParameters = 24;
    static constexpr int numNotes = 128;

    /** Held notes beyond this many (a note struck again and again without its release)
        are ignored, so that a note-on never allocates.
    */
    static constexpr int maxHeldNotes = 2 * numNotes;

    /** The functions the render uses: bounded-error approximations (FastMath,
        the instrument's) or the standard library's (ExactMath, the reference).
    */
    enum class Math
    {
        fast,
        exact
    };

    explicit TarvelinCore (Math mathToUse = Math::fast);
    virtual ~TarvelinCore();

    TarvelinCore (const TarvelinCore&) = delete;
    TarvelinCore& operator= (const TarvelinCore&) = delete;

    //==========================================================================
    /** Fills the note frequencies and periods for this many steps per octave;
        anything but a finite positive number is ignored.
    */
    void buildPitchTables (double stepsPerOctave);

    /** 0 "accurate" (12 steps per octave), 1 "vintage" (12.02), 2 "battery low" (12.1);
        other modes are ignored. The sounding note keeps its period until the next note event.
    */
    void setTuning (int mode);

    /** Rescales every time constant to the rate and picks its resonance curve.
        Pitch follows any positive rate exactly; a rate other than the five supported
        ones uses the curve of the nearest of them. Rates at or below zero are ignored.
    */
    void setSampleRate (float rate);

    /** Sets voice parameter 0 to 23 from a normalised value; other ids are ignored. */
    void setParameter (int id, float normalisedValue);

    /** The value the parameter display shows for id 0 to 23: semitones for 0, slide
        seconds for 1, drive, distortion level and volume as factors, switches as 0 or 1,
        and the normalised value for the rest. 0 for any other id.
    */
    double getParameter (int id) const;

    /** A note whose velocity (0 to 1) is at or above this is accented. */
    void setAccentThreshold (float threshold) noexcept     { accentThreshold = threshold; }
    float getAccentThreshold() const noexcept              { return accentThreshold; }

    //==========================================================================
    /** Starts a note (0 to 127, others are ignored): the first held note restarts the
        envelopes without glide, a further one glides to its pitch legato. Ignored while
        maxHeldNotes are held.
    */
    void noteOn (int note, float velocity);

    /** Releases the earliest held entry of the note; the pitch glides back to the
        last note still held, or the gate closes when none is.
    */
    void noteOff (int note);

    /** Drops every held note and closes the gate; the tail decays naturally. */
    void allNotesOff();

    /** Advances the voice by numSamples and writes them; nothing for 0 or fewer. */
    void renderBlock (double* output, int numSamples) noexcept;

    /** Advances the voice by one sample and writes it. */
    void renderSample (double& output) noexcept    { renderBlock (&output, 1); }

    /** Told after a preset was applied: clears the filter bank's ringing. */
    virtual void currentPresetLoaded();

private:
    friend struct TarvelinCoreInspector;   // the tests' view of the signal stages

    static constexpr int maxChunk = 64;

    /** What each pass of a chunk leaves for the next ones, one value a sample. */
    struct Chunk
    {
        double period[maxChunk];
        double oscillator[maxChunk];
        double cutoffExponent[maxChunk];    // c = 2^this * cutoffScale, limited
        double resonance[maxChunk];         // smoothed r
        double rawResonance[maxChunk];      // smoothed raw parameter 3
        double amplitude[maxChunk];
        bool clearFilter[maxChunk];         // the voice is silent: the filter starts from rest

        double filterInput[maxChunk];       // input gain times the oscillator, in the saturation's steps
        double feedbackGain[maxChunk];      // 2k: the feedback is (s4 before + s4 after) / 2 times 4k
        double cutoff[maxChunk];            // c
        double tapped[maxChunk];            // the output chain's tap, in the saturation's steps
    };

    /** Every control value and envelope the first pass carries from sample to sample. */
    struct Controls
    {
        // Smoothed control values (those only the effect reads are smoothed in the last pass)
        double cutoffOffset = 0.0, resonance = 0.0, envModDepth = 0.0, accentLevel = 0.0;
        double accentAmp2 = 0.0, tuneFactor = 0.0, rawResonance = 0.0;

        // Glide, filter envelope, accent sweep and amplitude
        double period = 0.0;
        double envelope = 1.0;
        bool envelopeInAttack = true;
        double fastAccent = 0.0, slowAccent = 0.0, sweep = 0.0;
        double gate = 0.0, gateFollower = 0.0, accentLevelEnv = 0.0, amplitude = 0.0;
    };

    //==========================================================================
    /** The band-limited saw and square source: one phase in 0..80 drives the square's
        shaping and both impulse trains, so its two edges cannot drift apart.
    */
    struct Oscillator
    {
        double phase = 0.0;
        double leak = -0.5;
        double previousShape = 0.0;

        /** One output sample for each of the chunk's periods. */
        template <typename MathFunctions>
        void process (const double* cyclePeriod, double* output, int numSamples,
                      bool squareWave, double downsampling) noexcept;

    private:
        // Each sample's phase, harmonic count and impulse trains, worked out a chunk at a time
        double phases[maxChunk], harmonics[maxChunk], widths[maxChunk];
        double train1[maxChunk], train2[maxChunk];
    };

    /** The saturating four-stage filter and its six-stage output chain, both run twice
        per sample. Its state is kept in the saturation's own units, 65000 of the input
        over MathFunctions::stepsPerUnit, so that no multiply stands before each tanh.
    */
    struct ResonantFilter
    {
        double s[4] {};
        double saturated[4] {};     // tanh of each stage, always in step with it
        double s4BeforePass = 0.0;  // with s[3], the feedback memory
        double b[6] {};

        /** Runs a chunk's filterInput, feedbackGain, cutoff and clearFilter into its tapped. */
        template <typename MathFunctions>
        void process (Chunk& run, int numSamples) noexcept;
    };

    /** The DC follower and the tone shaping behind it. */
    struct ToneStage
    {
        double dc = 0.0, l1 = 0.0, l2 = 0.0, l3 = 0.0;

        double process (double voice, double coefficient, double resonanceAmount) noexcept;
    };

    /** The soft clipper whose threshold sags while it is driven. */
    struct Distortion
    {
        double memoryA = 1.0, memoryB = 1.0;
        double previousInput = 0.0;
        bool over = false;

        double process (double y, double level, double decayA, double decayB) noexcept;
    };

    /** The filter bank: three Chamberlin state-variable sections fed the same input,
        giving a low-pass, a band-pass and a high-pass.
    */
    struct FilterBank
    {
        /** A section's state, and one sample of it (two half-steps) as what it is, a linear
            map of (low, band, input): the new low and band and the section's output. Taken
            as a map, the serial chain from one sample's state to the next is a multiply and
            two adds instead of six dependent multiply-adds.
        */
        struct Section
        {
            double low = 0.0, band = 0.0;
            double toLow[3] {}, toBand[3] {}, toOutput[3] {};
        };

        FilterBank();

        /** Section 0 (low-pass), 1 (band-pass) or 2 (high-pass) with frequency coefficient f and damping q. */
        void setSection (int index, double f, double q) noexcept;

        /** One sample of the two half-steps as the sections are defined: what the maps are taken from. */
        static void runHalfSteps (int index, double f, double q, double& low, double& band, double input,
                                  double& output) noexcept;

        double process (double input) noexcept;

        Section sections[3];
    };

    //==========================================================================
    void updateDerivedValues();
    void updateParameter (int id);
    void updateCutoffOffset();
    void updateAccentAmplitudes();
    void updateBankCoefficients();

    template <typename MathFunctions> void renderChunk (double* output, int numSamples) noexcept;
    void runControls (int numSamples) noexcept;
    template <typename MathFunctions> void prepareFilterInput (int numSamples) noexcept;
    void finishChunk (double* output, int numSamples, double tapScale) noexcept;
    double notePeriod (int note) const noexcept    { return ratePeriods[note]; }

    //==========================================================================
    const Math math;
    float accentThreshold = 64.0f / 127.0f;
    std::vector<std::pair<int, float>> heldNotes;
    int accented = 0;

    double raw[numParameters] {};
    double noteFrequency[numNotes] {};
    double ratePeriods[numNotes] {};   // samples per cycle at the running rate

    // Rate set-up
    double sampleRate = 44100.0;
    double upFactor = 1.0, downFactor = 1.0;
    int rateIndex = 0;
    const ResonanceCurves::Curve* curve = &ResonanceCurves::get (0);
    double curveInputLimit = 0.999;
    int curveSegment = 1;   // where the last look-up ended, to start the next one there

    // Switches
    bool square = false, effectOn = false, bankAfterDistortion = true;
    bool accentAmpLinked = true, sweepLinked = false;

    // Derived values
    double tuneFactor = 0.0, glideCoef = 0.0;
    double cutoffBase = 0.0, resonance = 0.0, sweepAmount = 0.0;
    double envModDepth = 0.0, envModOffset = 0.0, cutoffOffset = 0.0;
    double attackCoef = 0.0, decayCoef = 0.0, accentDecayCoef = 0.0;
    double accentAmp1 = 0.0, accentAmp2 = 0.0;
    double drive = 1.0, bankFrequency = 0.5, bankSpread = 0.0;
    double distortionLevel = 1.0, bankDamping = 2.0, volume = 0.0;

    // Rate-dependent coefficients, each limited to 1 so that low rates stay stable
    double smoothCoef = 0.0, slowAccentCoef = 0.0, dcCoef = 0.0, ampCoef = 0.0;
    double cutoffScale = 0.0;
    double fastAccentCoef = 0.0, fastSweepCoef = 0.0, slowSweepCoef = 0.0;
    double gateDecay = 0.0, gateFollowCoef = 0.0, gateReleaseCoef = 0.0, accentLevelCoef = 0.0;
    double distortionDecayA = 0.0, distortionDecayB = 0.0;

    // Control values smoothed for the effect only
    double smoothBankMix = 0.0, smoothDrive = 0.0, smoothDistortionLevel = 0.0, smoothVolume = 0.0;

    double targetNotePeriod = 0.0;
    Controls controls;
    Oscillator oscillator;
    ResonantFilter filter;
    ToneStage tone;
    FilterBank bank;
    Distortion distortion;
    Chunk chunk;
};
