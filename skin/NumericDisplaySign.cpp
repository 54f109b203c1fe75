#include "skin/NumericDisplaySign.h"

NumericDisplaySign::NumericDisplaySign (const juce::Image& strip, int fallbackWidth, int fallbackHeight)
    : image (strip)
{
    setInterceptsMouseClicks (false, false);

    if (image.isValid())
        setSize (image.getWidth(), image.getHeight() / numFrames);
    else
        setSize (fallbackWidth, fallbackHeight);
}

void NumericDisplaySign::setNegative (bool shouldBeNegative)
{
    if (shouldBeNegative != negative)
    {
        negative = shouldBeNegative;
        repaint();
    }
}

void NumericDisplaySign::blinkStateChanged()
{
    repaint();
}

void NumericDisplaySign::paint (juce::Graphics& g)
{
    const auto lit = isEnabled() && ! isBlinkedOff();

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / numFrames;
        const auto frame = lit && negative ? 1 : 0;
        g.drawImage (image, 0, 0, getWidth(), frameHeight, 0, frame * frameHeight, getWidth(), frameHeight);
        return;
    }

    if (! lit)
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    g.fillAll (juce::Colours::white);

    if (negative)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (static_cast<float> (getHeight())));
        g.drawText ("-", getLocalBounds(), juce::Justification::centred, false);
    }
}
