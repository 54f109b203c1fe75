// Program changes select presets on the audio thread while the user selects
// them on the message thread. Each selection makes a slot current and applies
// it; another selection coming in between must not write one slot's name or
// values into the other.

#include "support/InstrumentTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
/** Every slot's name and values, one line each. */
juce::StringArray describePresets (Tarvelin& instrument)
{
    juce::StringArray slots;

    for (int i = 0; i < instrument.getNumPresets(); ++i)
    {
        auto line = instrument.getPresetName (i);

        for (int id = 0; id < instrument.getNumPresetParameters(); ++id)
            line << " " << instrument.getPresetSlot (i)->getValue (id);

        slots.add (line);
    }

    return slots;
}
} // namespace

TEST (PresetSelectionThreads, ProgramChangesAndSelectionsTogetherKeepEveryPresetsNameAndValues)
{
    auto instrument = InstrumentTest::createInstrument();
    instrument->setPresetStoringMode (PresetManager::automaticStoring);
    const auto before = describePresets (*instrument);

    std::atomic<bool> stop { false };
    std::thread audio ([&instrument, &stop]
    {
        juce::Random random (1);
        juce::AudioBuffer<float> buffer (2, 32);
        juce::MidiBuffer midi;

        while (! stop.load (std::memory_order_relaxed))
        {
            midi.clear();
            midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (128)), 0);
            instrument->processBlock (buffer, midi);
        }
    });

    juce::Random random (2);

    for (int i = 0; i < 2000; ++i)
        instrument->selectPreset (random.nextInt (instrument->getNumPresets()), false);

    stop = true;
    audio.join();

    EXPECT_EQ (describePresets (*instrument).joinIntoString ("\n"), before.joinIntoString ("\n"));
}
