#include "skin/NumericDisplayDigit.h"

#include "skin/SkinDrawing.h"

NumericDisplayDigit::NumericDisplayDigit (const juce::Image& strip, int fallbackWidth, int fallbackHeight, bool isIntegerPart)
    : image (strip), integerPart (isIntegerPart)
{
    setInterceptsMouseClicks (false, false);

    if (image.isValid())
        setSize (image.getWidth(), image.getHeight() / numFrames);
    else
        setSize (fallbackWidth, fallbackHeight);
}

void NumericDisplayDigit::setDigit (int newDigit, bool shouldBeBlank)
{
    if (newDigit != digit || shouldBeBlank != blank)
    {
        digit = newDigit;
        blank = shouldBeBlank;
        repaint();
    }
}

void NumericDisplayDigit::blinkStateChanged()
{
    repaint();
}

void NumericDisplayDigit::paint (juce::Graphics& g)
{
    const auto lit = isEnabled() && ! isBlinkedOff();

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / numFrames;
        const auto frame = lit && ! blank ? juce::jlimit (0, numFrames - 1, digit + 1) : 0;
        g.drawImage (image, 0, 0, getWidth(), frameHeight, 0, frame * frameHeight, getWidth(), frameHeight);
        return;
    }

    if (! lit)
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    g.fillAll (integerPart ? juce::Colours::white : SkinDrawing::grey80);

    if (! blank)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (static_cast<float> (getHeight())));
        g.drawText (juce::String (digit), getLocalBounds(), juce::Justification::centred, false);
    }
}
