#pragma once

#include "skin/BaseGFXStateButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    An on/off button bound to a bool parameter. Its "2D" strip has the frames
    off and on; a "3D" strip adds a pressed look of each: off, off pressed, on,
    on pressed. Buttons of one panel sharing a radio group switch each other off.
*/
class GFXToggleButton : public BaseGFXStateButton
{
public:
    explicit GFXToggleButton (const juce::String& controlName);

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;

protected:
    using juce::Button::clicked;
    void clicked() override;
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    JUCE_DECLARE_NON_COPYABLE (GFXToggleButton)
};
