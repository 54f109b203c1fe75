#include "synth/MidiEventCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Delivery
{
    int sample;
    int note;
    bool operator== (const Delivery& other) const { return sample == other.sample && note == other.note; }
};

std::vector<Delivery> runBlock (MidiEventCursor& cursor, const juce::MidiBuffer& input, int numSamples)
{
    std::vector<Delivery> delivered;
    cursor.setEvents (input);

    for (int i = 0; i < numSamples; ++i)
    {
        juce::MidiMessage message;

        while (cursor.getNextEventAt (message, i))
            delivered.push_back ({ i, message.getNoteNumber() });
    }

    cursor.advance (numSamples);
    return delivered;
}

juce::MidiBuffer notesAt (std::initializer_list<std::pair<int, int>> samplesAndNotes)
{
    juce::MidiBuffer buffer;

    for (const auto& [sample, note] : samplesAndNotes)
        buffer.addEvent (juce::MidiMessage::noteOn (1, note, 0.5f), sample);

    return buffer;
}
} // namespace

TEST (MidiEventCursor, CarriesEventsBeyondTheBlockIntoTheNextOneShiftedUntilCleared)
{
    MidiEventCursor cursor;
    EXPECT_EQ (runBlock (cursor, notesAt ({ { 10, 60 }, { 70, 61 } }), 64), (std::vector<Delivery> { { 10, 60 } }));
    EXPECT_EQ (runBlock (cursor, notesAt ({ { 2, 62 }, { 9, 63 } }), 64),
               (std::vector<Delivery> { { 2, 62 }, { 6, 61 }, { 9, 63 } }));
    EXPECT_TRUE (runBlock (cursor, {}, 64).empty());

    runBlock (cursor, notesAt ({ { 100, 60 } }), 64);
    cursor.clear();
    EXPECT_TRUE (runBlock (cursor, {}, 64).empty());
}

TEST (MidiEventCursor, DeliversEachEventAtItsOwnSampleAndOneStampedBeforeTheAskedSampleAtTheNextAsk)
{
    MidiEventCursor cursor;
    EXPECT_EQ (runBlock (cursor, notesAt ({ { 0, 60 }, { 17, 61 }, { 17, 62 }, { 63, 63 } }), 64),
               (std::vector<Delivery> { { 0, 60 }, { 17, 61 }, { 17, 62 }, { 63, 63 } }));

    cursor.clear();
    cursor.setEvents (notesAt ({ { 3, 60 }, { 5, 61 } }));

    juce::MidiMessage message;
    EXPECT_FALSE (cursor.getNextEventAt (message, 0));
    ASSERT_TRUE (cursor.getNextEventAt (message, 4));
    EXPECT_EQ (message.getNoteNumber(), 60);
    ASSERT_TRUE (cursor.getNextEventAt (message, 5));
    EXPECT_EQ (message.getNoteNumber(), 61);
    EXPECT_FALSE (cursor.getNextEventAt (message, 6));
}
