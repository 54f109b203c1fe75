#include "HostedPlugin.h"

#include <gtest/gtest.h>

using HostedPlugin::Format;

class PluginLoading : public ::testing::TestWithParam<Format>
{
};

TEST_P (PluginLoading, InstantiatesAsAnInstrumentWithMidiInAndOutAndAStereoOutput)
{
    const auto plugin = HostedPlugin::load (GetParam());
    ASSERT_NE (plugin, nullptr);

    EXPECT_EQ (plugin->getName(), "Tarvelin");
    EXPECT_TRUE (plugin->getPluginDescription().isInstrument);
    EXPECT_TRUE (plugin->acceptsMidi());
    EXPECT_TRUE (plugin->producesMidi());
    EXPECT_EQ (plugin->getTotalNumInputChannels(), 0);
    EXPECT_EQ (plugin->getTotalNumOutputChannels(), 2);
}

TEST_P (PluginLoading, StateSavedByOneInstanceRestoresIntoAnother)
{
    const auto first = HostedPlugin::load (GetParam());
    const auto second = HostedPlugin::load (GetParam());
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    juce::MemoryBlock saved;
    first->getStateInformation (saved);
    second->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));

    // A hosted LV2 takes restored state during its next run().
    second->prepareToPlay (44100.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    HostedPlugin::processBlock (*second, buffer, midi);

    juce::MemoryBlock restored;
    second->getStateInformation (restored);
    EXPECT_EQ (saved, restored);
}

INSTANTIATE_TEST_SUITE_P (Formats, PluginLoading, ::testing::Values (Format::vst3, Format::lv2),
                          [] (const auto& paramInfo) { return std::string (HostedPlugin::getFormatName (paramInfo.param)); });
