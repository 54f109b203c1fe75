#include "skin/GFXKnob.h"

#include "skin/SkinDrawing.h"

GFXKnob::GFXKnob (const juce::String& controlName)
    : juce::Slider (controlName)
{
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setRange (0.0, 1.0, 0.0);
    setValue (0.0, juce::dontSendNotification);
}

void GFXKnob::updateFromParameter (Parameter* changed)
{
    setValue (changed->getNormalisedValue(), juce::dontSendNotification);
}

void GFXKnob::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);
    setBounds (left, top, width, height);
    repaint();
}

void GFXKnob::applySize()
{
    setSize (width, height);
}

void GFXKnob::applyPosition()
{
    setTopLeftPosition (left, top);
}

float GFXKnob::sliderToNormalised (double sliderValue) const
{
    return static_cast<float> (sliderValue);
}

void GFXKnob::valueChanged()
{
    if (auto* bound = getParameter())
    {
        bound->setNormalisedValue (sliderToNormalised (getValue()), true);
        sendValueChanged();
    }
}

void GFXKnob::startedDragging()
{
    if (auto* bound = getParameter())
    {
        bound->sendGestureBegin();
        sendGestureStarted();
    }
}

void GFXKnob::stoppedDragging()
{
    if (auto* bound = getParameter())
    {
        bound->sendGestureEnd();
        sendGestureEnded();
    }
}

void GFXKnob::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        if (! isEnabled())
        {
            drawFrame (g, 0);
            return;
        }

        const auto range = getRange();
        const auto proportion = range.getLength() > 0.0 ? (getValue() - range.getStart()) / range.getLength() : 0.0;
        drawFrame (g, getFrameForProportion (static_cast<float> (proportion)));
        return;
    }

    SkinDrawing::paintSliderFallback (g, *this, getParameter(), juce::String::formatted ("%f", getValue()), juce::Font (13.0f));
}
