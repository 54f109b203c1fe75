#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <map>
#include <memory>
#include <ostream>
#include <vector>

/*  Loads the built plug-in bundles through JUCE's own plug-in hosting, the way
    a host would: by file for the VST3, by URI from the bundle's folder for the LV2.
*/
namespace HostedPlugin
{
enum class Format { vst3, lv2 };

inline const char* getFormatName (Format format)
{
    return format == Format::vst3 ? "VST3" : "LV2";
}

inline void PrintTo (Format format, std::ostream* out)
{
    *out << getFormatName (format);
}

/** The user's settings file as the hosted plug-in finds it. */
inline juce::File getSettingsFile()
{
    return juce::File (juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {}))
        .getChildFile ("Ulvra Group").getChildFile ("Tarvelin").getChildFile ("Tarvelin.ini");
}

/** User settings for the next instances, removed again afterwards. */
struct ScopedUserSettings
{
    explicit ScopedUserSettings (const juce::String& children)
    {
        getSettingsFile().getParentDirectory().createDirectory();
        getSettingsFile().replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<UserSettings application=\"Tarvelin\">" + children + "</UserSettings>\n");
    }

    ~ScopedUserSettings() { getSettingsFile().deleteFile(); }
};

inline std::unique_ptr<juce::AudioPluginInstance> load (Format format, double sampleRate = 44100.0, int blockSize = 512)
{
    juce::OwnedArray<juce::PluginDescription> found;
    std::unique_ptr<juce::AudioPluginFormat> pluginFormat;

    if (format == Format::vst3)
    {
        pluginFormat = std::make_unique<juce::VST3PluginFormat>();
        pluginFormat->findAllTypesForFile (found, TARVELIN_VST3_BUNDLE);
    }
    else
    {
        pluginFormat = std::make_unique<juce::LV2PluginFormat>();
        const auto bundleFolder = juce::File (TARVELIN_LV2_BUNDLE).getParentDirectory();
        pluginFormat->searchPathsForPlugins (juce::FileSearchPath (bundleFolder.getFullPathName()), true, false);
        pluginFormat->findAllTypesForFile (found, TARVELIN_LV2_URI);
    }

    if (found.isEmpty())
        return nullptr;

    juce::String error;
    auto instance = pluginFormat->createInstanceFromDescription (*found.getFirst(), sampleRate, blockSize, error);
    return instance;
}

/** The hosted parameters that a user can automate, without the bypass switch that
    the format wrappers add, and without the "Program" parameter through which
    JUCE's VST3 wrapper carries program changes. JUCE's VST3 wrapper also lists
    2080 parameters "MIDI CC c|n" that carry the host's controllers as MIDI; they
    are not automatable. */
inline std::vector<juce::AudioProcessorParameter*> getSlots (juce::AudioPluginInstance& plugin)
{
    std::vector<juce::AudioProcessorParameter*> slots;

    for (auto* parameter : plugin.getParameters())
        if (parameter != plugin.getBypassParameter() && parameter->isAutomatable() && parameter->getName (100) != "Program")
            slots.push_back (parameter);

    return slots;
}

/** The hosted VST3's program-change parameter; null when the plug-in has none. */
inline juce::AudioProcessorParameter* getProgramParameter (juce::AudioPluginInstance& plugin)
{
    for (auto* parameter : plugin.getParameters())
        if (parameter->getName (100) == "Program")
            return parameter;

    return nullptr;
}

/** One block of processing with the given MIDI; the buffer gets the plug-in's output. */
inline void processBlock (juce::AudioPluginInstance& plugin, juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    buffer.clear();
    plugin.processBlock (buffer, midi);
}

/** The plug-in's own "PluginState" inside a hosted instance's state: JUCE's VST3
    host keeps the component's state as base64 text in "VST3PluginState", and its
    LV2 host keeps the wrapper's state string in a Turtle preset. Null when absent. */
inline std::unique_ptr<juce::XmlElement> getPluginStateXml (Format format, const juce::MemoryBlock& hostState)
{
    juce::MemoryBlock pluginState;

    if (format == Format::vst3)
    {
        const auto outer = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), static_cast<int> (hostState.getSize()));
        const auto* component = outer != nullptr ? outer->getChildByName ("IComponent") : nullptr;

        if (component == nullptr || ! pluginState.fromBase64Encoding (component->getAllSubText()))
            return nullptr;
    }
    else
    {
        const auto turtle = hostState.toString();
        const auto text = turtle.fromFirstOccurrenceOf (":StateString> \"", false, false).upToFirstOccurrenceOf ("\"", false, false);

        if (text.isEmpty() || ! pluginState.fromBase64Encoding (text))
            return nullptr;
    }

    return juce::AudioProcessor::getXmlFromBinary (pluginState.getData(), static_cast<int> (pluginState.getSize()));
}

/** The plug-in's own "PluginState" as the hosted instance saves it now; null when absent. */
inline std::unique_ptr<juce::XmlElement> savePluginState (juce::AudioPluginInstance& plugin, Format format)
{
    juce::MemoryBlock block;
    plugin.getStateInformation (block);
    return getPluginStateXml (format, block);
}

/** The normalised parameter values a "PluginState" holds, by parameter name. */
inline std::map<juce::String, float> getSavedValues (const juce::XmlElement& state)
{
    std::map<juce::String, float> values;

    if (const auto* parameters = state.getChildByName ("ParametersState"))
        for (auto* param : parameters->getChildWithTagNameIterator ("param"))
            values[param->getStringAttribute ("name")] = static_cast<float> (param->getDoubleAttribute ("value"));

    return values;
}

/** The names of the 128 preset slots a "PluginState" holds, in slot order. */
inline juce::StringArray getSavedPresetNames (const juce::XmlElement& state)
{
    juce::StringArray names;
    const auto* presets = state.getChildByName ("PresetsState");
    const auto* bank = presets != nullptr ? presets->getChildByName ("PresetBank") : nullptr;

    if (bank != nullptr)
        for (auto* group : bank->getChildWithTagNameIterator ("PresetGroup"))
            for (auto* preset : group->getChildWithTagNameIterator ("Preset"))
                names.add (preset->getStringAttribute ("name"));

    return names;
}
} // namespace HostedPlugin
