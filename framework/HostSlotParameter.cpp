#include "framework/HostSlotParameter.h"

#include "framework/BasePlugin.h"

HostSlotParameter::HostSlotParameter (BasePlugin& owner, int slotIndex)
    : juce::AudioProcessorParameterWithID (getIdForSlot (slotIndex), {}), plugin (owner), slot (slotIndex)
{
}

juce::String HostSlotParameter::getIdForSlot (int slotIndex)
{
    // Three digits, so that hosts sorting the ids as text keep the slots in order.
    return "slot" + juce::String (slotIndex + 1).paddedLeft ('0', 3);
}

float HostSlotParameter::getValue() const               { return plugin.getHostParameter (slot); }
void HostSlotParameter::setValue (float newValue)       { plugin.setHostParameter (slot, newValue); }
float HostSlotParameter::getDefaultValue() const        { return plugin.getHostParameterDefaultValue (slot); }
juce::String HostSlotParameter::getLabel() const        { return {}; }
bool HostSlotParameter::isAutomatable() const           { return plugin.isHostParameterAutomatable (slot); }

juce::String HostSlotParameter::getName (int maximumLength) const
{
    return plugin.getHostParameterName (slot).substring (0, maximumLength);
}

juce::String HostSlotParameter::getText (float value, int maximumLength) const
{
    return plugin.getHostParameterText (slot, value).substring (0, maximumLength);
}

bool HostSlotParameter::isDiscrete() const              { return plugin.getHostParameterNumSteps (slot) > 0; }
bool HostSlotParameter::isBoolean() const               { return plugin.getHostParameterNumSteps (slot) == 2; }

int HostSlotParameter::getNumSteps() const
{
    const auto steps = plugin.getHostParameterNumSteps (slot);
    return steps > 0 ? steps : juce::AudioProcessor::getDefaultNumParameterSteps();
}

juce::String HostSlotParameter::getCurrentValueAsText() const
{
    return plugin.getHostParameterText (slot);
}

float HostSlotParameter::getValueForText (const juce::String&) const
{
    // The slot texts are display texts that cannot be read back: typing one changes nothing.
    return getValue();
}
