#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using HostedPlugin::Format;
using HostedPlugin::getSettingsFile;
using HostedPlugin::ScopedUserSettings;

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

/** New instances start with the internal sequencer off, so incoming notes play the voice. */
const char* const sequencerOff = "<InternalSequencer><IntSeq state=\"off\"/></InternalSequencer>";

class TestPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setIsPlaying (playing);
        info.setBpm (120.0);
        info.setTimeInSamples (samples);
        info.setPpqPosition (static_cast<double> (samples) / sampleRate * 2.0);
        info.setTimeSignature (juce::AudioPlayHead::TimeSignature {});
        return info;
    }

    bool playing = false;
    juce::int64 samples = 0;
};

struct Played
{
    std::vector<float> left, right;
    std::vector<std::pair<int, juce::MidiMessage>> midi;

    bool isSilent() const
    {
        return std::all_of (left.begin(), left.end(), [] (float s) { return s == 0.0f; });
    }

    std::vector<int> noteOnSamples() const
    {
        std::vector<int> samples;
        for (const auto& [sample, message] : midi)
            if (message.isNoteOn())
                samples.push_back (sample);
        return samples;
    }
};

Played play (juce::AudioPluginInstance& plugin, int numBlocks, const juce::MidiBuffer& firstBlockMidi = {},
             TestPlayHead* playHead = nullptr)
{
    Played result;
    plugin.setPlayHead (playHead);

    for (int block = 0; block < numBlocks; ++block)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        if (block == 0)
            midi = firstBlockMidi;

        HostedPlugin::processBlock (plugin, buffer, midi);

        for (int i = 0; i < blockSize; ++i)
        {
            result.left.push_back (buffer.getSample (0, i));
            result.right.push_back (buffer.getSample (1, i));
        }

        for (const auto metadata : midi)
            result.midi.emplace_back (block * blockSize + metadata.samplePosition, metadata.getMessage());

        if (playHead != nullptr)
            playHead->samples += blockSize;
    }

    plugin.setPlayHead (nullptr);
    return result;
}

std::unique_ptr<juce::AudioPluginInstance> loadPrepared (Format format)
{
    auto plugin = HostedPlugin::load (format, sampleRate, blockSize);

    if (plugin != nullptr)
        plugin->prepareToPlay (sampleRate, blockSize);

    return plugin;
}

/** The normalised values of one preset of the factory bank, by parameter name,
    counting the presets across the groups in bank order. */
std::map<juce::String, float> readFactoryPreset (int index)
{
    std::map<juce::String, float> values;
    const auto bank = juce::parseXML (juce::File (TARVELIN_RESOURCES_DIR).getChildFile ("default.tqprsb"));

    if (bank == nullptr)
        return values;

    int position = 0;

    for (auto* group : bank->getChildWithTagNameIterator ("PresetGroup"))
        for (auto* preset : group->getChildWithTagNameIterator ("Preset"))
            if (position++ == index)
                for (auto* param : preset->getChildWithTagNameIterator ("param"))
                    values[param->getStringAttribute ("name")] = static_cast<float> (param->getDoubleAttribute ("value"));

    return values;
}

std::vector<int> notesOf (const std::vector<std::pair<int, juce::MidiMessage>>& events)
{
    std::vector<int> notes;

    for (const auto& [sample, message] : events)
        if (message.isNoteOn())
            notes.push_back (message.getNoteNumber());

    return notes;
}

/** The MIDI note that the first step of a factory pattern plays. */
int readFactoryPatternFirstNote (int index)
{
    const auto bank = juce::parseXML (juce::File (TARVELIN_RESOURCES_DIR).getChildFile ("default.tqptrb"));
    const auto* pattern = bank != nullptr ? bank->getChildElement (index) : nullptr;
    const auto* step = pattern != nullptr ? pattern->getChildByName ("Step") : nullptr;

    if (step == nullptr || ! step->getBoolAttribute ("gate"))
        return -1;

    const bool up = step->getBoolAttribute ("octaveUp"), down = step->getBoolAttribute ("octaveDown");
    return step->getIntAttribute ("note") + (up && down ? 60 : up ? 48 : down ? 24 : 36);
}

/** The parameter values the hosted plug-in saves in its state, by name, and its current preset. */
struct SavedState
{
    std::map<juce::String, float> values;
    int currentPreset = -1;
};

SavedState readSavedState (juce::AudioPluginInstance& plugin, Format format)
{
    SavedState saved;
    juce::MemoryBlock block;
    plugin.getStateInformation (block);
    const auto xml = HostedPlugin::getPluginStateXml (format, block);

    if (xml == nullptr)
        return saved;

    if (const auto* parameters = xml->getChildByName ("ParametersState"))
        for (auto* param : parameters->getChildWithTagNameIterator ("param"))
            saved.values[param->getStringAttribute ("name")] = static_cast<float> (param->getDoubleAttribute ("value"));

    if (const auto* presets = xml->getChildByName ("PresetsState"))
        saved.currentPreset = presets->getIntAttribute ("currentPreset", -1);

    return saved;
}
} // namespace

