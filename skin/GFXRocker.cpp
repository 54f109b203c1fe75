#include "skin/GFXRocker.h"

#include "skin/SkinDrawing.h"

GFXRocker::GFXRocker (const juce::String& controlName)
    : juce::Component (controlName)
{
}

void GFXRocker::addAction (const juce::String& type, int eventId, const juce::String&)
{
    if (type == "onLessClick")
        lessEventId = eventId;
    else if (type == "onMoreClick")
        moreEventId = eventId;
    else if (type == "onLessClickWithCtrl")
        lessCtrlEventId = eventId;
    else if (type == "onMoreClickWithCtrl")
        moreCtrlEventId = eventId;
}

void GFXRocker::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);

    const auto type = element.getStringAttribute ("type", "vertical");

    if (type == "vertical")
        orientation = vertical;
    else if (type == "horizontal")
        orientation = horizontal;

    setBounds (left, top, width, height);
    repaint();
}

void GFXRocker::applySize()
{
    setSize (width, height);
}

void GFXRocker::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXRocker::mouseDown (const juce::MouseEvent& e)
{
    const auto position = e.getPosition();
    const auto less = orientation == horizontal ? position.x <= getWidth() / 2
                                                : position.y >= getHeight() / 2;
    pressState = less ? lessPressed : morePressed;
    showRest = false;

    // No fall-back to the plain event: a Ctrl-click means something else.
    const auto eventId = e.mods.isCommandDown() ? (less ? lessCtrlEventId : moreCtrlEventId)
                                                : (less ? lessEventId : moreEventId);
    if (eventId != -1)
        sendEventTriggered (eventId);

    repaint();
}

void GFXRocker::mouseDrag (const juce::MouseEvent& e)
{
    const auto outside = ! getLocalBounds().contains (e.getPosition());

    if (outside != showRest)
    {
        showRest = outside;
        repaint();
    }
}

void GFXRocker::mouseUp (const juce::MouseEvent&)
{
    pressState = atRest;
    showRest = false;
    repaint();
}

void GFXRocker::paint (juce::Graphics& g)
{
    const auto shownState = showRest ? static_cast<int> (atRest) : pressState;

    if (hasImage())
    {
        drawFrame (g, shownState);
        return;
    }

    const auto bounds = getLocalBounds();
    g.fillAll (SkinDrawing::grey90);

    juce::Rectangle<int> lessHalf, moreHalf;

    if (orientation == horizontal)
    {
        const auto half = getWidth() / 2 - 1;
        lessHalf = { 0, 0, half, getHeight() };
        moreHalf = { half + 2, 0, half, getHeight() };
    }
    else
    {
        const auto half = getHeight() / 2 - 1;
        moreHalf = { 0, 0, getWidth(), half };
        lessHalf = { 0, half + 2, getWidth(), half };
    }

    g.setColour (shownState == lessPressed ? SkinDrawing::grey50 : SkinDrawing::grey70);
    g.fillRect (lessHalf);
    g.setColour (shownState == morePressed ? SkinDrawing::grey50 : SkinDrawing::grey70);
    g.fillRect (moreHalf);

    g.setColour (juce::Colours::black);
    g.drawRect (bounds, 1);
}
