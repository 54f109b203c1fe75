#include "skin/GFXSwitch.h"

#include "skin/SkinDrawing.h"

GFXSwitch::GFXSwitch (const juce::String& controlName)
    : BaseGFXSlider (controlName, 0.005)
{
}

void GFXSwitch::setStyle (int newStyle)
{
    style = newStyle;

    switch (style)
    {
        case vertical:      setSliderStyle (juce::Slider::LinearVertical); break;
        case horizontal:    setSliderStyle (juce::Slider::LinearHorizontal); break;
        default:            setSliderStyle (juce::Slider::RotaryVerticalDrag); break;
    }

    repaint();
}

void GFXSwitch::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXSlider::loadFromXml (element, skin);

    const auto styleName = element.getStringAttribute ("style");

    if (styleName.equalsIgnoreCase ("Rotary"))
        setStyle (rotary);
    else if (styleName.equalsIgnoreCase ("Horizontal"))
        setStyle (horizontal);
    else if (styleName.equalsIgnoreCase ("Vertical"))
        setStyle (vertical);
}

void GFXSwitch::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawValueFrame (g);
        return;
    }

    SkinDrawing::paintSliderFallback (g, *this, getParameter(), getTextFromValue (getValue()), g.getCurrentFont());
}
