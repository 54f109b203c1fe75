#pragma once

#include "skin/GFXDisplay.h"

/**
    A GFXDisplay showing its parameter's number. When the number is too long
    for the display and its decimal point would end the visible part, a blank
    is put in front so that a digit follows the point.
*/
class GFXDisplayFloat : public GFXDisplay
{
public:
    explicit GFXDisplayFloat (const juce::String& controlName);

    void updateFromParameter (Parameter* changed) override;

    JUCE_DECLARE_NON_COPYABLE (GFXDisplayFloat)
};
