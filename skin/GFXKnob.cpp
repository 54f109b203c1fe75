#include "skin/GFXKnob.h"

#include "skin/SkinDrawing.h"

GFXKnob::GFXKnob (const juce::String& controlName)
    : BaseGFXSlider (controlName, 0.0)
{
}

void GFXKnob::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawValueFrame (g);
        return;
    }

    SkinDrawing::paintSliderFallback (g, *this, getParameter(), juce::String::formatted ("%f", getValue()), juce::Font (13.0f));
}
