#include "skin/GFXAnimation.h"

#include "skin/SkinDrawing.h"

GFXAnimation::GFXAnimation (const juce::String& controlName)
    : juce::Component (controlName)
{
}

void GFXAnimation::setPosition (float v)
{
    setFrame (getFrameForProportion (v));
}

void GFXAnimation::setFrame (int newFrame)
{
    if (newFrame != frame)
    {
        frame = newFrame;
        repaint();
    }
}

void GFXAnimation::flashFrame (int frameToShow, int durationMs)
{
    setFrame (frameToShow);
    startTimer (durationMs);
}

void GFXAnimation::timerCallback()
{
    stopTimer();
    setFrame (restFrame);
}

void GFXAnimation::updateFromParameter (Parameter* changed)
{
    setPosition (changed->getNormalisedValue());
}

void GFXAnimation::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);
    frame = 0;
    setBounds (left, top, width, height);
    repaint();
}

void GFXAnimation::applySize()
{
    setSize (width, height);
}

void GFXAnimation::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXAnimation::blinkStateChanged()
{
    repaint();
}

void GFXAnimation::paint (juce::Graphics& g)
{
    const auto shownFrame = isBlinkedOff() ? 0 : frame;

    if (hasImage())
    {
        drawFrame (g, shownFrame);
        return;
    }

    // A strip of one frame has no steps to show.
    const auto dot = framesNum < 2 ? 0.0f
                                   : static_cast<float> (clampFrame (shownFrame)) / static_cast<float> (framesNum - 1) * 10.0f;
    SkinDrawing::paintLamp (g, getLocalBounds(), SkinDrawing::grey90, dot);
}
