#include "skin/GFXMultiStateButton.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinDrawing.h"
#include "skin/SkinGeometry.h"

#include <cmath>

GFXMultiStateButton::GFXMultiStateButton (const juce::String& controlName)
    : juce::Button (controlName)
{
    setClickingTogglesState (false);
    setWantsKeyboardFocus (false);
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
    GUIController::loadFromXml (element, skin);

    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
    {
        left = SkinGeometry::readPosition (*pos, "left");
        top = SkinGeometry::readPosition (*pos, "top");
    }

    if (const auto* size = XmlHelpers::findChild (element, "size"))
    {
        width = SkinGeometry::readSize (*size, "width");
        height = SkinGeometry::readSize (*size, "height");
    }

    const auto styleName = element.getStringAttribute ("style", "2D");

    if (styleName == "2D")
        style = style2D;
    else if (styleName == "3D")
        style = style3D;

    // A strip of more frames than a screen has rows is no lamp.
    const auto states = element.getIntAttribute ("states", 0);

    if (states >= 2)
        statesNum = juce::jmin (states, SkinGeometry::maxExtent);

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto strip = skin.getImage (gfx->getStringAttribute ("resource"));

        if (strip.isValid())
            setImage (strip, style == style3D ? 2 * statesNum : statesNum);
    }

    const auto trigger = element.getStringAttribute ("clickEvent", "onRelease");

    if (trigger == "onPress")
        setTriggeredOnMouseDown (true);
    else if (trigger == "onRelease")
        setTriggeredOnMouseDown (false);

    setRadioGroupId (element.getIntAttribute ("radioGroupId", 0), juce::dontSendNotification);
    setBounds (left, top, width, height);
    repaint();
}

void GFXMultiStateButton::applySize()
{
    setSize (width, height);
}

void GFXMultiStateButton::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXMultiStateButton::blinkStateChanged()
{
    repaint();
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

        drawFrame (g, style == style3D ? 2 * shownState + (pressed ? 1 : 0) : shownState);
        return;
    }

    const auto dot = static_cast<float> (juce::jlimit (0, statesNum - 1, state)) / static_cast<float> (statesNum - 1) * 10.0f + 2.0f;
    SkinDrawing::paintLamp (g, getLocalBounds(), pressed ? SkinDrawing::grey40 : SkinDrawing::grey90, dot);
}
