#include "skin/GFXMidiChannelDisplay.h"

#include "skin/SkinDrawing.h"

#include <cmath>

GFXMidiChannelDisplay::GFXMidiChannelDisplay (const juce::String& controlName)
    : BaseGFXSlider (controlName, 0.0)
{
}

void GFXMidiChannelDisplay::paint (juce::Graphics& g)
{
    const auto value = juce::jlimit (0.0, 1.0, getValue());

    if (hasImage())
    {
        const auto channelFrame = static_cast<int> (std::floor (value * (framesNum - 2) + 0.5)) + 1;
        drawFrame (g, isEnabled() ? channelFrame : 0);
        return;
    }

    const auto channel = static_cast<int> (std::floor (value * 16.0 + 0.5));
    const auto bounds = getLocalBounds();

    g.setFont (juce::Font ("Tahoma", 0.75f * static_cast<float> (getHeight()), juce::Font::plain));
    g.setColour (isEnabled() ? juce::Colours::black : SkinDrawing::grey70);
    g.drawRect (bounds, 1);
    g.drawFittedText (channel == 0 ? juce::String ("ALL") : juce::String (channel),
                      bounds.reduced (3, 0), juce::Justification::centred, 1, 0.7f);
}