class InstrumentPlays : public ::testing::TestWithParam<Format>
{
};

TEST_P (InstrumentPlays, SilenceInGivesSilenceOut)
{
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);

    const auto out = play (*plugin, 8);
    EXPECT_TRUE (out.isSilent());
    EXPECT_TRUE (out.midi.empty());
}

TEST_P (InstrumentPlays, AMidiNotePlaysTheVoiceFromItsSampleOnAndReachesTheMidiOutput)
{
    const ScopedUserSettings settings (sequencerOff);
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);
    play (*plugin, 1);   // the set-up's requests are taken in the first block

    juce::MidiBuffer notes;
    notes.addEvent (juce::MidiMessage::noteOn (1, 45, static_cast<juce::uint8> (100)), 17);
    const auto out = play (*plugin, 8, notes);

    EXPECT_EQ (std::vector<float> (out.left.begin(), out.left.begin() + 17), std::vector<float> (17, 0.0f));
    EXPECT_FALSE (out.isSilent());
    EXPECT_EQ (out.left, out.right);
    EXPECT_EQ (out.noteOnSamples(), std::vector<int> { 17 });
}

TEST_P (InstrumentPlays, TheHostTransportPlaysTheFactoryPatternsOnTheSequencer)
{
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);

    TestPlayHead host;
    host.playing = true;
    const auto out = play (*plugin, 40, {}, &host);

    EXPECT_FALSE (out.isSilent());
    const auto starts = out.noteOnSamples();
    ASSERT_FALSE (starts.empty());

    // Every note starts on the sixteenth-note grid of 120 BPM: 5512.5 samples a step.
    for (const auto sample : starts)
    {
        const auto steps = sample / 5512.5;
        EXPECT_NEAR (steps, std::round (steps), 1.0 / 5512.5) << sample;
    }
}

// JUCE 7.0.5's VST3 host never takes a plug-in's own parameter changes into the
// values it shows, so these check what the plug-in itself saves.
TEST_P (InstrumentPlays, AProgramChangeSelectsThatFactoryPresetAndAppliesItsValues)
{
    constexpr int program = 5;
    const auto preset = readFactoryPreset (program);
    ASSERT_EQ (preset.size(), 33u);

    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);
    play (*plugin, 1);
    ASSERT_EQ (readSavedState (*plugin, GetParam()).currentPreset, 0);

    juce::MidiBuffer change;
    change.addEvent (juce::MidiMessage::programChange (1, program), 10);
    play (*plugin, 1, change);
    const auto saved = readSavedState (*plugin, GetParam());

    EXPECT_EQ (saved.currentPreset, program);

    for (const auto& [name, value] : preset)
    {
        ASSERT_EQ (saved.values.count (name), 1u) << name;
        EXPECT_NEAR (saved.values.at (name), value, 1.0e-6f) << name;
    }
}

TEST_P (InstrumentPlays, AControllerFromTheUsersMapMovesItsParameter)
{
    const auto mapFile = getSettingsFile().getSiblingFile ("learnt.tqccmap");
    const ScopedUserSettings settings ("<ResourcesSettings><MidiCCMap default=\"userDefinedMidiCCMap\" file=\""
                                       + mapFile.getFullPathName() + "\"/></ResourcesSettings>");
    ASSERT_TRUE (mapFile.replaceWithText ("<MidiControlMap name=\"Tarvelin\"><assign CC=\"74\" param=\"Cutoff\"/></MidiControlMap>"));

    const auto plugin = loadPrepared (GetParam());
    mapFile.deleteFile();
    ASSERT_NE (plugin, nullptr);
    play (*plugin, 1);

    for (const int value : { 127, 0 })
    {
        juce::MidiBuffer controller;
        controller.addEvent (juce::MidiMessage::controllerEvent (1, 74, value), 20);
        play (*plugin, 1, controller);
        EXPECT_EQ (readSavedState (*plugin, GetParam()).values["Cutoff"], static_cast<float> (value) / 127.0f);
    }
}

TEST_P (InstrumentPlays, TheArpeggiatorPlaysTheHeldNotesOneASixteenthApart)
{
    const ScopedUserSettings settings (sequencerOff);
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);
    const auto slots = HostedPlugin::getSlots (*plugin);
    play (*plugin, 1);

    slots.at (25)->setValue (0.5f);   // Arp Mode "Up"
    slots.at (27)->setValue (0.0f);   // Arp Octave -1 off
    slots.at (28)->setValue (1.0f);   // Arp Octave 0 on
    slots.at (29)->setValue (0.0f);   // Arp Octave +1 off
    slots.at (30)->setValue (0.0f);   // Arp Octave +2 off
    play (*plugin, 2);

    juce::MidiBuffer chord;
    chord.addEvent (juce::MidiMessage::noteOn (1, 40, static_cast<juce::uint8> (100)), 0);
    chord.addEvent (juce::MidiMessage::noteOn (1, 43, static_cast<juce::uint8> (100)), 0);
    const auto out = play (*plugin, 50, chord);   // just under 5 steps at 120 BPM

    EXPECT_EQ (notesOf (out.midi), (std::vector<int> { 40, 43, 40, 43, 40 }));
    const auto starts = out.noteOnSamples();

    for (size_t k = 1; k < starts.size(); ++k)
        EXPECT_NEAR (starts[k] - starts[k - 1], 5512.5, 0.5) << k;
}

