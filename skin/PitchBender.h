#pragma once

#include "skin/GFXKnob.h"

/**
    A spring-loaded bender: -1 to 1 on the slider, 0 to 1 on its parameter.
    When a drag ends it springs back to its centre, writing 0.5 once after the
    gesture's end. It takes no mouse-wheel input: the toolkit would make each
    wheel tick a gesture of its own.
*/
class PitchBender : public GFXKnob
{
public:
    explicit PitchBender (const juce::String& controlName);

    void updateFromParameter (Parameter* changed) override;
    void stoppedDragging() override;

protected:
    float sliderToNormalised (double sliderValue) const override;

    JUCE_DECLARE_NON_COPYABLE (PitchBender)
};
