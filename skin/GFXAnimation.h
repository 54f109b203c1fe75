#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A frame strip that shows its parameter (the frame nearest to the
    normalised value) or a frame set in code, such as a lamp that flashes for
    a while and then returns to its rest frame.
*/
class GFXAnimation : public BaseGFXController,
                     public juce::Component,
                     public juce::Timer
{
public:
    explicit GFXAnimation (const juce::String& controlName);

    /** The frame nearest to v (clamped to 0..1) of the strip. */
    void setPosition (float v);

    void setFrame (int newFrame);
    int getFrame() const noexcept           { return frame; }

    /** Shows the frame for the duration, then the rest frame. */
    void flashFrame (int frameToShow, int durationMs);

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void applySize() override;
    void applyPosition() override;
    void blinkStateChanged() override;
    void timerCallback() override;
    void paint (juce::Graphics& g) override;

private:
    int frame = 0;
    int restFrame = 0;

    JUCE_DECLARE_NON_COPYABLE (GFXAnimation)
};
