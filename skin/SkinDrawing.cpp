#include "skin/SkinDrawing.h"

#include "framework/Parameter.h"

namespace SkinDrawing
{
void paintSliderFallback (juce::Graphics& g, juce::Slider& slider, const Parameter* parameter,
                          const juce::String& unboundValueText, const juce::Font& font)
{
    const auto valueText = parameter != nullptr ? parameter->getText() : unboundValueText;
    const auto nameText = parameter != nullptr ? parameter->getName() : juce::String();
    const auto bounds = slider.getLocalBounds();

    g.setColour (grey70);
    g.drawRect (bounds, 1);

    slider.juce::Slider::paint (g);

    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawFittedText (valueText, bounds, juce::Justification::centredTop, 2, 0.7f);
    g.drawFittedText (nameText, bounds, juce::Justification::centredBottom, 2, 0.7f);
}

void paintLamp (juce::Graphics& g, juce::Rectangle<int> bounds, juce::Colour fill, float dotDiameter)
{
    constexpr int side = 16;
    const juce::Rectangle<int> square (juce::jmax (0, (bounds.getWidth() - side) / 2),
                                       juce::jmax (0, (bounds.getHeight() - side) / 2),
                                       side, side);
    g.setColour (fill);
    g.fillRect (square);
    g.setColour (juce::Colours::black);
    g.drawRect (square, 1);

    if (dotDiameter > 0.0f)
        g.fillEllipse (square.toFloat().withSizeKeepingCentre (dotDiameter, dotDiameter));
}
} // namespace SkinDrawing
