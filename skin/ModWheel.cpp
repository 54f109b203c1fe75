#include "skin/ModWheel.h"

ModWheel::ModWheel (const juce::String& controlName)
    : GFXKnob (controlName)
{
    setScrollWheelEnabled (false);
}

void ModWheel::stoppedDragging()
{
    GFXKnob::stoppedDragging();
    setValue (0.0, juce::sendNotificationAsync);
}
