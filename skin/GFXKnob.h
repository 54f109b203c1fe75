#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A rotary knob drawn from an image strip: the toolkit slider does the
    dragging, the knob writes the slider's value to its parameter as a
    normalised value and shows the frame nearest to the value's proportion of
    the range. A disabled knob shows frame 0.
*/
class GFXKnob : public BaseGFXController,
                public juce::Slider
{
public:
    explicit GFXKnob (const juce::String& controlName);

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void applySize() override;
    void applyPosition() override;

    void valueChanged() override;
    void startedDragging() override;
    void stoppedDragging() override;
    void paint (juce::Graphics& g) override;

protected:
    /** The value the parameter takes for a slider value; the bender maps -1..1 onto 0..1. */
    virtual float sliderToNormalised (double sliderValue) const;

    JUCE_DECLARE_NON_COPYABLE (GFXKnob)
};
