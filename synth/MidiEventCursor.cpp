#include "synth/MidiEventCursor.h"

namespace
{
constexpr int reservedBytes = 8192;
}

MidiEventCursor::MidiEventCursor()
    : iterator (buffers[0].cbegin())
{
    buffers[0].ensureSize (reservedBytes);
    buffers[1].ensureSize (reservedBytes);
}

void MidiEventCursor::clear()
{
    buffers[0].clear();
    buffers[1].clear();
    restart();
    hasMore = false;
}

void MidiEventCursor::restart()
{
    iterator = buffers[current].cbegin();
    pending = false;
    position = -1;
    hasMore = ! buffers[current].isEmpty();
}

void MidiEventCursor::setEvents (const juce::MidiBuffer& events)
{
    buffers[current].addEvents (events, 0, -1, 0);
    restart();
}

bool MidiEventCursor::takeNextEventAt (juce::MidiMessage& out, int sample)
{
    if (! pending)
    {
        if (iterator == buffers[current].cend())
        {
            hasMore = false;
            return false;
        }

        held = *iterator;
        ++iterator;
        position = held.samplePosition;
        pending = true;
    }

    if (position > sample)
        return false;

    pending = false;
    out = held.getMessage();
    return true;
}

void MidiEventCursor::advance (int numSamples)
{
    auto& spare = buffers[1 - current];
    spare.clear();
    spare.addEvents (buffers[current], numSamples, -1, -numSamples);
    buffers[current].clear();
    current = 1 - current;
    restart();
}
