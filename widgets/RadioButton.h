#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** One option of a RadioButtons_V2 group: a glass circle with a dot while on, and its text. */
class RadioButton : public juce::Button
{
public:
    explicit RadioButton (const juce::String& optionText);

    /** Width = text width + 1.2 x height; a height below 0 keeps the current one. */
    void fitToText (int height);

    /** The font of the option text: the interface font of the framework's text buttons. */
    juce::Font getTextFont() const;

    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RadioButton)
};
