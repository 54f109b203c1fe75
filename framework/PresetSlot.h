#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>

/**
    One slot of the old-style preset collection: a name and the normalised
    values of the preset parameters, indexed by parameter id.

    Values are atomic so that the audio thread (a program change, a MIDI
    controller in automatic storing mode) and the message thread can read and
    write them without a lock. The name is a plain string: the collection
    reads and writes it under its preset lock.
*/
class PresetSlot
{
public:
    /** The longest name a slot, a group or a bank keeps; a longer one is cut.
        Each character of a name may be written as a reference of up to ten
        bytes, which the toolkit's parser reads back one at a time: with every
        name this long, the banks and states the plug-in writes still stay
        within the sizes and the cost their readers take. */
    static constexpr int maxNameLength = 256;

    /** A slot named "Preset" holding numValues zeros. */
    PresetSlot (int numValues, int slotIndex);

    const juce::String& getName() const noexcept { return name; }
    void setName (const juce::String& newName) { name = newName.substring (0, maxNameLength); }

    int getNumValues() const noexcept { return numValues; }

    /** 0 for an id outside the slot. */
    float getValue (int id) const noexcept;

    /** Ignored for an id outside the slot. */
    void setValue (int id, float value) noexcept;

    /** The name, then the values for the ids both slots hold. */
    void copyFrom (const PresetSlot& other);

    /** The slot's number when the collection created it; it travels with the
        slot when presets are moved. -1 for the default preset and the copy buffer. */
    int getIndex() const noexcept { return index; }

private:
    juce::String name { "Preset" };
    int numValues;
    std::unique_ptr<std::atomic<float>[]> values;
    int index;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetSlot)
};
