#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The base of the buttons whose strip shows states (toggle and multi-state
    buttons): a "2D" strip has one frame per state, a "3D" strip a normal and a
    pressed frame per state. Buttons of one panel sharing a radio group switch
    each other off.
*/
class BaseGFXStateButton : public BaseGFXController,
                           public juce::Button
{
public:
    enum Style
    {
        style2D = 0,
        style3D = 1
    };

    int getStyle() const noexcept           { return style; }

    void applySize() override;
    void applyPosition() override;
    void blinkStateChanged() override;

protected:
    BaseGFXStateButton (const juce::String& controlName, bool clickingTogglesState);

    /** Reads links and actions, "pos", "size", "style", a strip of numStates
        states, "clickEvent" and "radioGroupId", then takes its place. */
    void loadButtonFromXml (const juce::XmlElement& element, Skin& skin, int numStates);

    /** The frame that shows a state in the strip's style. */
    int getStateFrame (int stateIndex, bool pressed) const noexcept;

private:
    int style = style2D;

    JUCE_DECLARE_NON_COPYABLE (BaseGFXStateButton)
};
