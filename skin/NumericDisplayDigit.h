#pragma once

#include "skin/BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    One digit of a NumericDisplay: an 11-frame strip (blank, then 0 to 9),
    or without strip a white cell (grey after the decimal point) with the
    digit in black. A dark digit, disabled or blinked off, shows frame 0.
*/
class NumericDisplayDigit : public juce::Component,
                            public BlinkingComponent
{
public:
    static constexpr int numFrames = 11;

    /** Without a strip the digit has the fallback size. */
    NumericDisplayDigit (const juce::Image& strip, int fallbackWidth, int fallbackHeight, bool isIntegerPart);

    void setDigit (int newDigit, bool shouldBeBlank);
    int getDigit() const noexcept       { return digit; }
    bool isBlank() const noexcept       { return blank; }

    void blinkStateChanged() override;
    void paint (juce::Graphics& g) override;

private:
    juce::Image image;
    bool integerPart;
    bool blank = true;
    int digit = 0;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplayDigit)
};
