#pragma once

#include "skin/BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The sign of a NumericDisplay: a two-frame strip (nothing, minus), or a white cell with "-". */
class NumericDisplaySign : public juce::Component,
                           public BlinkingComponent
{
public:
    static constexpr int numFrames = 2;

    NumericDisplaySign (const juce::Image& strip, int fallbackWidth, int fallbackHeight);

    void setNegative (bool shouldBeNegative);
    bool isNegative() const noexcept    { return negative; }

    void blinkStateChanged() override;
    void paint (juce::Graphics& g) override;

private:
    juce::Image image;
    bool negative = false;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplaySign)
};
