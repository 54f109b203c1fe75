#pragma once

#include "skin/BaseGFXStateButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A lamp-button showing one of several states, each a frame of its strip
    ("3D" strips add a pressed look per state). It follows its parameter but
    never writes it; its clicks fire events. The owner can make it blink, show
    it inverted (lit while its state is 0), or start its timer, whose first
    tick puts it back to state 0.
*/
class GFXMultiStateButton : public BaseGFXStateButton,
                            public juce::Timer
{
public:
    explicit GFXMultiStateButton (const juce::String& controlName);

    void setState (int newState);
    int getState() const noexcept               { return state; }
    int getStatesNum() const noexcept           { return statesNum; }

    void setInverted (bool shouldBeInverted);
    bool isInverted() const noexcept            { return inverted; }

    void updateFromParameter (Parameter* changed) override;
    void addAction (const juce::String& type, int eventId, const juce::String& eventDisplayName) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void timerCallback() override;

protected:
    using juce::Button::clicked;
    void clicked (const juce::ModifierKeys& modifiers) override;
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    int state = 0;
    int statesNum = 2;
    int clickEventId = -1, ctrlClickEventId = -1, shiftClickEventId = -1, rightClickEventId = -1;
    bool inverted = false;

    JUCE_DECLARE_NON_COPYABLE (GFXMultiStateButton)
};
