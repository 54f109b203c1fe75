#include "framework/BasePlugin.h"

BasePlugin::BasePlugin()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    parameterManager.loadFromResource ("parameters.xml");

    // The built-in events come after the definitions, so a name or uid that
    // "events.xml" defines is kept as defined there.
    eventsMap.loadFromResource ("events.xml");
    eventsMap.addBuiltInEvents();
}

BasePlugin::~BasePlugin() = default;

juce::AudioProcessor* BasePlugin::createAndSetUp (std::unique_ptr<BasePlugin> plugin)
{
    return plugin.release();
}

void BasePlugin::prepareToPlay (double, int) {}

void BasePlugin::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    buffer.clear();
}

juce::AudioProcessorEditor* BasePlugin::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

void BasePlugin::getStateInformation (juce::MemoryBlock&) {}
void BasePlugin::setStateInformation (const void*, int) {}
