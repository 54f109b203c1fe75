#include "widgets/RadioButton.h"

#include "widgets/GlassButtonDrawing.h"
#include "widgets/InterfaceTypefaces.h"

RadioButton::RadioButton (const juce::String& optionText)
    : juce::Button (optionText)
{
    setButtonText (optionText);
}

juce::Font RadioButton::getTextFont() const
{
    // The framework's text-button font, whatever the button's height. Taken
    // directly, so that options fitted before the group joins the editor keep
    // their widths when the editor's look and feel arrives.
    return InterfaceTypefaces::font();
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
