#include "support/InstrumentTestSupport.h"

#include <gtest/gtest.h>

using namespace InstrumentTest;
namespace Ids = TarvelinIds;

namespace
{
struct Instrument : public ::testing::Test
{
    std::unique_ptr<Tarvelin> instrument = createInstrument();
    ParameterManager& parameters = instrument->getParameterManager();

    void setText (int id, const char* text)      { parameters.setValueFromText (id, text); }

    /** The arpeggiator in a known state, whatever the factory preset set: one pass per
        octave, one play per position, no shuffle, only the octave switches given on. */
    void setArpeggiator (const char* mode, const char* chord, std::initializer_list<int> octaveSwitchesOn)
    {
        switchSequencerOff (*instrument);
        setText (Ids::arpMode, "Off");
        render (*instrument, 64, 64);

        setText (Ids::arpChord, chord);
        setText (Ids::arpMultiplier, "1");
        setText (Ids::arpRepeater, "1");
        parameters.setNormalisedValue (Ids::arpShuffle, 0.0f);

        for (int id = Ids::arpOctaveMinus1; id <= Ids::arpOctavePlus2; ++id)
            setText (id, "Off");

        for (const auto id : octaveSwitchesOn)
            setText (id, "On");

        setText (Ids::arpMode, mode);
        render (*instrument, 64, 64);
    }

    /** A pattern of 16 gated, unaccented steps C, C#, D, ... in the middle octave. */
    void writeChromaticPattern (int index)
    {
        auto& pattern = instrument->getPattern (index);
        pattern.setLength (16);
        pattern.setShuffle (0);

        for (int i = 0; i < 16; ++i)
        {
            PatternStep step (true);
            step.setNote (i % 12);
            pattern.setStep (i, step);
        }
    }

    /** Starts the internal sequencer through its action and the audio thread's next block. */
    void startSequencer()
    {
        instrument->performEvent (IntSeqPlugin::startEvent);
    }
};

std::vector<int> notesOf (const std::vector<MidiOut>& events)
{
    std::vector<int> notes;
    for (const auto& e : events)
        notes.push_back (e.message.getNoteNumber());
    return notes;
}

std::vector<int> samplesOf (const std::vector<MidiOut>& events)
{
    std::vector<int> samples;
    for (const auto& e : events)
        samples.push_back (e.sample);
    return samples;
}
} // namespace

//==============================================================================
// Block processing

TEST_F (Instrument, SilenceInGivesSilenceOut)
{
    switchSequencerOff (*instrument);
    const auto out = render (*instrument, 4096, 512);
    EXPECT_TRUE (out.isSilent());
    EXPECT_TRUE (out.midi.empty());
}

TEST_F (Instrument, ANoteOnAtSample17LeavesTheSamplesBeforeItUnchanged)
{
    auto reference = createInstrument();
    switchSequencerOff (*instrument);
    switchSequencerOff (*reference);

    const auto quiet = render (*reference, 512, 512);
    const auto played = render (*instrument, 512, 512, { noteOn (17, 45) });

    for (int i = 0; i < 17; ++i)
        ASSERT_EQ (played.channels[0][static_cast<size_t> (i)], quiet.channels[0][static_cast<size_t> (i)]) << i;

    bool changed = false;
    for (size_t i = 17; i < 512; ++i)
        changed = changed || played.channels[0][i] != quiet.channels[0][i];

    EXPECT_TRUE (changed);
    ASSERT_EQ (played.noteOns().size(), 1u);
    EXPECT_EQ (played.noteOns()[0].sample, 17);
}

TEST_F (Instrument, AnEventStampedBeyondTheBlockIsAppliedInTheNextOne)
{
    switchSequencerOff (*instrument);

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 50, static_cast<juce::uint8> (100)), 70);
    instrument->processBlock (buffer, midi);
    EXPECT_TRUE (midi.isEmpty());

    juce::MidiBuffer next;
    instrument->processBlock (buffer, next);
    ASSERT_EQ (next.getNumEvents(), 1);
    EXPECT_EQ ((*next.begin()).samplePosition, 6);
}

