#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
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
} // namespace HostedPlugin
