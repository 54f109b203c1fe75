#include "HostedPlugin.h"

#include <gtest/gtest.h>

using HostedPlugin::Format;

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

/** The user's settings folder as the hosted plug-in finds it. */
juce::File getSettingsFile()
{
    return juce::File (juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {}))
        .getChildFile ("Ulvra Group").getChildFile ("Tarvelin").getChildFile ("Tarvelin.ini");
}

/** Stores user settings that start new instances with the internal sequencer off,
    so that incoming notes play the voice; removes them again afterwards. */
struct SequencerOffByDefault
{
    SequencerOffByDefault()
    {
        getSettingsFile().getParentDirectory().createDirectory();
        getSettingsFile().replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<UserSettings application=\"Tarvelin\"><InternalSequencer>"
                                           "<IntSeq state=\"off\"/></InternalSequencer></UserSettings>\n");
    }

    ~SequencerOffByDefault() { getSettingsFile().deleteFile(); }
};

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
    const SequencerOffByDefault settings;
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

INSTANTIATE_TEST_SUITE_P (Formats, InstrumentPlays, ::testing::Values (Format::vst3, Format::lv2),
                          [] (const auto& paramInfo) { return std::string (HostedPlugin::getFormatName (paramInfo.param)); });
