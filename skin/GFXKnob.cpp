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
        if (! isEnabled())
        {
            drawFrame (g, 0);
            return;
        }

        const auto range = getRange();
        const auto proportion = range.getLength() > 0.0 ? (getValue() - range.getStart()) / range.getLength() : 0.0;
        drawFrame (g, getFrameForProportion (static_cast<float> (proportion)));
        return;
    }

    SkinDrawing::paintSliderFallback (g, *this, getParameter(), juce::String::formatted ("%f", getValue()), juce::Font (13.0f));
}
