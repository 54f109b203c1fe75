#pragma once

#include "support/OldStyleTestPlugin.h"
#include "synth/Tarvelin.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <optional>
#include <vector>

/*  Drives the real instrument the way a host does: created through the plug-in
    entry with empty settings, fed MIDI block by block, with an optional play head.
*/
namespace InstrumentTest
{
constexpr double sampleRate = 44100.0;

/** A fresh instrument made by the plug-in entry, with no stored settings. */
inline std::unique_ptr<Tarvelin> createInstrument()
{
    removeOldStyleSettings();
    std::unique_ptr<Tarvelin> instrument (dynamic_cast<Tarvelin*> (createPluginFilter()));
    instrument->setRateAndBufferSizeDetails (sampleRate, 512);
    instrument->prepareToPlay (sampleRate, 512);
    return instrument;
}

/** A host transport that moves on by each block it is asked for. */
class TestPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setIsPlaying (playing);
        info.setBpm (tempo);
        info.setPpqPosition (position);
        return info;
    }

    void advance (int numSamples)
    {
        if (playing)
            position += numSamples / sampleRate * tempo / 60.0;
    }

    bool playing = false;
    double tempo = 120.0;
    double position = 0.0;
};

struct MidiOut
{
    int sample;
    juce::MidiMessage message;
};

struct Rendered
{
    std::vector<std::vector<float>> channels;
    std::vector<MidiOut> midi;

    std::vector<MidiOut> noteOns() const
    {
        std::vector<MidiOut> result;
        for (const auto& event : midi)
            if (event.message.isNoteOn())
                result.push_back (event);
        return result;
    }

    bool isSilent() const
    {
        for (const auto& channel : channels)
            for (const auto sample : channel)
                if (sample != 0.0f)
                    return false;
        return true;
    }
};

/** Renders numSamples in blocks of blockSize. Input events carry absolute sample
    positions; the output events are returned at absolute positions too. */
inline Rendered render (Tarvelin& instrument, int numSamples, int blockSize,
                        const std::vector<MidiOut>& input = {}, TestPlayHead* playHead = nullptr,
                        int numChannels = 2)
{
    Rendered result;
    result.channels.assign (static_cast<size_t> (numChannels), {});
    instrument.setPlayHead (playHead);

    for (int start = 0; start < numSamples; start += blockSize)
    {
        const int length = juce::jmin (blockSize, numSamples - start);
        juce::AudioBuffer<float> buffer (numChannels, length);
        juce::MidiBuffer midi;

        for (const auto& event : input)
            if (event.sample >= start && event.sample < start + length)
                midi.addEvent (event.message, event.sample - start);

        instrument.processBlock (buffer, midi);

        for (int c = 0; c < numChannels; ++c)
            for (int i = 0; i < length; ++i)
                result.channels[static_cast<size_t> (c)].push_back (buffer.getSample (c, i));

        for (const auto metadata : midi)
            result.midi.push_back ({ start + metadata.samplePosition, metadata.getMessage() });

        if (playHead != nullptr)
            playHead->advance (length);
    }

    instrument.setPlayHead (nullptr);
    return result;
}

inline MidiOut noteOn (int sample, int note, juce::uint8 velocity = 100)
{
    return { sample, juce::MidiMessage::noteOn (1, note, velocity) };
}

inline MidiOut noteOff (int sample, int note)
{
    return { sample, juce::MidiMessage::noteOff (1, note) };
}

/** Turns the internal sequencer off and lets the audio thread take the requests it leaves. */
inline void switchSequencerOff (Tarvelin& instrument)
{
    instrument.setInternalSequencer (false);
    render (instrument, 64, 64);
}
} // namespace InstrumentTest
