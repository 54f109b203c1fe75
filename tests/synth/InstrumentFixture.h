#pragma once

#include "support/InstrumentTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

/*  The instrument as a host gets it: created through the plug-in entry with no
    stored settings, prepared at 44100 Hz, with no play head (its clocks run at
    120 BPM). Helpers drive it with blocks and MIDI and read the notes it sends
    to the MIDI output, stamped with their positions from the first rendered
    sample.
*/
namespace InstrumentTesting
{
using namespace TarvelinIds;

constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

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

class InstrumentFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_NE (owned, nullptr);

        // A known voice set-up: arpeggiator off, gate half a step, thresholds open.
        setParameter (arpMode, 0.0f);
        setParameter (gateLength, 0.5f);
        setParameter (gateThreshold, 1.0f);
        setParameter (accentThreshold, 1.0f);
        setParameter (slideThreshold, 1.0f);
        plugin.prepareToPlay (sampleRate, blockSize);
    }

    void setParameter (int id, float normalised)    { plugin.getParameterManager().setNormalisedValue (id, normalised); }
    float normalised (int id) const                 { return plugin.getParameterManager().getNormalisedValue (id); }
    bool lamp (int id) const                        { return plugin.getParameterManager().getParameter (id)->getBoolValue(); }

    /** Renders n samples in blocks, handing each block the input events that fall in
        it; returns the note messages of the output. Positions in and out count
        from the start of this call. */
    std::vector<NoteEvent> render (int numSamples, const juce::MidiBuffer& input = {})
    {
        std::vector<NoteEvent> events;
        juce::AudioBuffer<float> audio (2, blockSize);

        for (int done = 0; done < numSamples;)
        {
            const int n = juce::jmin (blockSize, numSamples - done);
            audio.setSize (2, n, false, false, true);
            juce::MidiBuffer midi;

            for (const auto metadata : input)
                if (metadata.samplePosition >= done && metadata.samplePosition < done + n)
                    midi.addEvent (metadata.getMessage(), metadata.samplePosition - done);

            plugin.processBlock (audio, midi);

            for (const auto metadata : midi)
            {
                const auto message = metadata.getMessage();

                if (message.isNoteOn())
                    events.push_back (on (done + metadata.samplePosition, message.getNoteNumber(),
                                          message.getVelocity()));
                else if (message.isNoteOff())
                    events.push_back (off (done + metadata.samplePosition, message.getNoteNumber()));
            }

            done += n;
        }

        return events;
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

    void startSequencer()
    {
        plugin.performEvent (IntSeqPlugin::startEvent);
    }

    std::unique_ptr<Tarvelin> owned = InstrumentTest::createInstrument();
    Tarvelin& plugin = *owned;
};

/** The samples at which step k starts at 120 BPM and 44100 Hz (5512.5 samples a
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
} // namespace InstrumentTesting
