#include "framework/GuiEventsMap.h"
#include "framework/ParameterManager.h"
#include "support/InstrumentTestSupport.h"
#include "synth/TarvelinIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <typeinfo>
#include <utility>
#include <vector>

/*  The stored definitions are the vocabulary that presets, maps, skins and the
    plug-in state use: every id the code refers to must be defined with the kind
    and range its handlers expect, and no name may clash with one the code adds.
*/

namespace
{
using namespace TarvelinIds;

enum class Kind
{
    floatKind,
    intKind,
    enumKind,
    boolKind
};

struct ExpectedParameter
{
    int id;
    juce::String name;
    Kind kind;
    int minimum = 0;                   // float and int kinds
    int maximum = 1;
    const char* names = nullptr;       // enum kind
    const char* defaultText = nullptr; // null where no behaviour depends on the default
};

constexpr auto chordNames = "Custom;Major;Minor;7th;m7th;M7;m7_5;Dim";
const char* const keyNames[numKeys] = { "C", "C#", "D", "D#", "E", "F", "F#",
                                        "G", "G#", "A", "A#", "B", "Upper C" };

ExpectedParameter unit (int id, const char* name, const char* defaultText = nullptr)
{
    return { id, name, Kind::floatKind, 0, 1, nullptr, defaultText };
}

ExpectedParameter choice (int id, const char* name, const char* names, const char* defaultText)
{
    return { id, name, Kind::enumKind, 0, 0, names, defaultText };
}

ExpectedParameter percent (int id, const char* name)
{
    return { id, name, Kind::intKind, 0, 100, nullptr, "0" };
}

ExpectedParameter lamp (int id, const juce::String& name)
{
    return { id, name, Kind::boolKind, 0, 1, nullptr, "false" };
}

// Switch defaults are the voice engine's own start values; enum defaults are
// the arpeggiator's start state.
std::vector<ExpectedParameter> expectedParameters()
{
    std::vector<ExpectedParameter> table {
        unit (tune, "Tune", "0.5"),
        unit (slideTime, "Slide Time"),
        unit (cutoff, "Cutoff"),
        unit (resonance, "Resonance"),
        unit (accentSweep, "Accent Sweep"),
        unit (envMod, "Env Mod"),
        unit (attack, "Attack"),
        unit (decay, "Decay"),
        unit (accentDecay, "Accent Decay"),
        unit (accent, "Accent"),
        unit (accentAmp, "Accent Amp"),
        unit (gateLength, "Gate Length"),
        unit (drive, "Drive", "0"),
        unit (bankFrequency, "Bank Frequency", "0.5"),
        unit (bankSpread, "Bank Spread", "0.5"),
        unit (distortionLevel, "Distortion Level", "1"),
        unit (bankDamping, "Bank Damping", "0"),
        unit (bankMix, "Bank Mix"),
        choice (waveform, "Waveform", "Square;Sawtooth", "Sawtooth"),
        choice (accentAmpLink, "Accent Amp Link", "Free;Linked", "Linked"),
        choice (accentSweepLink, "Accent Sweep Link", "Free;Linked", "Free"),
        choice (effectOn, "Effect", "Off;On", "Off"),
        choice (bankOrder, "Bank Order", "Post;Pre", "Post"),
        unit (volume, "Volume"),

        choice (arpChord, "Arp Chord", chordNames, "Custom"),
        choice (arpMode, "Arp Mode", "Off;Random;Up;Down;Up-Down", "Off"),
        percent (arpShuffle, "Arp Shuffle"),
        choice (arpOctaveMinus1, "Arp Octave -1", "Off;On", "Off"),
        choice (arpOctave0, "Arp Octave 0", "Off;On", "Off"),
        choice (arpOctavePlus1, "Arp Octave +1", "Off;On", "Off"),
        choice (arpOctavePlus2, "Arp Octave +2", "Off;On", "Off"),
        choice (arpMultiplier, "Arp Multiplier", "1;1.5;2;3;4;6", "1"),
        choice (arpRepeater, "Arp Repeater", "1;2;3;4;6", "1"),
        unit (gateThreshold, "Gate Threshold"),
        unit (accentThreshold, "Accent Threshold"),
        unit (slideThreshold, "Slide Threshold"),

        lamp (selfResetState, "Self Reset State"),
        percent (arpShuffleAmount, "Arp Shuffle Amount"),
        lamp (arpOnState, "Arp On State"),
        lamp (arpRepeaterView, "Arp Repeater View"),
        lamp (gateLamp, "Gate Lamp"),
        lamp (accentLamp, "Accent Lamp"),
        lamp (slideLamp, "Slide Lamp"),
        lamp (gateBlinking, "Gate Blinking"),
        lamp (accentBlinking, "Accent Blinking"),
        lamp (slideBlinking, "Slide Blinking"),
        unit (gateLevel, "Gate Level", "0"),
        unit (accentLevel, "Accent Level", "0"),
        unit (slideLevel, "Slide Level", "0"),
        lamp (octaveDownLamp, "Octave Down Lamp"),
        lamp (octaveUpLamp, "Octave Up Lamp"),
        lamp (octaveDownBlinking, "Octave Down Blinking"),
        lamp (octaveUpBlinking, "Octave Up Blinking"),
        choice (randChord, "Rand Chord", chordNames, "Custom"),
        lamp (randNotesLamp, "Rand Notes Lamp"),
        lamp (randNotesBlinking, "Rand Notes Blinking"),
        lamp (thresholdsEnabled, "Thresholds Enabled"),
        lamp (levelEditState, "Level Edit State"),
        unit (accentVelocityLevel, "Accent Velocity Level", "0.5"),
        unit (oscillatorTuning, "Oscillator Tuning", "0.5"),
    };

    for (int k = 0; k < numKeys; ++k)
    {
        table.push_back (lamp (keyLamp (k), "Key " + juce::String (keyNames[k]) + " Lamp"));
        table.push_back (lamp (keyBlinking (k), "Key " + juce::String (keyNames[k]) + " Blinking"));
    }

    return table;
}

// The parameters that the framework and the sequencer layer add in code, after
// the definitions were read.
std::vector<std::pair<int, juce::String>> parametersAddedInCode()
{
    std::vector<std::pair<int, juce::String>> added { { 110000, "Current Preset Number" }, { 110001, "Current Preset Name" } };

    const char* const sequencerStates[] = {
        "Internal Sequencer State", "Internal Sync State", "Host Mode State", "Note Off State",
        "Play State", "Write Mode State", "Write Mode Activity", "Auto Follow State",
        "Randomizer State", "Length Mode State", "Clipboard State", "Native Mode Ready State",
        "Pattern Number", "Pattern Name", "Pattern Name Edition State", "Pattern Tempo",
        "Pattern Tempo State", "Pattern Shuffle"
    };

    int id = 200000;

    for (auto* name : sequencerStates)
        added.emplace_back (id++, name);

    for (auto* suffix : { " State", " Blinking", " Inverse", " Length State" })
        for (int step = 1; step <= numSteps; ++step)
            added.emplace_back (id++, "Step " + juce::String (step).paddedLeft ('0', 2) + suffix);

    return added;
}

// The sequencer layer's actions 2000 to 2038.
std::vector<std::pair<int, juce::String>> sequencerActions()
{
    const char* const names[] = {
        "Toggle Internal Sequencer", "Toggle Internal Sync", "Toggle Host Mode", "Toggle Note Off Mode",
        "Toggle Pattern Write Mode", "Toggle Auto Follow Mode", "Toggle Randomizer", "Toggle Length Mode",
        "Start/Stop", "Start", "Stop", "Shift Left", "Shift Right", "Prev", "Next", "Accept", "Undo",
        "Copy", "Paste", "Clear", "Clear 2nd", "Load Patterns", "Save Patterns"
    };

    std::vector<std::pair<int, juce::String>> actions;

    for (auto* name : names)
        actions.emplace_back (2000 + static_cast<int> (actions.size()), name);

    for (int length = 1; length <= numSteps; ++length)
        actions.emplace_back (2000 + static_cast<int> (actions.size()),
                              "Set Pattern Length To " + juce::String (length).paddedLeft ('0', 2));

    return actions;
}

bool hasKind (const Parameter& parameter, Kind kind)
{
    switch (kind)
    {
        case Kind::floatKind: return typeid (parameter) == typeid (FloatParameter);
        case Kind::intKind:   return typeid (parameter) == typeid (IntParameter);
        case Kind::enumKind:  return typeid (parameter) == typeid (EnumParameter);
        case Kind::boolKind:  return typeid (parameter) == typeid (BoolParameter);
    }

    return false;
}

std::vector<std::pair<int, juce::String>> expectedEditCommands()
{
    std::vector<std::pair<int, juce::String>> table {
        { transposeUp, "Transpose Up" },
        { transposeDown, "Transpose Down" },
        { toggleGate, "Toggle Gate" },
        { toggleAccent, "Toggle Accent" },
        { toggleSlide, "Toggle Slide" },
        { toggleOctaveDown, "Toggle Octave Down" },
        { toggleOctaveUp, "Toggle Octave Up" },
        { toggleGateSecond, "Toggle Gate 2nd" },
        { toggleAccentSecond, "Toggle Accent 2nd" },
        { toggleSlideSecond, "Toggle Slide 2nd" },
        { toggleOctaveDownSecond, "Toggle Octave Down 2nd" },
        { toggleOctaveUpSecond, "Toggle Octave Up 2nd" },
        { nextStep, "Next Step" },
        { prevStep, "Prev Step" },
        { toggleRandomNotes, "Toggle Random Notes" },
        { toggleLevelEdit, "Toggle Level Edit" },
        { acceptAndFix, "Accept And Fix" },
    };

    for (int step = 0; step < numSteps; ++step)
        table.emplace_back (selectStep (step), "Select Step " + juce::String (step + 1).paddedLeft ('0', 2));

    for (int k = 0; k < numKeys; ++k)
    {
        table.emplace_back (key (k), "Key " + juce::String (keyNames[k]));
        table.emplace_back (keySecond (k), "Key " + juce::String (keyNames[k]) + " 2nd");
    }

    return table;
}

struct LoadedDefinitions
{
    LoadedDefinitions()
    {
        parameters.loadFromResource ("parameters.xml");
        events.loadFromResource ("events.xml");
    }

