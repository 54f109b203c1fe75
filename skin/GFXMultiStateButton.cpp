#include "skin/GFXMultiStateButton.h"

#include "skin/SkinDrawing.h"
#include "skin/SkinGeometry.h"

#include <cmath>

GFXMultiStateButton::GFXMultiStateButton (const juce::String& controlName)
    : BaseGFXStateButton (controlName, false)
{
}

void GFXMultiStateButton::setState (int newState)
{
    if (newState != state)
    {
        state = newState;
        repaint();
    }
}

void GFXMultiStateButton::setInverted (bool shouldBeInverted)
{
    if (shouldBeInverted != inverted)
    {
        inverted = shouldBeInverted;
        repaint();
    }
}

void GFXMultiStateButton::updateFromParameter (Parameter* changed)
{
    auto n = changed->getNormalisedValue();
    n = std::isfinite (n) ? juce::jlimit (0.0f, 1.0f, n) : 0.0f;
    setState (static_cast<int> (std::floor (static_cast<float> (statesNum - 1) * n + 0.5f)));
}

void GFXMultiStateButton::addAction (const juce::String& type, int eventId, const juce::String&)
{
    if (type == "onClick")
        clickEventId = eventId;
    else if (type == "onClickWithCtrl")
        ctrlClickEventId = eventId;
    else if (type == "onClickWithShift")
        shiftClickEventId = eventId;
    else if (type == "onRightClick")
        rightClickEventId = eventId;
}

void GFXMultiStateButton::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    // A strip of more frames than a screen has rows is no lamp.
    const auto states = element.getIntAttribute ("states", 0);

    if (states >= 2)
        statesNum = juce::jmin (states, SkinGeometry::maxExtent);

    loadButtonFromXml (element, skin, statesNum);
}

void GFXMultiStateButton::timerCallback()
{
    stopTimer();
    setState (0);
}

void GFXMultiStateButton::clicked (const juce::ModifierKeys& modifiers)
{
    auto eventId = -1;

    if (modifiers.isCommandDown() && ctrlClickEventId != -1)
        eventId = ctrlClickEventId;
    else if (modifiers.isShiftDown() && shiftClickEventId != -1)
        eventId = shiftClickEventId;
    else if (modifiers.isRightButtonDown() && rightClickEventId != -1)
        eventId = rightClickEventId;
    else
        eventId = clickEventId;

    if (eventId != -1)
        sendEventTriggered (eventId);
}

void GFXMultiStateButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto pressed = shouldDrawButtonAsHighlighted && shouldDrawButtonAsDown;

    if (hasImage())
    {
        auto shownState = state;

        if (inverted)
            shownState = state == 0 ? statesNum - 1 : 0;
        else if (isBlinkedOff())
            shownState = 0;

        drawFrame (g, getStateFrame (shownState, pressed));
        return;
    }

    const auto dot = static_cast<float> (juce::jlimit (0, statesNum - 1, state)) / static_cast<float> (statesNum - 1) * 10.0f + 2.0f;
    SkinDrawing::paintLamp (g, getLocalBounds(), pressed ? SkinDrawing::grey40 : SkinDrawing::grey90, dot);
}
