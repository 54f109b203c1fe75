#pragma once

/*  Ids of the instrument's own parameters and edit commands.

    The names belong to the resources: "parameters.xml" defines every parameter
    below with its name, kind, range and default, and "events.xml" names every
    edit command. Code refers to them only through these constants, so that the
    resources stay the one place where the names live.
*/
namespace TarvelinIds
{

//==============================================================================
/** Parameter ids. 0 to 23 go to the voice engine and 24 to 35 drive the
    arpeggiator and the randomizer; these 36 are the host-visible ones. The rest
    carry the panel's lamps and displays and the two synthesis settings.
*/
enum ParameterId : int
{
    tune            = 0,
    slideTime       = 1,
    cutoff          = 2,
    resonance       = 3,
    accentSweep     = 4,
    envMod          = 5,
    attack          = 6,
    decay           = 7,
    accentDecay     = 8,
    accent          = 9,
    accentAmp       = 10,
    gateLength      = 11,   // also the gate of both step clocks
    drive           = 12,
    bankFrequency   = 13,
    bankSpread      = 14,
    distortionLevel = 15,
    bankDamping     = 16,
    bankMix         = 17,
    waveform        = 18,   // "Square" below 0.5 inclusive, "Sawtooth" above
    accentAmpLink   = 19,
    accentSweepLink = 20,
    effectOn        = 21,
    bankOrder       = 22,   // "Post" below 0.5 inclusive, "Pre" above
    volume          = 23,

    arpChord        = 24,
    arpMode         = 25,
    arpShuffle      = 26,   // percent 0 to 100, mirrored into arpShuffleAmount
    arpOctaveMinus1 = 27,
    arpOctave0      = 28,
    arpOctavePlus1  = 29,
    arpOctavePlus2  = 30,
    arpMultiplier   = 31,
    arpRepeater     = 32,
    gateThreshold   = 33,
    accentThreshold = 34,
    slideThreshold  = 35,

    selfResetState      = 36,
    arpShuffleAmount    = 37,   // the panel's shuffle as a plain percent
    arpOnState          = 38,
    arpRepeaterView     = 39,   // shows the repeater switch instead of the multiplier
    keyLampFirst        = 40,   // 13 key lamps, C to the upper C
    keyBlinkingFirst    = 53,   // 13 key blink states, C to the upper C
    gateLamp            = 66,
    accentLamp          = 67,
    slideLamp           = 68,
    gateBlinking        = 69,
    accentBlinking      = 70,
    slideBlinking       = 71,
    gateLevel           = 72,
    accentLevel         = 73,
    slideLevel          = 74,
    octaveDownLamp      = 75,
    octaveUpLamp        = 76,
    octaveDownBlinking  = 77,
    octaveUpBlinking    = 78,
    randChord           = 79,
    randNotesLamp       = 80,
    randNotesBlinking   = 81,
    thresholdsEnabled   = 82,
    levelEditState      = 83,
    accentVelocityLevel = 84,   // level * 0.5: low, medium, high
    oscillatorTuning    = 85    // mode * 0.5: accurate, vintage, battery low
};

constexpr int numVoiceParameters  = 24;
constexpr int numPresetParameters = 33;   // ids 0 to 32 are stored in presets
constexpr int numHostParameters   = 36;
constexpr int lastParameterId     = oscillatorTuning;

/** The panel's keyboard: 13 keys, C to the upper C. */
constexpr int numKeys = 13;

/** The lamp of panel key 0 to 12. */
constexpr int keyLamp (int index) noexcept        { return keyLampFirst + index; }

/** The blink state of panel key 0 to 12. */
constexpr int keyBlinking (int index) noexcept    { return keyBlinkingFirst + index; }

//==============================================================================
/** Uids of the instrument's edit commands, sent by the panel's buttons. */
enum EditCommandId : int
{
    transposeUp             = 0,
    transposeDown           = 1,
    selectStepFirst         = 2,    // 16 step buttons
    keyFirst                = 18,   // 13 keys, C to the upper C
    keySecondFirst          = 31,   // the keys' second action
    toggleGate              = 44,
    toggleAccent            = 45,
    toggleSlide             = 46,
    toggleOctaveDown        = 47,
    toggleOctaveUp          = 48,
    toggleGateSecond        = 49,   // the flag buttons' second action: all steps
    toggleAccentSecond      = 50,
    toggleSlideSecond       = 51,
    toggleOctaveDownSecond  = 52,
    toggleOctaveUpSecond    = 53,
    nextStep                = 54,
    prevStep                = 55,
    toggleRandomNotes       = 56,
    toggleLevelEdit         = 57,
    acceptAndFix            = 58
};

constexpr int numSteps          = 16;
constexpr int numEditCommands   = 59;

/** The command of step button 0 to 15. */
constexpr int selectStep (int index) noexcept     { return selectStepFirst + index; }

/** The command of panel key 0 to 12. */
constexpr int key (int index) noexcept            { return keyFirst + index; }

/** The second action of panel key 0 to 12. */
constexpr int keySecond (int index) noexcept      { return keySecondFirst + index; }

} // namespace TarvelinIds