TEST_P (InstrumentPlays, InHostModeAKeyPlaysItsPatternFromItsSampleUntilReleased)
{
    const ScopedUserSettings settings ("<InternalSequencer><HostMode state=\"on\"/></InternalSequencer>");
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);
    play (*plugin, 1);

    // Keys 12 to 107 choose patterns 0 to 95.
    for (const int pattern : { 0, 4 })
    {
        const auto firstNote = readFactoryPatternFirstNote (pattern);
        ASSERT_GT (firstNote, 0);
        const auto key = 12 + pattern;

        juce::MidiBuffer press;
        press.addEvent (juce::MidiMessage::noteOn (1, key, static_cast<juce::uint8> (100)), 100);
        const auto held = play (*plugin, 24, press);   // two steps and a bit

        ASSERT_FALSE (held.noteOnSamples().empty()) << pattern;
        EXPECT_EQ (held.noteOnSamples().front(), 100) << pattern;
        EXPECT_EQ (notesOf (held.midi).front(), firstNote) << pattern;

        juce::MidiBuffer release;
        release.addEvent (juce::MidiMessage::noteOff (1, key), 0);
        EXPECT_TRUE (play (*plugin, 24, release).noteOnSamples().empty()) << pattern;
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, InstrumentPlays, ::testing::Values (Format::vst3, Format::lv2),
                          [] (const auto& paramInfo) { return std::string (HostedPlugin::getFormatName (paramInfo.param)); });

namespace
{
/** The notes the output left sounding: every note-on not yet followed by its note-off. */
std::multiset<int> soundingAfter (const Played& out, std::multiset<int> sounding = {})
{
    for (const auto& [sample, message] : out.midi)
    {
        if (message.isNoteOn())
            sounding.insert (message.getNoteNumber());
        else if (message.isNoteOff() && sounding.count (message.getNoteNumber()) > 0)
            sounding.erase (sounding.find (message.getNoteNumber()));
    }

    return sounding;
}

/** The notes that end at the first sample of the output. */
std::multiset<int> endedAtTheFirstSample (const Played& out)
{
    std::multiset<int> ended;

    for (const auto& [sample, message] : out.midi)
        if (sample == 0 && message.isNoteOff())
            ended.insert (message.getNoteNumber());

    return ended;
}

void prepareAgain (juce::AudioPluginInstance& plugin)
{
    plugin.releaseResources();
    plugin.prepareToPlay (sampleRate, blockSize);
}
} // namespace

// A host preparing again (a new rate or block size) stops the sequencer and the
// arpeggiator; the next block ends the notes they left sounding, so that nothing
// fed from the MIDI output hangs. Only a VST3 is prepared again in place: JUCE
// 7.0.5's LV2 wrapper prepares when it is instantiated and ignores activate and
// deactivate, and JUCE's LV2 host makes a new instance in prepareToPlay.
TEST (PreparedAgain, TheNextBlockOfTheHostedVst3EndsTheSequencersAndTheArpeggiatorsNotes)
{
    {
        const auto plugin = loadPrepared (Format::vst3);
        ASSERT_NE (plugin, nullptr);
        TestPlayHead host;
        host.playing = true;

        // Factory pattern 1 under the host's transport, until one of its notes sounds.
        std::multiset<int> sounding;

        for (int block = 0; block < 100 && sounding.empty(); ++block)
            sounding = soundingAfter (play (*plugin, 1, {}, &host), sounding);

        ASSERT_FALSE (sounding.empty());
        prepareAgain (*plugin);
        EXPECT_EQ (endedAtTheFirstSample (play (*plugin, 1, {}, &host)), sounding);
    }

    const ScopedUserSettings settings (sequencerOff);
    const auto plugin = loadPrepared (Format::vst3);
    ASSERT_NE (plugin, nullptr);
    const auto slots = HostedPlugin::getSlots (*plugin);
    play (*plugin, 1);
    slots.at (25)->setValue (0.5f);   // Arp Mode "Up"
    play (*plugin, 1);

    juce::MidiBuffer held;
    held.addEvent (juce::MidiMessage::noteOn (1, 40, static_cast<juce::uint8> (100)), 0);
    const auto sounding = soundingAfter (play (*plugin, 2, held));
    ASSERT_EQ (sounding.size(), 1u);

    prepareAgain (*plugin);
    const auto next = play (*plugin, 1);
    EXPECT_EQ (endedAtTheFirstSample (next), sounding);
    EXPECT_TRUE (soundingAfter (next, sounding).empty());
}
