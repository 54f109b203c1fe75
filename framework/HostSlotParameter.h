#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class BasePlugin;

/**
    One host-visible slot of the plug-in's host-parameter map, as the format
    wrappers see it. Every call goes to the plug-in's slot protocol, so the
    host sees the slot's name, value and text whichever parameter the slot
    holds. The id ("slot001", "slot002", ...) never changes, so automation stored
    by a host finds its slot again; it starts with a letter because the LV2
    wrapper turns a leading digit into "_".
*/
class HostSlotParameter : public juce::AudioProcessorParameterWithID
{
public:
    HostSlotParameter (BasePlugin& owner, int slotIndex);

    /** The id of a slot: "slot" and the slot's number counted from 1, in three digits. */
    static juce::String getIdForSlot (int slotIndex);

    int getSlot() const noexcept { return slot; }

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    juce::String getName (int maximumLength) const override;
    juce::String getLabel() const override;

    /** The slot's text for a value: a switch or a choice names that value;
        any other slot shows its parameter's current display text. */
    juce::String getText (float value, int maximumLength) const override;
    juce::String getCurrentValueAsText() const override;

    float getValueForText (const juce::String& text) const override;

    bool isAutomatable() const override;

    /** A slot holding a switch or a choice is discrete (boolean with two
        values), so that hosts draw switches and lists; the kinds are those the
        slots had when the set-up ended, as hosts read them once. */
    bool isDiscrete() const override;
    bool isBoolean() const override;
    int getNumSteps() const override;

private:
    BasePlugin& plugin;
    const int slot;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostSlotParameter)
};
