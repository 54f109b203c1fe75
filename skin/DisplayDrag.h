#pragma once

#include "skin/GUIController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The vertical drag by which the note and number displays edit their value:
    a step per so many pixels of upward travel from the value the drag began
    at, inside one gesture of the display's parameter.
*/
class DisplayDrag
{
public:
    /** Opens the display's parameter gesture and starts from the value. */
    void begin (GUIController& display, double startValue, double step, int pixelsPerStep);

    bool isActive() const noexcept              { return active; }

    /** The value the pointer has dragged to: whole steps only, down is negative. */
    double getValue (const juce::MouseEvent& e) const;

    /** Closes the gesture; nothing when no drag is active. */
    void end (GUIController& display);

    /** Ends an active drag once the display is off the screen (its window
        closed mid-drag), as the mouse-up that never comes would. */
    void endWhenHidden (GUIController& display, const juce::Component& component);

private:
    bool active = false;
    double dragStartValue = 0.0, dragStep = 1.0;
    int pixelsPerDragStep = 1;
};
