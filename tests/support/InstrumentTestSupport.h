#pragma once

#include "support/TestPlugins.h"
#include "synth/Tarvelin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

/*  Drives the real instrument the way a host does: created through the plug-in
    entry with no stored settings, prepared at 44100 Hz, fed MIDI block by block,
    with an optional play head (without one its clocks run at 120 BPM). Event
    positions in and out count from the first sample of a render call.
*/
namespace InstrumentTest
{
using namespace TarvelinIds;

constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

/** An instrument made by the plug-in entry, reading the settings an earlier one left. */
inline std::unique_ptr<Tarvelin> reopenInstrument()
{
    return std::unique_ptr<Tarvelin> (dynamic_cast<Tarvelin*> (createPluginFilter()));
}

/** A fresh instrument made by the plug-in entry, with no stored settings. */
inline std::unique_ptr<Tarvelin> createInstrument()
{
    removeSettingsOf ("Tarvelin");
    auto instrument = reopenInstrument();
    instrument->setRateAndBufferSizeDetails (sampleRate, blockSize);
    instrument->prepareToPlay (sampleRate, blockSize);
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

        if (reportsTempo)
            info.setBpm (tempo);

        if (reportsPosition)
            info.setPpqPosition (position);

        return info;
    }

    void advance (int numSamples)
    {
        if (playing && ! positionStandsStill)
            position += numSamples / sampleRate * tempo / 60.0;
    }

    bool playing = false;
    double tempo = 120.0;
    double position = 0.0;

    // Real hosts leave fields out, or repeat a position that does not move.
    bool reportsTempo = true, reportsPosition = true, positionStandsStill = false;
};

struct MidiOut
{
    int sample;
    juce::MidiMessage message;
};

inline MidiOut noteOn (int sample, int note, juce::uint8 velocity = 100)  { return { sample, juce::MidiMessage::noteOn (1, note, velocity) }; }
inline MidiOut noteOff (int sample, int note)                             { return { sample, juce::MidiMessage::noteOff (1, note) }; }

/** One note message of the instrument's MIDI output. */
struct NoteEvent
{
    int sample = 0;
    int note = 0;
    int velocity = 0;   // 0 for a note-off
    bool on = false;

    bool operator== (const NoteEvent& other) const
    {
        return sample == other.sample && note == other.note && velocity == other.velocity && on == other.on;
    }
};

inline std::ostream& operator<< (std::ostream& out, const NoteEvent& e)
{
    return out << (e.on ? "on " : "off ") << e.note << " v" << e.velocity << " @" << e.sample;
}

inline NoteEvent on (int sample, int note, int velocity)   { return { sample, note, velocity, true }; }
inline NoteEvent off (int sample, int note)                { return { sample, note, 0, false }; }

struct Rendered
{
    std::vector<std::vector<float>> channels;
    std::vector<MidiOut> midi;

    /** The note messages of the MIDI output. */
    std::vector<NoteEvent> notes() const
    {
        std::vector<NoteEvent> result;

        for (const auto& e : midi)
            if (e.message.isNoteOn())
                result.push_back (on (e.sample, e.message.getNoteNumber(), e.message.getVelocity()));
            else if (e.message.isNoteOff())
                result.push_back (off (e.sample, e.message.getNoteNumber()));

        return result;
    }

