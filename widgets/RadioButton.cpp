#include "widgets/RadioButton.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/GlassButtonDrawing.h"
#include "widgets/InterfaceTypefaces.h"

RadioButton::RadioButton (const juce::String& optionText)
    : juce::Button (optionText)
{
    setButtonText (optionText);
}

juce::Font RadioButton::getTextFont() const
{
    // The framework's text-button font does not depend on the button; other
    // looks size it from the height as JUCE's text buttons do.
    if (dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()) != nullptr)
        return InterfaceTypefaces::font();

    return juce::Font (juce::jmin (16.0f, (float) getHeight() * 0.6f));
}

void RadioButton::fitToText (int height)
{
    const auto h = height < 0 ? getHeight() : height;
    setSize (getWidth(), h);

    const auto width = (int) (getTextFont().getStringWidthFloat (getButtonText()) + 1.2f * (float) h);
    setSize (width, h);
}

void RadioButton::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    const auto base = GlassButtonDrawing::baseColour (*this, isMouseOverButton, isButtonDown);
    const auto mark = GlassButtonDrawing::markShape (getHeight(), true);
    GlassButtonDrawing::drawMark (g, mark, base);

    if (getToggleState())
    {
        const auto area = mark.getBounds();
        const auto dot = area.getWidth() * 0.4f;
        g.setColour (juce::Colours::black);
        g.fillEllipse (juce::Rectangle<float> (dot, dot).withCentre (area.getCentre()));
    }

    GlassButtonDrawing::drawLabel (g, *this, getTextFont());
}
