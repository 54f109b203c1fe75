#include "skin/GFXSwitch.h"

#include "skin/SkinDrawing.h"

GFXSwitch::GFXSwitch (const juce::String& controlName)
    : juce::Slider (controlName)
{
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setRange (0.0, 1.0, 0.005);
    setValue (0.0, juce::dontSendNotification);
    setStyle (rotary);
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

void GFXSwitch::updateFromParameter (Parameter* changed)
{
    setValue (changed->getNormalisedValue(), juce::dontSendNotification);
}

void GFXSwitch::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);
    setBounds (left, top, width, height);
    repaint();

    const auto styleName = element.getStringAttribute ("style");

    if (styleName.equalsIgnoreCase ("Rotary"))
        setStyle (rotary);
    else if (styleName.equalsIgnoreCase ("Horizontal"))
        setStyle (horizontal);
    else if (styleName.equalsIgnoreCase ("Vertical"))
        setStyle (vertical);
}

void GFXSwitch::applySize()
{
    setSize (width, height);
}

void GFXSwitch::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXSwitch::valueChanged()
{
    if (auto* bound = getParameter())
    {
        bound->setNormalisedValue (static_cast<float> (getValue()), true);
        sendValueChanged();
    }
}

void GFXSwitch::startedDragging()
{
    if (auto* bound = getParameter())
    {
        bound->sendGestureBegin();
        sendGestureStarted();
    }
}

void GFXSwitch::stoppedDragging()
{
    if (auto* bound = getParameter())
    {
        bound->sendGestureEnd();
        sendGestureEnded();
    }
}

void GFXSwitch::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawFrame (g, isEnabled() ? getFrameForProportion (static_cast<float> (getValue())) : 0);
        return;
    }

    SkinDrawing::paintSliderFallback (g, *this, getParameter(), getTextFromValue (getValue()), g.getCurrentFont());
}
