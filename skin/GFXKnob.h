#pragma once

#include "skin/BaseGFXSlider.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A rotary knob drawn from an image strip: the toolkit slider does the
    dragging, the knob writes the slider's value to its parameter as a
    normalised value and shows the frame nearest to the value's proportion of
    the range, dimmed while the knob is disabled.
*/
class GFXKnob : public BaseGFXSlider
{
public:
    explicit GFXKnob (const juce::String& controlName);

    void paint (juce::Graphics& g) override;

    JUCE_DECLARE_NON_COPYABLE (GFXKnob)
};