TEST_F (Instrument, EveryOutputChannelCarriesTheSameVoice)
{
    switchSequencerOff (*instrument);
    const auto out = render (*instrument, 2048, 256, { noteOn (10, 40), noteOff (1500, 40) }, nullptr, 4);

    EXPECT_FALSE (out.isSilent());
    for (size_t c = 1; c < out.channels.size(); ++c)
        EXPECT_EQ (out.channels[c], out.channels[0]) << c;
}

TEST (InstrumentBlocks, AudioAndMidiAreIdenticalForBlockSizes1_64And512)
{
    const std::vector<MidiOut> input = { noteOn (3, 36), noteOn (700, 43), noteOff (1300, 36),
                                         noteOff (4000, 43), noteOn (9001, 48), noteOff (15000, 48) };

    auto renderWith = [&] (int blockSize)
    {
        auto instrument = createInstrument();
        switchSequencerOff (*instrument);
        instrument->getParameterManager().setValueFromText (Ids::arpMode, "Up");
        instrument->getParameterManager().setValueFromText (Ids::arpOctavePlus1, "On");
        render (*instrument, 64, 64);
        return render (*instrument, 20000, blockSize, input);
    };

    const auto reference = renderWith (512);
    ASSERT_FALSE (reference.noteOns().empty());

    for (const int blockSize : { 1, 64 })
    {
        const auto out = renderWith (blockSize);
        EXPECT_EQ (out.channels, reference.channels) << blockSize;
        ASSERT_EQ (out.midi.size(), reference.midi.size()) << blockSize;

        for (size_t i = 0; i < out.midi.size(); ++i)
        {
            EXPECT_EQ (out.midi[i].sample, reference.midi[i].sample);
            EXPECT_EQ (out.midi[i].message.getDescription(), reference.midi[i].message.getDescription());
        }
    }
}

TEST (InstrumentBlocks, ThePlayingSequencerIsIdenticalForBlockSizes1_64And512)
{
    auto renderWith = [] (int blockSize)
    {
        auto instrument = createInstrument();
        instrument->performEvent (IntSeqPlugin::startEvent);
        return render (*instrument, 30000, blockSize);
    };

    const auto reference = renderWith (512);
    ASSERT_FALSE (reference.noteOns().empty());

    for (const int blockSize : { 1, 64 })
    {
        const auto out = renderWith (blockSize);
        EXPECT_EQ (out.channels, reference.channels) << blockSize;
        EXPECT_EQ (samplesOf (out.midi), samplesOf (reference.midi)) << blockSize;
        EXPECT_EQ (notesOf (out.midi), notesOf (reference.midi)) << blockSize;
    }
}

TEST_F (Instrument, WithTheSequencerOnMidiNotesDoNotPlayTheVoice)
{
    ASSERT_TRUE (instrument->isInternalSequencerOn());
    const auto out = render (*instrument, 4096, 512, { noteOn (0, 60), noteOn (100, 45), noteOff (3000, 60) });
    EXPECT_TRUE (out.isSilent());
    EXPECT_TRUE (out.midi.empty());
}

TEST_F (Instrument, NotesPlayTheVoiceAndReachTheMidiOutputOnChannelOne)
{
    switchSequencerOff (*instrument);
    const auto out = render (*instrument, 4096, 512, { { 5, juce::MidiMessage::noteOn (7, 45, static_cast<juce::uint8> (90)) },
                                                       { 2000, juce::MidiMessage::noteOff (7, 45) } });

    EXPECT_FALSE (out.isSilent());
    ASSERT_EQ (out.midi.size(), 2u);
    EXPECT_TRUE (out.midi[0].message.isNoteOn());
    EXPECT_EQ (out.midi[0].message.getChannel(), 1);
    EXPECT_EQ (out.midi[0].message.getVelocity(), 90);
    EXPECT_TRUE (out.midi[1].message.isNoteOff());
    EXPECT_EQ (out.midi[1].sample, 2000);
}

