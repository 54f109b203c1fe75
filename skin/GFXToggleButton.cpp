#include "skin/GFXToggleButton.h"

#include "skin/SkinDrawing.h"

GFXToggleButton::GFXToggleButton (const juce::String& controlName)
    : BaseGFXStateButton (controlName, true)
{
}

void GFXToggleButton::updateFromParameter (Parameter* changed)
{
    // Without notification: the toolkit would call clicked() and write the echo back.
    setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void GFXToggleButton::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    loadButtonFromXml (element, skin, 2);
}

void GFXToggleButton::clicked()
{
    // Also reached when a radio sibling's click switched this one off.
    if (auto* bound = getParameter())
    {
        bound->setBoolValue (getToggleState(), true);
        sendValueChanged();
    }
}

void GFXToggleButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto on = getToggleState();
    const auto dark = ! isEnabled() || isBlinkedOff();

    if (hasImage())
    {
        const auto pressed = shouldDrawButtonAsHighlighted && shouldDrawButtonAsDown;
        drawFrame (g, dark ? 0 : getStateFrame (on ? 1 : 0, pressed));
        return;
    }

    const auto bounds = getLocalBounds();
    g.setColour (SkinDrawing::grey70);
    g.drawRect (bounds, 1);

    g.setColour (juce::Colours::black);
    g.drawFittedText (on ? "On" : "Off", bounds, juce::Justification::centredTop, 2, 0.7f);

    if (const auto* bound = getParameter())
        g.drawFittedText (bound->getName(), bounds, juce::Justification::centredBottom, 2, 0.7f);

    const auto side = 0.75f * static_cast<float> (juce::jmin (getHeight() - 32, getWidth()));

    if (side > 0.0f)
    {
        const auto square = bounds.toFloat().withSizeKeepingCentre (side, side);

        if (on && ! dark)
            g.fillRect (square);
        else
            g.drawRect (square, 1.0f);
    }
}
