#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstdint>
#include <vector>

/*  The fuzz targets. Each one feeds an input to a reader of outside data the
    way a file, a resource or a host would hand it over, and then checks what
    the reader left behind: not only that nothing crashed, but that every value
    it let through is inside its range. The libFuzzer executables and the
    corpus replay test in the normal suite run the same functions.
*/
namespace FuzzTargets
{
/** Runs one input; returns what broke, one line per finding, or an empty
    string when every check held. */
using Function = juce::String (*) (const std::uint8_t* data, std::size_t size);

struct Target
{
    const char* name;
    Function run;
};

/** Every target, in a fixed order. */
const std::vector<Target>& getAll();

/** Null for an unknown name. */
const Target* find (const juce::String& name);

//==============================================================================
/** "parameters.xml": ParameterManager::loadFromXml. */
juce::String runParameterDefinitions (const std::uint8_t* data, std::size_t size);

/** "events.xml": GuiEventsMap::loadFromXml. */
juce::String runEventDefinitions (const std::uint8_t* data, std::size_t size);

/** ".tqccmap": MidiControl::loadFromFile. */
juce::String runMidiControlMap (const std::uint8_t* data, std::size_t size);

/** Preset record files: Preset::load, in full and header only. */
juce::String runPresetRecord (const std::uint8_t* data, std::size_t size);

/** ".tqprs": PresetManager::loadPresetFileIntoCurrentSlot. */
juce::String runPresetSlotFile (const std::uint8_t* data, std::size_t size);

/** ".tqprsb": PresetManager::loadBankFromFile. */
juce::String runPresetBankFile (const std::uint8_t* data, std::size_t size);

/** A "Pattern" element with its "Step" children: Pattern::loadFromXml. */
juce::String runPatternXml (const std::uint8_t* data, std::size_t size);

//==============================================================================
// Through the instrument made by the plug-in entry; each checks the whole
// instrument afterwards and lets it play.

/** A host's state block: Tarvelin::setStateInformation, then the state saved again. */
juce::String runPluginState (const std::uint8_t* data, std::size_t size);

/** The same with the block cut or padded to the older format's 100968 bytes. */
juce::String runOlderPluginState (const std::uint8_t* data, std::size_t size);

/** A host's program block: Tarvelin::setCurrentProgramStateInformation. */
juce::String runProgramState (const std::uint8_t* data, std::size_t size);

/** The same with the block cut or padded to the older format's 136 bytes. */
juce::String runOlderProgramState (const std::uint8_t* data, std::size_t size);

/** The user settings file, read while the plug-in entry sets the instrument up. */
juce::String runUserSettings (const std::uint8_t* data, std::size_t size);

/** ".tqhpmap": BasePlugin::loadHostParametersMap. */
juce::String runHostParametersMap (const std::uint8_t* data, std::size_t size);

/** ".tqptr": IntSeqPlugin::loadPatternFile. */
juce::String runPatternFile (const std::uint8_t* data, std::size_t size);

/** ".tqptrb": Tarvelin::loadPatternBankFile. */
juce::String runPatternBankFile (const std::uint8_t* data, std::size_t size);

/** The older ".tq" text bank through Tarvelin::loadPatternBankFile. */
juce::String runPatternTextFile (const std::uint8_t* data, std::size_t size);

//==============================================================================
/** "skin.xml" text: Skin::createPanelFromXml, then the panel painted. */
juce::String runSkinDescription (const std::uint8_t* data, std::size_t size);

/** ".ulvraskin" bytes checked and built as the editor does, by one Skin
    (Skin::openPackage, then Skin::createEditorPanel), and then its previews
    for the skin-choice page; then the same bytes as the ".skin" archive
    of a package with a matching digest. */
juce::String runSkinPackage (const std::uint8_t* data, std::size_t size);
} // namespace FuzzTargets
