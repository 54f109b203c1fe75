#include "skin/PitchBender.h"

PitchBender::PitchBender (const juce::String& controlName)
    : GFXKnob (controlName)
{
    setRange (-1.0, 1.0, 0.0);
    setValue (0.0, juce::dontSendNotification);
    setScrollWheelEnabled (false);
}

void PitchBender::updateFromParameter (Parameter* changed)
{
    setValue (2.0 * changed->getNormalisedValue() - 1.0, juce::dontSendNotification);
}

float PitchBender::sliderToNormalised (double sliderValue) const
{
    return static_cast<float> ((sliderValue + 1.0) * 0.5);
}

void PitchBender::stoppedDragging()
{
    GFXKnob::stoppedDragging();

    // The centre is written after the gesture's end, as a change of its own
    // (the toolkit calls valueChanged at once; only its slider listeners wait).
    setValue (0.0, juce::sendNotificationAsync);
}
