#pragma once

#include "framework/Parameter.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A small icon button of the framework's icon set, as the option pages'
    tool columns use. It shows a background only while toggled on, hovered or
    held. Bound to a parameter it follows the parameter's bool value.
*/
class ToolbarDrawableButton : public juce::DrawableButton,
                              public ParameterController
{
public:
    /** The name is also the tooltip; iconIndex picks the framework icon. */
    ToolbarDrawableButton (const juce::String& name, int iconIndex);

    void updateFromParameter (Parameter* changed) override;
    void buttonStateChanged() override;
    void lookAndFeelChanged() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    // Set while the control shows its parameter's value: it writes nothing
    // back then, or it could overwrite a newer value set on another thread.
    bool followingParameter = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToolbarDrawableButton)
};
