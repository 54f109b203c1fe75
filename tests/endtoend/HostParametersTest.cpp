#include "HostedPlugin.h"

#include <gtest/gtest.h>

using HostedPlugin::Format;

namespace
{
// The first 36 parameter names of "parameters.xml", in id order: the start-up host map.
const char* const slotNames[] = {
    "Tune", "Slide Time", "Cutoff", "Resonance", "Accent Sweep", "Env Mod", "Attack", "Decay",
    "Accent Decay", "Accent", "Accent Amp", "Gate Length", "Drive", "Bank Frequency", "Bank Spread",
    "Distortion Level", "Bank Damping", "Bank Mix", "Waveform", "Accent Amp Link", "Accent Sweep Link",
    "Effect", "Bank Order", "Volume", "Arp Chord", "Arp Mode", "Arp Shuffle", "Arp Octave -1",
    "Arp Octave 0", "Arp Octave +1", "Arp Octave +2", "Arp Multiplier", "Arp Repeater",
    "Gate Threshold", "Accent Threshold", "Slide Threshold"
};

constexpr int cutoffSlot = 2;

/** Counts every value the plug-in reports for one hosted parameter. */
struct ValueCounter : public juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int, float value) override { values.push_back (value); }
    void parameterGestureChanged (int, bool) override {}

    std::vector<float> values;
};

void runOneBlock (juce::AudioPluginInstance& plugin)
{
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    HostedPlugin::processBlock (plugin, buffer, midi);
}

std::unique_ptr<juce::AudioPluginInstance> loadPrepared (Format format)
{
    auto plugin = HostedPlugin::load (format);

    if (plugin != nullptr)
        plugin->prepareToPlay (44100.0, 64);

    return plugin;
}

class HostParameters : public ::testing::TestWithParam<Format>
{
};
} // namespace

TEST_P (HostParameters, TheHostSees36SlotsWithTheParameterNames)
{
    const auto plugin = HostedPlugin::load (GetParam());
    ASSERT_NE (plugin, nullptr);
    const auto slots = HostedPlugin::getSlots (*plugin);

    ASSERT_EQ (slots.size(), 36u);

    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ (slots[i]->getName (100), slotNames[i]) << "slot " << i;
}

TEST_P (HostParameters, AHostSetValueIsKeptAndNotEchoedBack)
{
    const auto plugin = loadPrepared (GetParam());
    ASSERT_NE (plugin, nullptr);
    auto* cutoff = HostedPlugin::getSlots (*plugin).at (cutoffSlot);
    ValueCounter counter;
    cutoff->addListener (&counter);

    cutoff->setValue (0.25f);
    // Both hosts hand the plug-in's reports over at once on this thread: an echo would be counted now.
    runOneBlock (*plugin);
    runOneBlock (*plugin);

    EXPECT_EQ (cutoff->getValue(), 0.25f);
    EXPECT_TRUE (counter.values.empty());
    cutoff->removeListener (&counter);
}

TEST (HostParametersVst3, TheSlotTextComesFromThePlugInsParameter)
{
    const auto plugin = loadPrepared (Format::vst3);
    ASSERT_NE (plugin, nullptr);
    auto* cutoff = HostedPlugin::getSlots (*plugin).at (cutoffSlot);
    auto* waveform = HostedPlugin::getSlots (*plugin).at (18);

    cutoff->setValue (0.25f);
    waveform->setValue (0.2f);
    runOneBlock (*plugin);

    EXPECT_EQ (cutoff->getCurrentValueAsText(), "25.0");
    EXPECT_EQ (waveform->getCurrentValueAsText(), "Square");
}

TEST_P (HostParameters, TheStateIsThePlugInsOwnAndSurvivesARoundTrip)
{
    const auto first = loadPrepared (GetParam());
    const auto second = loadPrepared (GetParam());
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    juce::MemoryBlock saved;
    first->getStateInformation (saved);
    second->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    runOneBlock (*second);
    juce::MemoryBlock restored;
    second->getStateInformation (restored);

    const auto xml = HostedPlugin::getPluginStateXml (GetParam(), restored);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PluginState");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Tarvelin");
    EXPECT_EQ (saved, restored);
}

INSTANTIATE_TEST_SUITE_P (Formats, HostParameters, ::testing::Values (Format::vst3, Format::lv2),
                          [] (const auto& paramInfo) { return std::string (HostedPlugin::getFormatName (paramInfo.param)); });
