#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A label that the framework's look and feel draws: the text in the label's
    font and colour, never shortened with an ellipsis. With another look and
    feel it draws as a plain juce::Label.
*/
class HardLabel : public juce::Label
{
public:
    /** Drawing of a HardLabel, provided by DefaultLookAndFeel. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual void drawHardLabel (juce::Graphics& g, HardLabel& label) = 0;
    };

    HardLabel (const juce::String& name, const juce::String& labelText);

    /** The width of a text (the label's own when empty) in the look and feel's
        label font, plus the label's left and right border. */
    int getTextWidth (const juce::String& text = {});

    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE (HardLabel)
};
