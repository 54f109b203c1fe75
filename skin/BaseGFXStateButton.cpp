#include "skin/BaseGFXStateButton.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

BaseGFXStateButton::BaseGFXStateButton (const juce::String& controlName, bool clickingTogglesState)
    : juce::Button (controlName)
{
    setClickingTogglesState (clickingTogglesState);
    setWantsKeyboardFocus (false);
}

void BaseGFXStateButton::loadButtonFromXml (const juce::XmlElement& element, Skin& skin, int numStates)
{
    GUIController::loadFromXml (element, skin);

    const auto box = SkinGeometry::readBox (element, { left, top, width, height });
    left = box.getX();
    top = box.getY();
    width = box.getWidth();
    height = box.getHeight();

    const auto styleName = element.getStringAttribute ("style", "2D");

    if (styleName == "2D")
        style = style2D;
    else if (styleName == "3D")
        style = style3D;

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto strip = skin.getImage (gfx->getStringAttribute ("resource"));

        if (strip.isValid())
            setImage (strip, style == style3D ? 2 * numStates : numStates);
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

int BaseGFXStateButton::getStateFrame (int stateIndex, bool pressed) const noexcept
{
    return style == style3D ? 2 * stateIndex + (pressed ? 1 : 0) : stateIndex;
}

void BaseGFXStateButton::applySize()
{
    setSize (width, height);
}

void BaseGFXStateButton::applyPosition()
{
    setTopLeftPosition (left, top);
}

void BaseGFXStateButton::blinkStateChanged()
{
    repaint();
}
