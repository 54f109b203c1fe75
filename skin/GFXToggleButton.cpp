#include "skin/GFXToggleButton.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinDrawing.h"
#include "skin/SkinGeometry.h"

GFXToggleButton::GFXToggleButton (const juce::String& controlName)
    : juce::Button (controlName)
{
    setClickingTogglesState (true);
    setWantsKeyboardFocus (false);
}

void GFXToggleButton::updateFromParameter (Parameter* changed)
{
    // Without notification: the toolkit would call clicked() and write the echo back.
    setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void GFXToggleButton::loadFromXml (const juce::XmlElement& element, Skin& skin)
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

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto strip = skin.getImage (gfx->getStringAttribute ("resource"));

        if (strip.isValid())
            setImage (strip, style == style3D ? 4 : 2);
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

void GFXToggleButton::applySize()
{
    setSize (width, height);
}

void GFXToggleButton::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXToggleButton::blinkStateChanged()
{
    repaint();
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
        const auto frame = style == style3D ? 2 * (on ? 1 : 0) + (pressed ? 1 : 0) : (on ? 1 : 0);
        drawFrame (g, dark ? 0 : frame);
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
