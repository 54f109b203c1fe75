#include "framework/GuiEventsMap.h"
#include "framework/ParameterManager.h"
#include "support/InstrumentTestSupport.h"
#include "synth/TarvelinIds.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>
#include <vector>

/*  The stored definitions are the vocabulary that presets, maps, skins and the
    plug-in state use: every id the code refers to must be defined with the kind
    and range its handlers expect, and no name may clash with one the code adds.
*/

namespace
{
using namespace TarvelinIds;

struct ExpectedParameter
{
    int id;
    juce::String name;
    juce::String kind;                  // as describe() gives it
    const char* defaultText = nullptr;  // null where no behaviour depends on the default
};

using Named = std::pair<int, juce::String>;

const juce::String unit = "float 0..1", percent = "int 0..100", offOn = "enum Off;On";
const juce::String chords = "enum Custom;Major;Minor;7th;m7th;M7;m7_5;Dim";
const char* const keyNames[numKeys] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B", "Upper C" };

juce::String twoDigits (int number) { return juce::String (number).paddedLeft ('0', 2); }

juce::String describe (const Parameter& p)
{
    if (typeid (p) == typeid (FloatParameter))
    {
        const auto& f = static_cast<const FloatParameter&> (p);
        return juce::String::formatted ("float %g..%g", f.getMinimum(), f.getMaximum());
    }

    if (typeid (p) == typeid (IntParameter))
    {
        const auto& i = static_cast<const IntParameter&> (p);
        return juce::String::formatted ("int %d..%d", i.getMinimum(), i.getMaximum());
    }

    if (typeid (p) == typeid (EnumParameter))
        return "enum " + static_cast<const EnumParameter&> (p).getNamesText();

    return typeid (p) == typeid (BoolParameter) ? "bool" : typeid (p).name();
}

// Switch defaults are the voice engine's own start values; choice defaults are
// the arpeggiator's start state; lamps start dark and percents at 0.
std::vector<ExpectedParameter> expectedParameters()
{
    std::vector<ExpectedParameter> table {
        { tune, "Tune", unit, "0.5" }, { slideTime, "Slide Time", unit }, { cutoff, "Cutoff", unit },
        { resonance, "Resonance", unit }, { accentSweep, "Accent Sweep", unit }, { envMod, "Env Mod", unit },
        { attack, "Attack", unit }, { decay, "Decay", unit }, { accentDecay, "Accent Decay", unit },
        { accent, "Accent", unit }, { accentAmp, "Accent Amp", unit }, { gateLength, "Gate Length", unit },
        { drive, "Drive", unit, "0" }, { bankFrequency, "Bank Frequency", unit, "0.5" },
        { bankSpread, "Bank Spread", unit, "0.5" }, { distortionLevel, "Distortion Level", unit, "1" },
        { bankDamping, "Bank Damping", unit, "0" }, { bankMix, "Bank Mix", unit },
        { waveform, "Waveform", "enum Square;Sawtooth", "Sawtooth" },
        { accentAmpLink, "Accent Amp Link", "enum Free;Linked", "Linked" },
        { accentSweepLink, "Accent Sweep Link", "enum Free;Linked", "Free" },
        { effectOn, "Effect", offOn, "Off" }, { bankOrder, "Bank Order", "enum Post;Pre", "Post" },
        { volume, "Volume", unit },

        { arpChord, "Arp Chord", chords, "Custom" }, { arpMode, "Arp Mode", "enum Off;Random;Up;Down;Up-Down", "Off" },
        { arpShuffle, "Arp Shuffle", percent, "0" }, { arpOctaveMinus1, "Arp Octave -1", offOn, "Off" },
        { arpOctave0, "Arp Octave 0", offOn, "Off" }, { arpOctavePlus1, "Arp Octave +1", offOn, "Off" },
        { arpOctavePlus2, "Arp Octave +2", offOn, "Off" },
        { arpMultiplier, "Arp Multiplier", "enum 1;1.5;2;3;4;6", "1" }, { arpRepeater, "Arp Repeater", "enum 1;2;3;4;6", "1" },
        { gateThreshold, "Gate Threshold", unit }, { accentThreshold, "Accent Threshold", unit },
        { slideThreshold, "Slide Threshold", unit },

        { arpShuffleAmount, "Arp Shuffle Amount", percent, "0" },
        { gateLevel, "Gate Level", unit, "0" }, { accentLevel, "Accent Level", unit, "0" },
        { slideLevel, "Slide Level", unit, "0" }, { randChord, "Rand Chord", chords, "Custom" },
        { accentVelocityLevel, "Accent Velocity Level", unit, "0.5" },
        { oscillatorTuning, "Oscillator Tuning", unit, "0.5" },
    };

    std::vector<Named> lamps {
        { selfResetState, "Self Reset State" }, { arpOnState, "Arp On State" }, { arpRepeaterView, "Arp Repeater View" },
        { gateLamp, "Gate Lamp" }, { accentLamp, "Accent Lamp" }, { slideLamp, "Slide Lamp" },
        { gateBlinking, "Gate Blinking" }, { accentBlinking, "Accent Blinking" }, { slideBlinking, "Slide Blinking" },
        { octaveDownLamp, "Octave Down Lamp" }, { octaveUpLamp, "Octave Up Lamp" },
        { octaveDownBlinking, "Octave Down Blinking" }, { octaveUpBlinking, "Octave Up Blinking" },
        { randNotesLamp, "Rand Notes Lamp" }, { randNotesBlinking, "Rand Notes Blinking" },
        { thresholdsEnabled, "Thresholds Enabled" }, { levelEditState, "Level Edit State" },
    };

    for (int k = 0; k < numKeys; ++k)
    {
        lamps.emplace_back (keyLamp (k), "Key " + juce::String (keyNames[k]) + " Lamp");
        lamps.emplace_back (keyBlinking (k), "Key " + juce::String (keyNames[k]) + " Blinking");
    }

    for (const auto& [id, name] : lamps)
        table.push_back ({ id, name, "bool", "false" });

    return table;
}

// "events.xml": the edit commands 0 to 58.
std::vector<Named> expectedEditCommands()
{
    std::vector<Named> table {
        { transposeUp, "Transpose Up" }, { transposeDown, "Transpose Down" }, { toggleGate, "Toggle Gate" },
        { toggleAccent, "Toggle Accent" }, { toggleSlide, "Toggle Slide" }, { toggleOctaveDown, "Toggle Octave Down" },
        { toggleOctaveUp, "Toggle Octave Up" }, { toggleGateSecond, "Toggle Gate 2nd" },
        { toggleAccentSecond, "Toggle Accent 2nd" }, { toggleSlideSecond, "Toggle Slide 2nd" },
        { toggleOctaveDownSecond, "Toggle Octave Down 2nd" }, { toggleOctaveUpSecond, "Toggle Octave Up 2nd" },
        { nextStep, "Next Step" }, { prevStep, "Prev Step" }, { toggleRandomNotes, "Toggle Random Notes" },
        { toggleLevelEdit, "Toggle Level Edit" }, { acceptAndFix, "Accept And Fix" },
    };

    for (int step = 0; step < numSteps; ++step)
        table.emplace_back (selectStep (step), "Select Step " + twoDigits (step + 1));

    for (int k = 0; k < numKeys; ++k)
    {
        table.emplace_back (key (k), "Key " + juce::String (keyNames[k]));
        table.emplace_back (keySecond (k), "Key " + juce::String (keyNames[k]) + " 2nd");
    }

    return table;
}

// The parameters the preset and sequencer layers add in code, after the definitions were read.
std::vector<Named> parametersAddedInCode()
{
    std::vector<Named> added { { 110000, "Current Preset Number" }, { 110001, "Current Preset Name" } };
    int id = 200000;

    for (auto* name : { "Internal Sequencer State", "Internal Sync State", "Host Mode State", "Note Off State",
                        "Play State", "Write Mode State", "Write Mode Activity", "Auto Follow State",
                        "Randomizer State", "Length Mode State", "Clipboard State", "Native Mode Ready State",
                        "Pattern Number", "Pattern Name", "Pattern Name Edition State", "Pattern Tempo",
                        "Pattern Tempo State", "Pattern Shuffle" })
        added.emplace_back (id++, name);

    for (auto* suffix : { " State", " Blinking", " Inverse", " Length State" })
        for (int step = 1; step <= numSteps; ++step)
            added.emplace_back (id++, "Step " + twoDigits (step) + suffix);

    return added;
}

// The sequencer layer's actions 2000 to 2038.
std::vector<Named> sequencerActions()
{
    std::vector<Named> actions;

    for (auto* name : { "Toggle Internal Sequencer", "Toggle Internal Sync", "Toggle Host Mode", "Toggle Note Off Mode",
                        "Toggle Pattern Write Mode", "Toggle Auto Follow Mode", "Toggle Randomizer", "Toggle Length Mode",
                        "Start/Stop", "Start", "Stop", "Shift Left", "Shift Right", "Prev", "Next", "Accept", "Undo",
                        "Copy", "Paste", "Clear", "Clear 2nd", "Load Patterns", "Save Patterns" })
        actions.emplace_back (2000 + static_cast<int> (actions.size()), name);

    for (int length = 1; length <= numSteps; ++length)
        actions.emplace_back (2000 + static_cast<int> (actions.size()), "Set Pattern Length To " + twoDigits (length));

    return actions;
}
} // namespace

