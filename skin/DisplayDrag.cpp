#include "skin/DisplayDrag.h"

void DisplayDrag::begin (GUIController& display, double startValue, double step, int pixelsPerStep)
{
    display.beginParameterGesture();
    active = true;
    dragStartValue = startValue;
    dragStep = step;
    pixelsPerDragStep = juce::jmax (1, pixelsPerStep);
}

double DisplayDrag::getValue (const juce::MouseEvent& e) const
{
    const auto steps = -e.getDistanceFromDragStartY() / pixelsPerDragStep;
    return dragStartValue + steps * dragStep;
}

void DisplayDrag::end (GUIController& display)
{
    if (! active)
        return;

    display.endParameterGesture();
    active = false;
}

void DisplayDrag::endWhenHidden (GUIController& display, const juce::Component& component)
{
    if (active && ! component.isShowing())
        end (display);
}
