#pragma once

#include "skin/BaseGFXSlider.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A multi-position switch drawn from an image strip, on a slider of 0 to 1
    in steps of 0.005: the frame is the one nearest to the value, and the
    parameter gets the value itself (it quantises it as it likes). The skin's
    "style" makes it a rotary, horizontal or vertical slider.
*/
class GFXSwitch : public BaseGFXSlider
{
public:
    enum Style
    {
        vertical = 0,
        horizontal = 1,
        rotary = 2
    };

    explicit GFXSwitch (const juce::String& controlName);

    void setStyle (int newStyle);
    int getStyle() const noexcept           { return style; }

    /** Also reads the element's "style". */
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void paint (juce::Graphics& g) override;

private:
    int style = rotary;

    JUCE_DECLARE_NON_COPYABLE (GFXSwitch)
};
