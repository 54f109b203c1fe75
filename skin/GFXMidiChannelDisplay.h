#pragma once

#include "skin/BaseGFXSlider.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Shows and sets a MIDI channel by dragging: slider value 0 is all channels,
    and 1 to 16 spread over the rest of 0 to 1. Frame 0 of its strip is the
    disabled look, frame 1 all channels and the frames after it channels 1 to 16.
*/
class GFXMidiChannelDisplay : public BaseGFXSlider
{
public:
    explicit GFXMidiChannelDisplay (const juce::String& controlName);

    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE (GFXMidiChannelDisplay)
};
