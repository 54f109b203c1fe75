#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "framework/XmlFiles.h"
#include "synth/Tarvelin.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace FuzzTargets
{
using FuzzSupport::Findings;

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 256;
constexpr int olderStateSize = 100968;
constexpr int olderProgramSize = 136;

// Settings that start the instrument with cleared presets and patterns: the
// factory banks take most of a set-up's time, and a state or file replaces them anyway.
const char* const quickSettings =
    "<UserSettings application=\"Tarvelin\"><ResourcesSettings>"
    "<Presets default=\"clearPresets\"/><Patterns default=\"clearPatterns\"/><MidiCCMap default=\"noMapping\"/>"
    "</ResourcesSettings></UserSettings>";

std::unique_ptr<Tarvelin> createFromPluginEntry()
{
    std::unique_ptr<Tarvelin> instrument (dynamic_cast<Tarvelin*> (createPluginFilter()));
    instrument->setRateAndBufferSizeDetails (sampleRate, blockSize);
    instrument->prepareToPlay (sampleRate, blockSize);
    return instrument;
}

const juce::File& userSettingsFile()
{
    static const auto file = []
    {
        FuzzSupport::removeSettingsFolders();
        return createFromPluginEntry()->getUserSettingsFile();
    }();

    return file;
}

/** The instrument made by the plug-in entry, as a host makes it, with this
    settings file and nothing else left by an earlier run. */
std::unique_ptr<Tarvelin> createInstrument (const void* settings, std::size_t size)
{
    const auto& file = userSettingsFile();
    FuzzSupport::removeSettingsFolders();
    file.getParentDirectory().createDirectory();
    file.replaceWithData (settings, size);
    return createFromPluginEntry();
}

std::unique_ptr<Tarvelin> createInstrument()
{
    return createInstrument (quickSettings, std::strlen (quickSettings));
}

// Every value a load may have reached stays inside its range: parameters,
// presets, patterns and the pattern engine's positions.
void checkInstrument (Tarvelin& instrument, Findings& findings)
{
    FuzzSupport::checkAllParameters (instrument.getParameterManager(), findings);

    auto& presets = instrument.getPresetManager();
    int presetsInGroups = 0;

    for (int group = 0; group < presets.getNumGroups(); ++group)
        presetsInGroups += presets.getNumPresetsInGroup (group);

    if (presetsInGroups != PresetManager::numPresets)
        findings.add ("the preset groups hold " + juce::String (presetsInGroups) + " presets");

    for (int index = 0; index < PresetManager::numPresets; ++index)
        if (const auto* slot = presets.getPresetSlot (index))
            for (int id = 0; id < slot->getNumValues(); ++id)
                if (! std::isfinite (slot->getValue (id)))
                    findings.add ("preset " + juce::String (index) + " holds a value that is not finite");

    for (int index = 0; index < Tarvelin::numPatterns; ++index)
    {
        Findings patternFindings;
        FuzzSupport::checkPattern (instrument.getPattern (index), patternFindings);

        if (! patternFindings.isEmpty())
            findings.add ("pattern " + juce::String (index) + ": " + patternFindings.getText().trim());
    }

    const auto current = instrument.getCurrentPatternIndex();
    const auto top = instrument.isHostModeOn() ? Tarvelin::numPatterns - 1 : 23;

    if (current < 0 || current > top)
        findings.add ("current pattern " + juce::String (current));
    else if (instrument.getEditedStep() < 0 || instrument.getEditedStep() >= instrument.getPattern (current).getLength())
        findings.add ("edited step " + juce::String (instrument.getEditedStep()) + " of a pattern of "
                      + juce::String (instrument.getPattern (current).getLength()) + " steps");

    const auto first = instrument.getChainFirst();
    const auto last = instrument.getChainLast();

    if (first < 0 || last > 7 || first > last)
        findings.add ("chain " + juce::String (first) + ".." + juce::String (last));

    if (! juce::isPositiveAndBelow (instrument.getChainBank(), 3) || ! juce::isPositiveAndBelow (instrument.getBankGroup(), 3))
        findings.add ("chain bank " + juce::String (instrument.getChainBank()) + ", bank group "
                      + juce::String (instrument.getBankGroup()));
}

// The instrument then plays: notes, and the sequencer over whatever patterns
// the load left, with every sample finite.
void checkInstrumentRender (Tarvelin& instrument, Findings& findings)
{
    juce::AudioBuffer<float> buffer (instrument.getTotalNumOutputChannels(), blockSize);
    juce::MidiBuffer midi;
    int nonFinite = 0;

    instrument.requestPlayState (1);

    for (int block = 0; block < 12; ++block)
    {
        midi.clear();

        if (block == 0)
        {
            midi.addEvent (juce::MidiMessage::noteOn (1, 36, static_cast<juce::uint8> (100)), 0);
            midi.addEvent (juce::MidiMessage::noteOn (1, 43, static_cast<juce::uint8> (127)), 100);
            midi.addEvent (juce::MidiMessage::noteOn (1, 14, static_cast<juce::uint8> (90)), 120);
        }
        else if (block == 6)
        {
            midi.addEvent (juce::MidiMessage::noteOff (1, 43), 0);
            midi.addEvent (juce::MidiMessage::noteOff (1, 36), 10);
            midi.addEvent (juce::MidiMessage::noteOff (1, 14), 20);
        }

        buffer.clear();
        instrument.processBlock (buffer, midi);

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                if (! std::isfinite (buffer.getSample (channel, i)))
                    ++nonFinite;
    }

    if (nonFinite > 0)
        findings.add ("the instrument rendered " + juce::String (nonFinite) + " samples that are not finite");
}

juce::String checkAll (Tarvelin& instrument)
{
    Findings findings;
    FuzzSupport::deliverPendingMessages();
    checkInstrument (instrument, findings);
    checkInstrumentRender (instrument, findings);
    FuzzSupport::deliverPendingMessages();
    return findings.getText();
}

/** What a refused load must leave as it was: every parameter's text, the
    presets, the patterns and the host-parameter map. */
struct InstrumentSnapshot
{
    juce::StringArray parameters, presetNames;
    std::vector<float> presetValues;
    std::vector<Pattern> patterns;
    std::vector<int> hostSlots;

    bool operator== (const InstrumentSnapshot& other) const
    {
        return parameters == other.parameters && presetNames == other.presetNames
            && presetValues == other.presetValues && patterns == other.patterns && hostSlots == other.hostSlots;
    }
};

InstrumentSnapshot snapshotOf (Tarvelin& instrument)
{
    InstrumentSnapshot snapshot;
    const auto& table = instrument.getParameterManager();

    for (int i = 0; i < table.getNumParameters(); ++i)
        if (const auto* parameter = table.getParameterAt (i))
            snapshot.parameters.add (juce::String (parameter->getId()) + "=" + parameter->getText());

    auto& presets = instrument.getPresetManager();

    for (int index = 0; index < PresetManager::numPresets; ++index)
    {
        snapshot.presetNames.add (presets.getPresetName (index));

        if (const auto* slot = presets.getPresetSlot (index))
            for (int id = 0; id < slot->getNumValues(); ++id)
                snapshot.presetValues.push_back (slot->getValue (id));
    }

    for (int index = 0; index < Tarvelin::numPatterns; ++index)
        snapshot.patterns.push_back (instrument.getPattern (index));

    for (int slot = 0; slot < instrument.getNumHostParameters(); ++slot)
        snapshot.hostSlots.push_back (instrument.getHostParameterAssignment (slot));

    return snapshot;
}

/** A block that holds no state of this plug-in: not the toolkit's XML, or XML of something else. */
bool holdsNoStateOf (const Tarvelin& instrument, const std::uint8_t* data, std::size_t size)
{
    const auto xml = XmlFiles::parseBinary (data, static_cast<int> (size), BasePlugin::maxStateBytes);
    return xml == nullptr || ! instrument.isPluginStateXml (*xml);
}

/** The input cut or padded with zeros to exactly the size. */
std::vector<std::uint8_t> ofSize (const std::uint8_t* data, std::size_t size, std::size_t wanted)
{
    std::vector<std::uint8_t> block (wanted, 0);
    std::memcpy (block.data(), data, juce::jmin (size, wanted));
    return block;
}
} // namespace

