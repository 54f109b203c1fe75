#include "widgets/TextButtonEx.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
const juce::Colour lit { 0xFFFF6C00 };
const juce::Colour pale { 0xFFE0E0E0 };
const juce::Colour rim { 0xFFA0A0A0 };
} // namespace

TextButtonEx::TextButtonEx (const juce::String& name, int buttonStyle)
    : juce::Button (name), font (InterfaceTypefaces::font()), style (buttonStyle)
{
    setButtonText (name);
    updateTextWidth();
    updateSize();
}

void TextButtonEx::setImages (const juce::Array<juce::Image>& newImages)
{
    images = newImages;

    if (images.size() >= 3 && images[0].isValid() && images[2].isValid())
    {
        leftMargin = images[0].getWidth();
        rightMargin = images[2].getWidth();
        height = images[0].getHeight();
    }

    updateSize();
}

void TextButtonEx::updateTextWidth()
{
    const auto newWidth = (int) font.getStringWidthFloat (getButtonText());

    if (newWidth != textWidth)
    {
        textWidth = newWidth;
        updateSize();
    }
}

void TextButtonEx::updateSize()
{
    setSize (textWidth + leftMargin + rightMargin, height);
}

void TextButtonEx::lookAndFeelChanged()
{
    auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel());

    if (lf == nullptr)
        return;

    font = lf->getInterfaceFont();
    updateTextWidth();
    lf->setStateButtonImages (*this, style, lf->getStateButtonSize());
}

void TextButtonEx::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    const auto active = isButtonDown || getToggleState();
    const auto first = active ? lit : (isMouseOverButton ? lit.brighter (0.4f) : pale);
    const auto second = active ? pale : rim;

    DefaultLookAndFeel::fillAndOutlineRectangle (g, getLocalBounds().reduced (3, 4), first, second, 1.0f);

    font.setBold (false);
    g.setFont (font);
    g.setColour (juce::Colours::black);
    g.drawText (getButtonText(), leftMargin, 0, textWidth, getHeight(), juce::Justification::centredLeft, false);
}