TEST_F (Instrument, AReleasedVoiceDecaysToExactSilence)
{
    switchSequencerOff (*instrument);
    const auto out = render (*instrument, 3 * 44100, 512, { noteOn (0, 45), noteOff (4410, 45) });
    const auto& tail = out.channels[0];
    EXPECT_EQ (std::vector<float> (tail.end() - 22050, tail.end()), std::vector<float> (22050, 0.0f));
}

//==============================================================================
// Host transport

TEST_F (Instrument, AHostStartStartsTheSequencerAndItsTempoReachesTheClock)
{
    writeChromaticPattern (0);
    TestPlayHead host;
    host.playing = true;
    host.tempo = 130.0;

    const auto out = render (*instrument, 12000, 512, {}, &host);

    EXPECT_TRUE (instrument->isSequencerRunning());
    EXPECT_DOUBLE_EQ (instrument->getSequencerClock().getTempo(), 130.0);
    EXPECT_TRUE (parameters.getParameter (IntSeqPlugin::playStateId)->getBoolValue());

    // A step lasts 44100 * 60 / 130 / 4 = 5088.46 samples.
    const auto ons = out.noteOns();
    ASSERT_GE (ons.size(), 3u);
    EXPECT_EQ (samplesOf ({ ons[0], ons[1], ons[2] }), (std::vector<int> { 0, 5089, 10177 }));
    EXPECT_EQ (notesOf ({ ons[0], ons[1], ons[2] }), (std::vector<int> { 36, 37, 38 }));
}

TEST_F (Instrument, AHostStopStopsTheSequencerAndReleasesItsNote)
{
    writeChromaticPattern (0);
    parameters.setNormalisedValue (Ids::gateLength, 1.0f);
    TestPlayHead host;
    host.playing = true;
    render (*instrument, 1024, 512, {}, &host);
    ASSERT_TRUE (instrument->isSequencerRunning());

    host.playing = false;
    const auto out = render (*instrument, 512, 512, {}, &host);

    EXPECT_FALSE (instrument->isSequencerRunning());
    EXPECT_FALSE (parameters.getParameter (IntSeqPlugin::playStateId)->getBoolValue());
    ASSERT_EQ (out.midi.size(), 1u);
    EXPECT_TRUE (out.midi[0].message.isNoteOff());
    EXPECT_EQ (out.midi[0].sample, 0);
}

TEST_F (Instrument, TheSequencerFollowsTheHostPosition)
{
    writeChromaticPattern (0);
    TestPlayHead host;
    host.playing = true;
    host.position = 2.25;    // a quarter into the third beat: step 9 of the pattern

    const auto out = render (*instrument, 512, 512, {}, &host);
    EXPECT_NEAR (instrument->getSequencerClock().getPosition(), 2.25 + 512.0 / 22050.0, 1.0e-9);
    EXPECT_FALSE (out.noteOns().empty());
}

TEST_F (Instrument, AUserStopWhileTheHostPlaysIsUndoneAtTheNextBlock)
{
    TestPlayHead host;
    host.playing = true;
    render (*instrument, 512, 512, {}, &host);

    instrument->performEvent (IntSeqPlugin::stopEvent);
    render (*instrument, 512, 512, {}, &host);
    EXPECT_TRUE (instrument->isSequencerRunning());
}

TEST_F (Instrument, WithoutAPlayHeadTheSequencerRunsAt120)
{
    writeChromaticPattern (0);
    startSequencer();
    const auto out = render (*instrument, 12000, 512);

    // 44100 * 60 / 120 / 4 = 5512.5 samples a step.
    const auto ons = out.noteOns();
    ASSERT_GE (ons.size(), 3u);
    EXPECT_EQ (samplesOf ({ ons[0], ons[1], ons[2] }), (std::vector<int> { 0, 5513, 11025 }));
}