//==============================================================================
juce::String runPluginState (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);
    instrument->setStateInformation (data, static_cast<int> (size));

    // Parsed again only when something changed: the parse is most of a large block's cost.
    if (size != olderStateSize && ! (snapshotOf (*instrument) == before) && holdsNoStateOf (*instrument, data, size))
        return "a block without a state of this plug-in changed the instrument\n";

    auto findings = checkAll (*instrument);

    // Hosts save the state again and again after restoring one: whatever was
    // restored must save, and read back as a state of this plug-in.
    juce::MemoryBlock saved;
    instrument->getStateInformation (saved);
    const auto savedXml = XmlFiles::parseBinary (saved.getData(), static_cast<int> (saved.getSize()), BasePlugin::maxStateBytes);

    if (savedXml == nullptr || ! instrument->isPluginStateXml (*savedXml))
        findings << "the state saved after the load does not read back\n";

    return findings;
}

juce::String runOlderPluginState (const std::uint8_t* data, std::size_t size)
{
    // Kept clear of the toolkit's magic number, so that the block is always read as the older format.
    auto block = ofSize (data, size, olderStateSize);
    block[3] = static_cast<std::uint8_t> (block[3] == 0x21 ? 0 : block[3]);

    auto instrument = createInstrument();
    instrument->setStateInformation (block.data(), static_cast<int> (block.size()));
    return checkAll (*instrument);
}

