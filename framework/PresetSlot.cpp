#include "framework/PresetSlot.h"

PresetSlot::PresetSlot (int numberOfValues, int slotIndex)
    : numValues (juce::jmax (0, numberOfValues)),
      values (new std::atomic<float>[static_cast<size_t> (numValues)]),
      index (slotIndex)
{
    for (int i = 0; i < numValues; ++i)
        values[static_cast<size_t> (i)].store (0.0f);
}

float PresetSlot::getValue (int id) const noexcept
{
    return juce::isPositiveAndBelow (id, numValues) ? values[static_cast<size_t> (id)].load() : 0.0f;
}

void PresetSlot::setValue (int id, float value) noexcept
{
    if (juce::isPositiveAndBelow (id, numValues))
        values[static_cast<size_t> (id)].store (value);
}

void PresetSlot::copyFrom (const PresetSlot& other)
{
    name = other.name;

    for (int id = 0; id < juce::jmin (numValues, other.numValues); ++id)
        setValue (id, other.getValue (id));
}
