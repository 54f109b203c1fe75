#pragma once

#include "skin/GFXKnob.h"

/**
    A spring-loaded wheel, 0 to 1: when a drag ends it returns to 0, writing
    0 to its parameter after the gesture's end. Like the bender it takes no
    mouse-wheel input.
*/
class ModWheel : public GFXKnob
{
public:
    explicit ModWheel (const juce::String& controlName);

    void stoppedDragging() override;

    JUCE_DECLARE_NON_COPYABLE (ModWheel)
};