TEST_F (Instrument, AccentVelocityLevelsSetTheStepVelocities)
{
    writeChromaticPattern (0);
    instrument->getPattern (0).getStep (1).setAccent (true);

    for (const auto& [level, accented, plain] : { std::tuple { 0, 32, 16 }, std::tuple { 1, 64, 32 }, std::tuple { 2, 96, 48 } })
    {
        instrument->setAccentVelocityLevel (level);
        instrument->performEvent (IntSeqPlugin::startEvent);
        const auto ons = render (*instrument, 6000, 512).noteOns();
        instrument->performEvent (IntSeqPlugin::stopEvent);
        render (*instrument, 512, 512);

        ASSERT_GE (ons.size(), 2u);
        EXPECT_EQ (ons[0].message.getVelocity(), plain) << level;
        EXPECT_EQ (ons[1].message.getVelocity(), accented) << level;
    }
}

//==============================================================================
// Controllers and program changes

TEST_F (Instrument, AllNotesOffControllerStopsTheSequencerAndTellsTheMidiOutput)
{
    writeChromaticPattern (0);
    startSequencer();
    render (*instrument, 1024, 512);
    ASSERT_TRUE (instrument->isSequencerRunning());

    const auto out = render (*instrument, 1024, 512, { { 100, juce::MidiMessage::allNotesOff (1) } });

    EXPECT_FALSE (instrument->isSequencerRunning());
    const bool sentAllNotesOff = std::any_of (out.midi.begin(), out.midi.end(), [] (const MidiOut& e)
    {
        return e.sample == 100 && e.message.isAllNotesOff() && e.message.getChannel() == 1;
    });
    EXPECT_TRUE (sentAllNotesOff);
}

TEST_F (Instrument, AProgramChangeSelectsThatPresetOnTheAudioThread)
{
    auto& presets = instrument->getPresetManager();
    ASSERT_GT (presets.getNumPresets(), 5);

    render (*instrument, 512, 512, { { 10, juce::MidiMessage::programChange (1, 5) } });

    EXPECT_EQ (presets.getCurrentPresetIndex(), 5);
    const auto* slot = presets.getPresetSlot (5);
    ASSERT_NE (slot, nullptr);

    for (int id = 0; id < Ids::numPresetParameters; ++id)
        EXPECT_FLOAT_EQ (parameters.getNormalisedValue (id), parameters.getParameter (id)->getNormalisedValue()) << id;

    EXPECT_EQ (parameters.getText (110001), slot->getName());
}

TEST_F (Instrument, ALearntControllerMovesItsParameter)
{
    instrument->getMidiControl().assign (74, parameters.getParameter (Ids::cutoff), false);
    render (*instrument, 256, 256, { { 20, juce::MidiMessage::controllerEvent (1, 74, 127) } });
    EXPECT_FLOAT_EQ (parameters.getNormalisedValue (Ids::cutoff), 1.0f);
}

//==============================================================================
// Arpeggiator through the instrument

TEST_F (Instrument, ArpeggiatorUpWithAMajorChordWalksTwoOctaves)
{
    setArpeggiator ("Up", "Major", { Ids::arpOctave0, Ids::arpOctavePlus1 });
    EXPECT_TRUE (parameters.getParameter (Ids::arpOnState)->getBoolValue());

    const auto out = render (*instrument, 40000, 512, { noteOn (0, 48) });
    const auto ons = out.noteOns();
    ASSERT_GE (ons.size(), 7u);

    const std::vector<MidiOut> first (ons.begin(), ons.begin() + 7);
    EXPECT_EQ (notesOf (first), (std::vector<int> { 48, 55, 52, 60, 67, 64, 48 }));
    EXPECT_EQ (samplesOf (first), (std::vector<int> { 0, 5513, 11025, 16538, 22050, 27563, 33075 }));
}

