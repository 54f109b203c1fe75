#include "skin/GUIController.h"

#include "framework/GuiEventsMap.h"
#include "framework/ParameterManager.h"
#include "framework/XmlHelpers.h"
#include "skin/Skin.h"

GUIController::~GUIController()
{
    if (parameter != nullptr)
    {
        // A control that goes mid-drag (its editor closed) still ends the
        // gesture the host was told of; its listeners, half gone with it, are not told.
        if (gestureOpen)
            parameter->sendGestureEnd();

        parameter->removeAsyncListener (this);
    }
}

void GUIController::parameterChanged (Parameter* changed)
{
    updateFromParameter (changed);
}

void GUIController::addAction (const juce::String&, int, const juce::String&)
{
}

void GUIController::updateFromParameter (Parameter*)
{
}

void GUIController::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void GUIController::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void GUIController::setParameter (Parameter* parameterToFollow)
{
    if (parameter == parameterToFollow)
        return;

    if (parameter != nullptr)
    {
        endParameterGesture();
        parameter->removeAsyncListener (this);
    }

    parameter = parameterToFollow;

    if (parameter != nullptr)
        parameter->addAsyncListener (this);
}

void GUIController::refreshFromParameter()
{
    if (parameter != nullptr)
        updateFromParameter (parameter);
}

template <typename Callback>
void GUIController::callListeners (Callback&& callback)
{
    // A listener may remove itself or others while it is called.
    for (int i = listeners.size(); --i >= 0;)
    {
        i = juce::jmin (i, listeners.size() - 1);

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));
    }
}

void GUIController::beginParameterGesture()
{
    if (parameter != nullptr && ! gestureOpen)
    {
        gestureOpen = true;
        parameter->sendGestureBegin();
        sendGestureStarted();
    }
}

void GUIController::endParameterGesture()
{
    if (parameter != nullptr && gestureOpen)
    {
        gestureOpen = false;
        parameter->sendGestureEnd();
        sendGestureEnded();
    }
}

void GUIController::endGestureWhenHidden (const juce::Component& control)
{
    if (gestureOpen && ! control.isShowing())
        endParameterGesture();
}

void GUIController::sendEventTriggered (int eventId)
{
    callListeners ([this, eventId] (Listener& l) { l.controllerEventTriggered (this, eventId); });
}

void GUIController::sendGestureStarted()
{
    callListeners ([this] (Listener& l) { l.controllerGestureStarted (this); });
}

void GUIController::sendGestureEnded()
{
    callListeners ([this] (Listener& l) { l.controllerGestureEnded (this); });
}

void GUIController::sendValueChanged()
{
    callListeners ([this] (Listener& l) { l.controllerValueChanged (this); });
}

void GUIController::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    const auto controlName = element.getStringAttribute ("name");

    if (const auto* links = XmlHelpers::findChild (element, "links"))
    {
        XmlHelpers::forEachChildNamed (*links, "link", [&] (const juce::XmlElement& link)
        {
            const auto as = link.getStringAttribute ("as");
            const auto parameterName = link.getStringAttribute ("param");
            auto* linked = skin.getParameterManager().getParameterByName (parameterName);

            if (linked == nullptr)
            {
                skin.addWarning ("\"" + controlName + "\" links to the unknown parameter \"" + parameterName + "\"");
                return;
            }

            // "as" is compared exactly: "connectedto" binds nothing.
            if (as == "connectedTo")
                setParameter (linked);
        });
    }

    if (const auto* actions = XmlHelpers::findChild (element, "actions"))
    {
        XmlHelpers::forEachChildNamed (*actions, "action", [&] (const juce::XmlElement& action)
        {
            const auto type = action.getStringAttribute ("type");
            const auto eventName = action.getStringAttribute ("event");
            auto& events = skin.getEventsMap();
            const auto eventId = events.getEventUid (eventName);

            if (eventId == -1)
            {
                skin.addWarning ("\"" + controlName + "\" fires the unknown event \"" + eventName + "\"");
                return;
            }

            if (type.isNotEmpty())
                addAction (type, eventId, events.getEventDisplayName (eventId));
        });
    }
}
