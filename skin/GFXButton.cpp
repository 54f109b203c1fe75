#include "skin/GFXButton.h"

#include "skin/SkinDrawing.h"

GFXButton::GFXButton (const juce::String& controlName)
    : juce::Button (controlName)
{
    setClickingTogglesState (false);
    setWantsKeyboardFocus (false);

    // Until the skin sizes it.
    setSize (controlName.isEmpty() ? 18 : juce::Font (12.0f).getStringWidth (controlName) + 8, 18);
}

GFXButton::~GFXButton()
{
    // Deleted mid-press (its editor gone): the momentary switch still lets go;
    // the listeners, half gone with it, are not told.
    if (auto* bound = getParameter(); bound != nullptr && lastDown)
        bound->setBoolValue (false, true);
}

void GFXButton::addAction (const juce::String& type, int eventId, const juce::String& eventDisplayName)
{
    if (type == "onClick")
    {
        clickEventId = eventId;
        clickEventName = eventDisplayName;
    }
    else if (type == "onClickWithCtrl")
    {
        ctrlClickEventId = eventId;
        ctrlClickEventName = eventDisplayName;
    }
    else if (type == "onRightClick")
    {
        rightClickEventId = eventId;
        rightClickEventName = eventDisplayName;
    }
}

void GFXButton::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);

    // A momentary switch must report its press at once.
    const auto trigger = getParameter() != nullptr ? juce::String ("onPress")
                                                   : element.getStringAttribute ("clickEvent", "onRelease");
    if (trigger == "onPress")
        setTriggeredOnMouseDown (true);
    else if (trigger == "onRelease")
        setTriggeredOnMouseDown (false);

    if (element.getStringAttribute ("autorepeat", "no") == "yes")
        setRepeatSpeed (1000, 100);
    else
        setRepeatSpeed (-1, -1);

    setBounds (left, top, width, height);
    repaint();
}

void GFXButton::applySize()
{
    setSize (width, height);
}

void GFXButton::applyPosition()
{
    setTopLeftPosition (left, top);
}

void GFXButton::updateTooltip (const juce::ModifierKeys& modifiers)
{
    setTooltip (modifiers.isCommandDown() && ctrlClickEventId != -1 ? ctrlClickEventName : clickEventName);
}

void GFXButton::mouseEnter (const juce::MouseEvent& e)
{
    juce::Button::mouseEnter (e);
    updateTooltip (e.mods);
}

void GFXButton::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    updateTooltip (modifiers);
    juce::Button::modifierKeysChanged (modifiers);
}

void GFXButton::clicked (const juce::ModifierKeys& modifiers)
{
    auto eventId = clickEventId;

    if (modifiers.isCommandDown())
        eventId = ctrlClickEventId;
    else if (modifiers.isRightButtonDown() && rightClickEventId != -1)
        eventId = rightClickEventId;

    if (eventId != -1)
        sendEventTriggered (eventId);
}

void GFXButton::buttonStateChanged()
{
    auto* bound = getParameter();

    if (bound == nullptr)
        return;

    const auto down = isDown();

    if (down != lastDown)
    {
        lastDown = down;
        bound->setBoolValue (down, true);
        sendValueChanged();
    }
}

void GFXButton::visibilityChanged()
{
    juce::Button::visibilityChanged();
    releaseWhenHidden();
}

void GFXButton::parentHierarchyChanged()
{
    juce::Button::parentHierarchyChanged();
    releaseWhenHidden();
}

void GFXButton::releaseWhenHidden()
{
    // A window closed mid-press sends no mouse-up: the press ends here, as a release would.
    if (lastDown && ! isShowing())
        setState (juce::Button::buttonNormal);
}

void GFXButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto pressed = shouldDrawButtonAsHighlighted && shouldDrawButtonAsDown;

    if (hasImage())
    {
        drawFrame (g, pressed ? 1 : 0);
        return;
    }

    const auto bounds = getLocalBounds();
    g.fillAll (pressed ? SkinDrawing::grey40 : SkinDrawing::grey90);
    g.setColour (juce::Colours::black);
    g.drawRect (bounds, 1);

    g.setFont (juce::Font (12.0f));
    g.setColour (isEnabled() ? juce::Colours::black : juce::Colour (0xFF808080));
    g.drawText (getButtonText(), bounds, juce::Justification::centred, true);
}