TEST_F (Instrument, ArpeggiatorModesWalkTheHeldNotes)
{
    const std::vector<std::pair<const char*, std::vector<int>>> expected = {
        { "Up", { 40, 43, 52, 55, 40, 43 } },
        { "Down", { 52, 55, 40, 43, 52, 55 } },
        { "Up-Down", { 40, 43, 52, 55, 40, 43 } },
    };

    for (const auto& [mode, notes] : expected)
    {
        setArpeggiator (mode, "Custom", { Ids::arpOctave0, Ids::arpOctavePlus1 });
        const auto ons = render (*instrument, 6 * 5513 - 10, 512, { noteOn (0, 40), noteOn (0, 43) }).noteOns();
        EXPECT_EQ (notesOf (ons), notes) << mode;
        render (*instrument, 512, 512, { noteOff (0, 40), noteOff (0, 43) });
        render (*instrument, 20000, 512);
    }
}

TEST_F (Instrument, ArpeggiatorNotesPushedOutOfTheMidiRangeAreNotPlayed)
{
    setArpeggiator ("Up", "Custom", { Ids::arpOctaveMinus1 });
    const auto out = render (*instrument, 20000, 512, { noteOn (0, 5) });
    EXPECT_TRUE (out.noteOns().empty());
}

TEST_F (Instrument, ArpeggiatorModeChangesResetItAtTheNextBlock)
{
    setArpeggiator ("Up", "Custom", { Ids::arpOctave0 });
    render (*instrument, 2048, 512, { noteOn (0, 40) });

    setText (Ids::arpMode, "Off");
    const auto out = render (*instrument, 512, 512);
    EXPECT_FALSE (parameters.getParameter (Ids::arpOnState)->getBoolValue());

    const bool released = std::any_of (out.midi.begin(), out.midi.end(), [] (const MidiOut& e)
    {
        return e.sample == 0 && (e.message.isNoteOff() || e.message.isAllNotesOff());
    });
    EXPECT_TRUE (released);
}

//==============================================================================
// Parameters

TEST_F (Instrument, TheShuffleKnobAndTheArpeggiatorShuffleFollowEachOther)
{
    parameters.setNormalisedValue (Ids::arpShuffleAmount, 0.3f);
    EXPECT_FLOAT_EQ (parameters.getNormalisedValue (Ids::arpShuffle), 0.3f);

    parameters.setNormalisedValue (Ids::arpShuffle, 0.57f);
    EXPECT_FLOAT_EQ (parameters.getValue (Ids::arpShuffleAmount), 57.0f);
}

TEST_F (Instrument, StepLevelParametersChangeNothingWhileLevelEditingIsOff)
{
    const auto before = instrument->getPattern (0).getStep (0);
    parameters.setNormalisedValue (Ids::gateLevel, 0.7f);
    parameters.setNormalisedValue (Ids::slideLevel, 0.2f);
    EXPECT_EQ (instrument->getPattern (0).getStep (0), before);
}

TEST_F (Instrument, GateLengthSetsTheGateOfBothClocks)
{
    parameters.setNormalisedValue (Ids::gateLength, 1.0f);
    render (*instrument, 64, 64);
    EXPECT_DOUBLE_EQ (instrument->getSequencerClock().getGate(), 0.96);

    parameters.setNormalisedValue (Ids::gateLength, 0.0f);
    render (*instrument, 64, 64);
    EXPECT_NEAR (instrument->getSequencerClock().getGate(), 0.04, 1.0e-9);
}

struct DisplayCase
{
    int id;
    float value;
    const char* text;
};

class DisplayTexts : public Instrument, public ::testing::WithParamInterface<DisplayCase>
{
};

TEST_P (DisplayTexts, ShowTheValueInItsUnit)
{
    const auto [id, value, text] = GetParam();
    parameters.setNormalisedValue (id, value);
    EXPECT_EQ (instrument->getParameterDisplayText (id), text) << "id " << id << " at " << value;
}

