#pragma once

#include "framework/Parameter.h"
#include "skin/BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class Skin;

/**
    The base of every skinned control: bound to at most one parameter, which it
    follows on the message thread, and telling its listeners (the editor) about
    gestures, value changes and fired events.

    It is not a component itself; each control also derives from juce::Component
    or a toolkit widget. Its "links" and "actions" come from the control's
    element of "skin.xml".
*/
class GUIController : public Parameter::Listener,
                      public BlinkingComponent
{
public:
    /** Hears a control's gestures, value changes and events; the editor implements it. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void controllerUpdated (GUIController*) {}
        virtual void controllerGestureStarted (GUIController*) {}
        virtual void controllerGestureEnded (GUIController*) {}
        virtual void controllerValueChanged (GUIController*) {}
        virtual void controllerEventTriggered (GUIController*, int /*eventId*/) {}
    };

    GUIController() = default;
    ~GUIController() override;

    /** Forwards to updateFromParameter. */
    void parameterChanged (Parameter* changed) override;

    /** Stores the event for the trigger types the control knows; nothing by default. */
    virtual void addAction (const juce::String& type, int eventId, const juce::String& eventDisplayName);

    /** Shows the parameter's value without writing it back; nothing by default. */
    virtual void updateFromParameter (Parameter* changed);

    /** Null and duplicates are ignored. A panel passes the listener on to its controls. */
    virtual void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Reads "links" and "actions" of the control's element. */
    virtual void loadFromXml (const juce::XmlElement& element, Skin& skin);

    /** Leaves the parameter bound so far and follows this one on the message
        thread; null unbinds. The value is not read here. */
    void setParameter (Parameter* parameterToFollow);
    Parameter* getParameter() const noexcept                { return parameter; }

    /** Shows the bound parameter's current value; nothing when unbound. */
    void refreshFromParameter();

    /** Opens (closes) a gesture on the bound parameter, then tells every
        listener; nothing when unbound, when one is open already (is not open).
        A gesture still open when the control is destroyed is ended then. */
    void beginParameterGesture();
    void endParameterGesture();
    bool isGestureOpen() const noexcept                     { return gestureOpen; }

    /** Ends an open gesture once the control is off the screen: a host that
        closes its window mid-drag sends the control no mouse-up. */
    void endGestureWhenHidden (const juce::Component& control);

    // Each tells every listener, the last added first.
    void sendEventTriggered (int eventId);
    void sendGestureStarted();
    void sendGestureEnded();
    void sendValueChanged();

private:
    template <typename Callback>
    void callListeners (Callback&& callback);

    juce::Array<Listener*> listeners;
    Parameter* parameter = nullptr;
    bool gestureOpen = false;

    JUCE_DECLARE_NON_COPYABLE (GUIController)
};
