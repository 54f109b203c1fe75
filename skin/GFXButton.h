#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A push button drawn from a two-frame strip (up, pressed). A click fires an
    event: its own, the Ctrl-click's or the right click's. Bound to a
    parameter it is also a momentary switch: the parameter is true exactly
    while the button is held, and the click then fires on press.
*/
class GFXButton : public BaseGFXController,
                  public juce::Button
{
public:
    explicit GFXButton (const juce::String& controlName);
    ~GFXButton() override;

    void addAction (const juce::String& type, int eventId, const juce::String& eventDisplayName) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void applySize() override;
    void applyPosition() override;

    void mouseEnter (const juce::MouseEvent& e) override;
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;

protected:
    using juce::Button::clicked;
    void clicked (const juce::ModifierKeys& modifiers) override;
    void buttonStateChanged() override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    void updateTooltip (const juce::ModifierKeys& modifiers);
    void releaseWhenHidden();

    bool lastDown = false;
    int clickEventId = -1, ctrlClickEventId = -1, rightClickEventId = -1;
    juce::String clickEventName, ctrlClickEventName, rightClickEventName;

    JUCE_DECLARE_NON_COPYABLE (GFXButton)
};
