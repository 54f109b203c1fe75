#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The base of the image-strip controls that the toolkit slider drags (knob,
    switch, MIDI channel display): a slider of 0 to 1 without text box that
    follows its parameter's normalised value and writes the user's moves back
    inside the parameter's gesture. Each control draws its own frames.
*/
class BaseGFXSlider : public BaseGFXController,
                      public juce::Slider
{
public:
    void updateFromParameter (Parameter* changed) override;

    /** Reads the strip, size and position, then takes that place. */
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void applySize() override;
    void applyPosition() override;

    void valueChanged() override;
    void startedDragging() override;
    void stoppedDragging() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

    /** A disabled knob or switch still shows its value, at this opacity: its
        strip's first frame is the lowest position, not an "off" look. */
    static constexpr float disabledOpacity = 0.5f;

protected:
    /** A rotary slider with vertical drag, moving in steps of the interval (0: continuous). */
    BaseGFXSlider (const juce::String& controlName, double interval);

    /** The value the parameter takes for a slider value; the bender maps -1..1 onto 0..1. */
    virtual float sliderToNormalised (double sliderValue) const;

    /** Draws the frame nearest to the value's proportion of the range, dimmed while disabled. */
    void drawValueFrame (juce::Graphics& g) const;

    JUCE_DECLARE_NON_COPYABLE (BaseGFXSlider)
};
