#include "skin/BaseGFXSlider.h"

BaseGFXSlider::BaseGFXSlider (const juce::String& controlName, double interval)
    : juce::Slider (controlName)
{
    setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setRange (0.0, 1.0, interval);
    setValue (0.0, juce::dontSendNotification);
}

void BaseGFXSlider::updateFromParameter (Parameter* changed)
{
    setValue (changed->getNormalisedValue(), juce::dontSendNotification);
}

void BaseGFXSlider::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);
    setBounds (left, top, width, height);
    repaint();
}

void BaseGFXSlider::applySize()
{
    setSize (width, height);
}

void BaseGFXSlider::applyPosition()
{
    setTopLeftPosition (left, top);
}

float BaseGFXSlider::sliderToNormalised (double sliderValue) const
{
    return static_cast<float> (sliderValue);
}

void BaseGFXSlider::drawValueFrame (juce::Graphics& g) const
{
    const auto range = getRange();
    const auto proportion = range.getLength() > 0.0 ? (getValue() - range.getStart()) / range.getLength() : 0.0;
    const juce::Graphics::ScopedSaveState state (g);

    if (! isEnabled())
        g.setOpacity (disabledOpacity);

    drawFrame (g, getFrameForProportion (static_cast<float> (proportion)));
}

void BaseGFXSlider::valueChanged()
{
    if (auto* bound = getParameter())
    {
        bound->setNormalisedValue (sliderToNormalised (getValue()), true);
        sendValueChanged();
    }
}

void BaseGFXSlider::startedDragging()
{
    beginParameterGesture();
}

void BaseGFXSlider::stoppedDragging()
{
    endParameterGesture();
}

void BaseGFXSlider::visibilityChanged()
{
    endGestureWhenHidden (*this);
}

void BaseGFXSlider::parentHierarchyChanged()
{
    endGestureWhenHidden (*this);
}