    ParameterManager parameters;
    GuiEventsMap events;
};
} // namespace

//==============================================================================
TEST (DefinitionResources, DefineEveryInstrumentParameterAndNothingElseWithItsKindRangeDefaultAndHostVisibility)
{
    LoadedDefinitions loaded;
    EXPECT_EQ (loaded.parameters.getApplication(), "Tarvelin");
    EXPECT_EQ (loaded.parameters.getNumParameters(), lastParameterId + 1);
    std::set<int> expectedIds;

    for (const auto& expected : expectedParameters())
    {
        SCOPED_TRACE ("parameter " + juce::String (expected.id).toStdString());
        EXPECT_TRUE (expectedIds.insert (expected.id).second);
        auto* parameter = loaded.parameters.getParameter (expected.id);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getName(), expected.name);
        EXPECT_EQ (parameter->getAutoFlag(), expected.id < numHostParameters);
        ASSERT_TRUE (hasKind (*parameter, expected.kind)) << typeid (*parameter).name();

        if (auto* floatParameter = dynamic_cast<FloatParameter*> (parameter))
        {
            EXPECT_EQ (floatParameter->getMinimum(), static_cast<float> (expected.minimum));
            EXPECT_EQ (floatParameter->getMaximum(), static_cast<float> (expected.maximum));
        }
        else if (auto* enumParameter = dynamic_cast<EnumParameter*> (parameter))
        {
            EXPECT_EQ (enumParameter->getNamesText(), expected.names);
            const auto last = enumParameter->getNames().size() - 1;
            EXPECT_EQ (enumParameter->getMaximum(), last);
        }
        else if (auto* intParameter = dynamic_cast<IntParameter*> (parameter))
        {
            EXPECT_EQ (intParameter->getMinimum(), expected.minimum);
            EXPECT_EQ (intParameter->getMaximum(), expected.maximum);
        }

        if (expected.kind == Kind::floatKind && expected.defaultText != nullptr)
        {
            EXPECT_FLOAT_EQ (parameter->getValue(), juce::String (expected.defaultText).getFloatValue());
        }
        else if (expected.defaultText != nullptr)
        {
            EXPECT_EQ (parameter->getText(), expected.defaultText);
        }
    }

    EXPECT_EQ (static_cast<int> (expectedIds.size()), lastParameterId + 1);
    EXPECT_EQ (*expectedIds.rbegin(), lastParameterId);
}

