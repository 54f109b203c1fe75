#include "widgets/GlassButtonDrawing.h"

namespace GlassButtonDrawing
{
juce::Colour baseColour (const juce::Button& button, bool isMouseOver, bool isButtonDown)
{
    auto colour = button.findColour (juce::TextButton::buttonColourId)
                      .withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                      .withMultipliedAlpha (button.isEnabled() ? 0.9f : 0.5f);

    if (isButtonDown)
        return colour.contrasting (0.2f);

    if (isMouseOver)
        return colour.contrasting (0.1f);

    return colour;
}

juce::Path markShape (int buttonHeight, bool round)
{
    const auto side = (float) (buttonHeight - 4) - 1.0f;
    juce::Path shape;

    if (round)
        shape.addEllipse (2.5f, 2.5f, side, side);
    else
        shape.addRoundedRectangle (2.5f, 2.5f, side, side, 4.0f);

    return shape;
}

void drawMark (juce::Graphics& g, const juce::Path& mark, juce::Colour base)
{
    const auto bottom = mark.getBounds().getBottom();

    if (bottom <= 0.0f)
        return;

    g.setGradientFill (juce::ColourGradient (base.brighter (0.2f), 0.0f, 0.0f,
                                             base.darker (0.25f), 0.0f, bottom, false));
    g.fillPath (mark);

    // A light rim just inside the top edge, then the dark outline.
    const auto brightness = base.getBrightness();
    g.setColour (juce::Colours::white.withAlpha (base.getFloatAlpha() * 0.4f * brightness * brightness));
    g.strokePath (mark, juce::PathStrokeType (1.0f),
                  juce::AffineTransform::translation (0.0f, 1.0f).scaled (1.0f, (bottom - 1.6f) / bottom));

    g.setColour (juce::Colours::black.withAlpha (base.getFloatAlpha() * 0.4f));
    g.strokePath (mark, juce::PathStrokeType (1.0f));
}

int labelIndent (int buttonHeight) noexcept
{
    return (int) (1.2f * (float) buttonHeight);
}

void drawLabel (juce::Graphics& g, const juce::Button& button, const juce::Font& font)
{
    const auto indent = labelIndent (button.getHeight());

    g.setColour (button.findColour (juce::Label::textColourId).withAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.setFont (font);
    g.drawText (button.getButtonText(), indent, 0, juce::jmax (0, button.getWidth() - indent), button.getHeight(),
                juce::Justification::centredLeft, true);
}
} // namespace GlassButtonDrawing
