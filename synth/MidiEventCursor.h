#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/**
    Hands out the MIDI events of a block one sample at a time, and carries
    events stamped beyond the block's end over into the next block.

    Audio thread only. The buffers are reserved up front so that ordinary
    blocks allocate nothing.
*/
class MidiEventCursor
{
public:
    MidiEventCursor();

    /** Forgets every event, including those carried over. */
    void clear();

    /** Appends a block's input after the events carried over and starts again at sample 0. */
    void setEvents (const juce::MidiBuffer& events);

    /** Gives the next event due at this sample; call it until it returns false,
        for every sample of the block in order. An event stamped before the given
        sample is handed out at once rather than held back.
    */
    bool getNextEventAt (juce::MidiMessage& out, int sample)
    {
        // Most samples have no event: they are answered here, without a call.
        if (! hasMore || (pending && position > sample))
            return false;

        return takeNextEventAt (out, sample);
    }

    /** Ends a block of n samples: events at n and later move to the next block, shifted by -n. */
    void advance (int numSamples);

private:
    bool takeNextEventAt (juce::MidiMessage& out, int sample);
    void restart();

    juce::MidiBuffer buffers[2];
    int current = 0;
    juce::MidiBufferIterator iterator;
    juce::MidiMessageMetadata held;
    bool hasMore = false;
    bool pending = false;
    int position = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiEventCursor)
};