INSTANTIATE_TEST_SUITE_P (EveryInstrumentParameter, DisplayTexts, ::testing::Values (
    DisplayCase { Ids::tune, 0.75f, "12.00 halftones" },
    DisplayCase { Ids::tune, 0.5f, "0.00 halftones" },
    DisplayCase { Ids::tune, 0.25f, "-12.00 halftones" },
    DisplayCase { Ids::slideTime, 0.0f, "1 ms" },
    DisplayCase { Ids::slideTime, 0.5f, "47 ms" },
    DisplayCase { Ids::slideTime, 1.0f, "1700 ms" },
    DisplayCase { Ids::cutoff, 0.5f, "50.0" },
    DisplayCase { Ids::resonance, 0.123f, "12.3" },
    DisplayCase { Ids::envMod, 1.0f, "100.0" },
    DisplayCase { Ids::accent, 0.0f, "0.0" },
    DisplayCase { Ids::accentAmp, 0.25f, "25.0" },
    DisplayCase { Ids::accentSweep, 0.5f, "18.0 ms" },
    DisplayCase { Ids::attack, 0.0f, "0.0 ms" },
    DisplayCase { Ids::attack, 0.5f, "73.9 ms" },
    DisplayCase { Ids::attack, 1.0f, "5.30 s" },
    DisplayCase { Ids::decay, 0.0f, "200.0 ms" },
    DisplayCase { Ids::decay, 0.5f, "514.0 ms" },
    DisplayCase { Ids::accentDecay, 1.0f, "2.31 s" },
    DisplayCase { Ids::gateLength, 0.5f, "50%" },
    DisplayCase { Ids::bankDamping, 0.999f, "99%" },
    DisplayCase { Ids::bankMix, 0.0f, "0%" },
    DisplayCase { Ids::drive, 0.0f, "0.0dB" },
    DisplayCase { Ids::bankFrequency, 0.25f, "-0.50" },
    DisplayCase { Ids::bankSpread, 1.0f, "1.00" },
    DisplayCase { Ids::waveform, 0.0f, "Square" },
    DisplayCase { Ids::waveform, 1.0f, "Sawtooth" },
    DisplayCase { Ids::accentAmpLink, 1.0f, "Linked" },
    DisplayCase { Ids::accentSweepLink, 0.0f, "Free" },
    DisplayCase { Ids::effectOn, 1.0f, "On" },
    DisplayCase { Ids::bankOrder, 0.0f, "Post" },
    DisplayCase { Ids::bankOrder, 1.0f, "Pre" },
    DisplayCase { Ids::volume, 0.5f, "0.0dB" },
    DisplayCase { Ids::volume, 1.0f, "+12.0dB" },
    DisplayCase { Ids::volume, 0.0f, "-inf." },
    DisplayCase { Ids::arpChord, 1.0f / 7.0f, "Major" },
    DisplayCase { Ids::arpMode, 0.5f, "Up" },
    DisplayCase { Ids::arpShuffle, 0.25f, "25%" },
    DisplayCase { Ids::arpOctavePlus2, 1.0f, "On" },
    DisplayCase { Ids::arpMultiplier, 0.2f, "1.5" },
    DisplayCase { Ids::arpRepeater, 1.0f, "6" },
    DisplayCase { Ids::gateThreshold, 0.5f, "64" },
    DisplayCase { Ids::slideThreshold, 1.0f, "127" },
    DisplayCase { Ids::randChord, 3.0f / 7.0f, "7th" },
    DisplayCase { Ids::selfResetState, 1.0f, "" },
    DisplayCase { Ids::oscillatorTuning, 1.0f, "" }));

TEST_F (Instrument, MidiNoteNamesNamePatternsOnlyInHostMode)
{
    instrument->getPattern (3).setName ("Third");
    EXPECT_EQ (instrument->getMidiNoteName (15), "");

    instrument->performEvent (IntSeqPlugin::toggleHostModeEvent);
    EXPECT_EQ (instrument->getMidiNoteName (15), "Third");
    EXPECT_EQ (instrument->getMidiNoteName (11), "---");
    EXPECT_EQ (instrument->getMidiNoteName (108), "---");
}

