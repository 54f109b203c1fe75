#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A two-sided rocker: pressing its "less" side (left, or the lower half)
    or its "more" side fires that side's event, or its Ctrl variant while Ctrl
    is held. The strip's frames are less pressed, rest and more pressed; a
    held rocker whose pointer has left it shows its rest frame.
*/
class GFXRocker : public BaseGFXController,
                  public juce::Component
{
public:
    enum Orientation
    {
        vertical = 0,
        horizontal = 1
    };

    enum PressState
    {
        lessPressed = 0,
        atRest = 1,
        morePressed = 2
    };

    explicit GFXRocker (const juce::String& controlName);

    int getOrientation() const noexcept     { return orientation; }
    int getPressState() const noexcept      { return pressState; }

    void addAction (const juce::String& type, int eventId, const juce::String& eventDisplayName) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void applySize() override;
    void applyPosition() override;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    int orientation = vertical;
    int lessEventId = -1, moreEventId = -1, lessCtrlEventId = -1, moreCtrlEventId = -1;
    int pressState = atRest;
    bool showRest = false;

    JUCE_DECLARE_NON_COPYABLE (GFXRocker)
};