juce::String runProgramState (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);
    instrument->setCurrentProgramStateInformation (data, static_cast<int> (size));

    if (size != olderProgramSize && ! (snapshotOf (*instrument) == before) && holdsNoStateOf (*instrument, data, size))
        return "a program block without a state of this plug-in changed the instrument\n";

    return checkAll (*instrument);
}

juce::String runOlderProgramState (const std::uint8_t* data, std::size_t size)
{
    const auto block = ofSize (data, size, olderProgramSize);

    auto instrument = createInstrument();
    instrument->setCurrentProgramStateInformation (block.data(), static_cast<int> (block.size()));
    return checkAll (*instrument);
}

juce::String runUserSettings (const std::uint8_t* data, std::size_t size)
{
    // The settings file is read while the plug-in entry sets the instrument up.
    auto instrument = createInstrument (data, size);
    return checkAll (*instrument);
}

juce::String runHostParametersMap (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);

    Findings findings;

    if (! instrument->loadHostParametersMap (FuzzSupport::writeInputFile (data, size, ".tqhpmap"))
        && ! (snapshotOf (*instrument) == before))
        findings.add ("a refused map file changed the instrument");

    for (int slot = 0; slot < instrument->getNumHostParameters(); ++slot)
    {
        const auto id = instrument->getHostParameterAssignment (slot);

        if (id == -1)
            continue;

        const auto* parameter = instrument->getParameterManager().getParameter (id);

        if (parameter == nullptr || ! parameter->getAutoFlag())
            findings.add ("host slot " + juce::String (slot) + " holds parameter " + juce::String (id)
                          + ", which the host may not see");
        else if (instrument->getHostSlotOfParameter (id) != slot)
            findings.add ("parameter " + juce::String (id) + " stands in more than one host slot");

        const auto value = instrument->getHostParameter (slot);

        if (! std::isfinite (value) || value < 0.0f || value > 1.0f)
            findings.add ("host slot " + juce::String (slot) + " reads " + juce::String (value));

        // The host moving the slot keeps the parameter in range.
        instrument->setHostParameter (slot, 1.0f);
    }

    return findings.getText() + checkAll (*instrument);
}

juce::String runPatternFile (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);

    if (! instrument->loadPatternFile (FuzzSupport::writeInputFile (data, size, ".tqptr"), 5)
        && ! (snapshotOf (*instrument) == before))
        return "a refused pattern file changed the instrument\n";

    return checkAll (*instrument);
}

juce::String runPatternBankFile (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);

    if (! instrument->loadPatternBankFile (FuzzSupport::writeInputFile (data, size, ".tqptrb"))
        && ! (snapshotOf (*instrument) == before))
        return "a refused pattern bank changed the instrument\n";

    return checkAll (*instrument);
}

juce::String runPatternTextFile (const std::uint8_t* data, std::size_t size)
{
    auto instrument = createInstrument();
    const auto before = snapshotOf (*instrument);

    if (! instrument->loadPatternBankFile (FuzzSupport::writeInputFile (data, size, ".tq"))
        && ! (snapshotOf (*instrument) == before))
        return "a refused text bank changed the instrument\n";

    return checkAll (*instrument);
}
} // namespace FuzzTargets