//==============================================================================
// Synthesis settings

TEST_F (Instrument, SynthesisSettingsShowOnTheirDisplayParameters)
{
    instrument->setAccentVelocityLevel (2);
    instrument->setOscillatorTuning (0);
    EXPECT_FLOAT_EQ (parameters.getValue (Ids::accentVelocityLevel), 1.0f);
    EXPECT_FLOAT_EQ (parameters.getValue (Ids::oscillatorTuning), 0.0f);
}

TEST_F (Instrument, InternalSettingsComeFirstInTheStateAndRestore)
{
    instrument->setAccentVelocityLevel (2);
    instrument->setOscillatorTuning (2);

    const auto state = instrument->createStateXml();
    ASSERT_NE (state, nullptr);
    const auto* settings = state->getChildElement (0);
    ASSERT_NE (settings, nullptr);
    EXPECT_EQ (settings->getTagName(), "InternalSettings");
    EXPECT_EQ (settings->getChildByName ("AccentVelocityLevel")->getStringAttribute ("value"), "high");
    EXPECT_EQ (settings->getChildByName ("OscillatorTuning")->getStringAttribute ("value"), "battery low");

    auto restored = createInstrument();
    restored->setStateFromXml (*state);
    EXPECT_EQ (restored->getAccentVelocityLevel(), 2);
    EXPECT_EQ (restored->getOscillatorTuning(), 2);
}

TEST_F (Instrument, ThePluginStateHoldsItsChildrenInOrder)
{
    const auto state = instrument->createStateXml();
    ASSERT_NE (state, nullptr);
    std::vector<juce::String> tags;

    for (auto* child : state->getChildIterator())
        tags.push_back (child->getTagName());

    const std::vector<juce::String> expected { "InternalSettings", "InternalSequencer", "ParametersState",
                                               "PresetsState", "MidiControlMap" };
    ASSERT_GE (tags.size(), expected.size());
    EXPECT_EQ (std::vector<juce::String> (tags.begin(), tags.begin() + 5), expected);
}

TEST_F (Instrument, ASettingsTextInTheWrongCaseChangesNothing)
{
    const auto state = juce::parseXML ("<PluginState application=\"Tarvelin\"><InternalSettings>"
                                       "<OscillatorTuning value=\"Vintage\"/><AccentVelocityLevel value=\"loud\"/>"
                                       "</InternalSettings></PluginState>");
    instrument->setOscillatorTuning (0);
    instrument->setStateFromXml (*state);
    EXPECT_EQ (instrument->getOscillatorTuning(), 0);
    EXPECT_EQ (instrument->getAccentVelocityLevel(), 1);
}

TEST (InstrumentSettings, DefaultsSurviveARestartAndApplyToTheNextInstance)
{
    {
        auto instrument = createInstrument();
        instrument->setDefaultOscillatorTuning (2);
        instrument->setDefaultAccentVelocityLevel (0);
        instrument->setDefaultSelfReset (false);
    }

    std::unique_ptr<Tarvelin> next (dynamic_cast<Tarvelin*> (createPluginFilter()));
    EXPECT_EQ (next->getDefaultOscillatorTuning(), 2);
    EXPECT_EQ (next->getOscillatorTuning(), 2);
    EXPECT_EQ (next->getAccentVelocityLevel(), 0);
    EXPECT_FALSE (next->isSelfResetOn());
    EXPECT_FLOAT_EQ (next->getParameterManager().getValue (Ids::oscillatorTuning), 1.0f);

    const auto settings = next->createUserSettingsXml();
    ASSERT_NE (settings, nullptr);
    EXPECT_EQ (settings->getChildElement (settings->getNumChildElements() - 1)->getTagName(), "InternalSettings");
}