TEST (DefinitionResources, ChoiceParametersGiveBackTheirIndexThroughTheNormalisedValue)
{
    // The handlers read choices as round(normalised * (count - 1)).
    LoadedDefinitions loaded;

    for (int id = 0; id <= lastParameterId; ++id)
    {
        auto* choiceParameter = dynamic_cast<EnumParameter*> (loaded.parameters.getParameter (id));

        if (choiceParameter == nullptr)
            continue;

        const auto last = choiceParameter->getNames().size() - 1;

        for (int index = 0; index <= last; ++index)
        {
            choiceParameter->setIntValue (index, false);
            const auto normalised = choiceParameter->getNormalisedValue();
            EXPECT_EQ (static_cast<int> (std::floor (normalised * static_cast<float> (last) + 0.5f)), index) << id << " " << index;
        }
    }
}

TEST (DefinitionResources, NameEveryEditCommandAndNothingElse)
{
    LoadedDefinitions loaded;
    EXPECT_EQ (loaded.events.getNumEvents(), numEditCommands);
    EXPECT_EQ (static_cast<int> (expectedEditCommands().size()), numEditCommands);
    std::set<int> uids;

    for (const auto& [uid, name] : expectedEditCommands())
    {
        EXPECT_TRUE (uid >= 0 && uid < numEditCommands && uids.insert (uid).second) << uid;
        EXPECT_EQ (loaded.events.getEventName (uid), name) << uid;
        EXPECT_EQ (loaded.events.getEventUid (name), uid) << name;
    }
}