//==============================================================================
TEST (DefinitionResources, DefineEveryInstrumentParameterAndNothingElseWithItsKindRangeDefaultAndHostVisibility)
{
    ParameterManager parameters;
    parameters.loadFromResource ("parameters.xml");
    EXPECT_EQ (parameters.getApplication(), "Tarvelin");
    EXPECT_EQ (parameters.getNumParameters(), lastParameterId + 1);
    std::set<int> ids;

    for (const auto& expected : expectedParameters())
    {
        SCOPED_TRACE (expected.name);
        EXPECT_TRUE (ids.insert (expected.id).second);
        const auto* parameter = parameters.getParameter (expected.id);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getName(), expected.name);
        EXPECT_EQ (parameter->getAutoFlag(), expected.id < numHostParameters);
        EXPECT_EQ (describe (*parameter), expected.kind);

        if (expected.defaultText != nullptr)
        {
            EXPECT_EQ (parameter->getText().toStdString(), expected.defaultText);
        }
    }

    EXPECT_EQ (static_cast<int> (ids.size()), lastParameterId + 1);
    EXPECT_EQ (*ids.rbegin(), lastParameterId);
}

// The instrument adds the preset and sequencer parameters and the built-in and
// sequencer events to what it read: none may clash with the resources' own.
TEST (DefinitionResources, TheInstrumentHoldsBothResourcesAndAddsItsOwnParametersAndEventsUnderTheirIdsAndNames)
{
    const auto instrument = InstrumentTest::createInstrument();
    const auto& parameters = instrument->getParameterManager();
    const auto& events = instrument->getEventsMap();

    EXPECT_EQ (parameters.getNumParameters(), lastParameterId + 1 + 2 + 82);
    EXPECT_EQ (parameters.getNameOf (lastParameterId), "Oscillator Tuning");
    for (const auto& [id, name] : parametersAddedInCode())
        EXPECT_EQ (parameters.getNameOf (id), name) << id;

    // Only the edit commands come from "events.xml": the count leaves room for nothing else.
    EXPECT_EQ (events.getNumEvents(), numEditCommands + 11 + 39);
    EXPECT_EQ (events.getEventUid ("Options"), GuiEventsMap::optionsEvent);
    EXPECT_EQ (events.getEventUid ("Toggle Midi Learn"), GuiEventsMap::toggleMidiLearnEvent);
    for (const auto& [uid, name] : sequencerActions())
        EXPECT_EQ (events.getEventName (uid), name) << uid;
    for (const auto& [uid, name] : expectedEditCommands())
    {
        EXPECT_LT (uid, numEditCommands);
        EXPECT_EQ (events.getEventUid (name), uid) << name;
    }
}