    std::vector<NoteEvent> noteOns() const
    {
        std::vector<NoteEvent> result;

        for (const auto& e : notes())
            if (e.on)
                result.push_back (e);

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

/** Renders numSamples in blocks of blockSize, handing each block the input events that fall in it. */
inline Rendered render (Tarvelin& instrument, int numSamples, int blockLength = blockSize,
                        const std::vector<MidiOut>& input = {}, TestPlayHead* playHead = nullptr,
                        int numChannels = 2)
{
    Rendered result;
    result.channels.assign (static_cast<size_t> (numChannels), {});
    instrument.setPlayHead (playHead);

    for (int start = 0; start < numSamples; start += blockLength)
    {
        const int length = juce::jmin (blockLength, numSamples - start);
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

/** Turns the internal sequencer off and lets the audio thread take the requests it leaves. */
inline void switchSequencerOff (Tarvelin& instrument)
{
    instrument.setInternalSequencer (false);
    render (instrument, 64, 64);
}

/** A step from its fields; levels stay 0 so that every threshold lets it through. */
inline PatternStep makeStep (int note, bool gate, bool accent = false, bool slide = false,
                             bool octaveUp = false, bool octaveDown = false)
{
    PatternStep step (gate);
    step.setNote (note);
    step.setAccent (accent);
    step.setSlide (slide);
    step.setOctaveUp (octaveUp);
    step.setOctaveDown (octaveDown);
    return step;
}

/** The sample at which step k starts at 120 BPM and 44100 Hz (5512.5 samples a
    step), with every second step of a pair delayed by the shuffle factor. */
inline int stepStartSample (int k, double shuffleFactor = 0.0)
{
    constexpr double stepLength = 5512.5;
    const double pairStart = (k / 2) * 2 * stepLength;
    const double start = (k % 2 == 0) ? pairStart : pairStart + stepLength * (1.0 + shuffleFactor);
    return static_cast<int> (std::ceil (start - 1.0e-6));
}

/** The sample at which step k's gate ends, the gate being half of the step's own length. */
inline int gateEndSample (int k, double shuffleFactor = 0.0)
{
    constexpr double stepLength = 5512.5;
    const double pairStart = (k / 2) * 2 * stepLength;
    const double secondStart = pairStart + stepLength * (1.0 + shuffleFactor);
    const double pairEnd = pairStart + 2 * stepLength;
    const double end = (k % 2 == 0) ? pairStart + (secondStart - pairStart) * 0.5
                                     : secondStart + (pairEnd - secondStart) * 0.5;
    return static_cast<int> (std::ceil (end - 1.0e-6));
}

/** The instrument with a known voice set-up: arpeggiator off, gate half a step, thresholds open. */
class InstrumentFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_NE (owned, nullptr);
        setParameter (arpMode, 0.0f);
        setParameter (gateLength, 0.5f);
        setParameter (gateThreshold, 1.0f);
        setParameter (accentThreshold, 1.0f);
        setParameter (slideThreshold, 1.0f);
        plugin.prepareToPlay (sampleRate, blockSize);
    }

    void setParameter (int id, float normalised)    { parameters.setNormalisedValue (id, normalised); }
    void setText (int id, const char* text)         { parameters.setValueFromText (id, text); }
    float normalised (int id) const                 { return parameters.getNormalisedValue (id); }
    bool lamp (int id) const                        { return parameters.getParameter (id)->getBoolValue(); }

    /** Renders n samples in blocks of 512 and gives the audio and the MIDI output. */
    Rendered play (int numSamples, const std::vector<MidiOut>& input = {}, TestPlayHead* host = nullptr)
    {
        return InstrumentTest::render (plugin, numSamples, blockSize, input, host);
    }

    /** Renders n samples in blocks of 512 and gives the note messages of the output. */
    std::vector<NoteEvent> render (int numSamples, const std::vector<MidiOut>& input = {})
    {
        return play (numSamples, input).notes();
    }

    /** Renders one block so that requests and MIDI already given take effect. */
    void renderBlock()                              { render (blockSize); }

    /** Every pattern gets 16 cleared steps, gate off, and its length, tempo and shuffle back. */
    void clearAllPatterns()
    {
        for (int i = 0; i < Tarvelin::numPatterns; ++i)
        {
            auto& pattern = plugin.getPattern (i);
            pattern.clearSteps (false);
            pattern.setLength (16);
            pattern.setShuffle (0);
            pattern.setTempo (120.0);
        }
    }

    /** A pattern whose steps all play the same note, so that it can be recognised. */
    void fillPattern (int index, int note, int length)
    {
        auto& pattern = plugin.getPattern (index);
        pattern.clearSteps (false);
        pattern.setLength (length);

        for (int s = 0; s < Pattern::numSteps; ++s)
            pattern.setStep (s, makeStep (note, true));
    }

    void startSequencer()                           { plugin.performEvent (IntSeqPlugin::startEvent); }

    std::unique_ptr<Tarvelin> owned = createInstrument();
    Tarvelin& plugin = *owned;
    ParameterManager& parameters = plugin.getParameterManager();
};
} // namespace InstrumentTest