// The instrument adds the preset and sequencer parameters and the built-in and
// sequencer events to what it read: none may clash with the resources' own.
TEST (DefinitionResources, TheInstrumentHoldsBothResourcesAndAddsItsOwnParametersAndEventsUnderTheirIdsAndNames)
{
    const auto instrument = InstrumentTest::createInstrument();
    const auto& parameters = instrument->getParameterManager();
    const auto& events = instrument->getEventsMap();
    const LoadedDefinitions loaded;

    EXPECT_EQ (parameters.getNumParameters(), lastParameterId + 1 + 2 + 82);
    for (int id = 0; id <= lastParameterId; ++id)
        EXPECT_EQ (parameters.getNameOf (id), loaded.parameters.getNameOf (id)) << id;
    for (const auto& [id, name] : parametersAddedInCode())
        EXPECT_EQ (parameters.getNameOf (id), name) << id;

    EXPECT_EQ (events.getNumEvents(), numEditCommands + 11 + 39);
    EXPECT_EQ (events.getEventUid ("Options"), GuiEventsMap::optionsEvent);
    EXPECT_EQ (events.getEventUid ("Toggle Midi Learn"), GuiEventsMap::toggleMidiLearnEvent);
    for (const auto& [uid, name] : sequencerActions())
        EXPECT_EQ (events.getEventName (uid), name) << uid;
    for (const auto& [uid, name] : expectedEditCommands())
        EXPECT_EQ (events.getEventName (uid), name) << uid;
}
