#pragma once

#include "support/MessageQueue.h"

#include <juce_gui_basics/juce_gui_basics.h>

/*  Mouse and key events for interface tests without a display. Events go
    through the components' own JUCE handlers, as a window peer would deliver
    them: a press "at" a point in a root component reaches the component that
    JUCE's hit testing finds there.
*/

/** A mouse event for a component at a point in its own coordinates. */
inline juce::MouseEvent makeMouseEvent (juce::Component& target, juce::Point<int> position,
                                        juce::ModifierKeys modifiers = juce::ModifierKeys::leftButtonModifier,
                                        int numberOfClicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    const auto pos = position.toFloat();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, modifiers,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &target, &target, now, pos, now,
                             numberOfClicks, false);
}

/** The component that receives the mouse at a point of root (in root's coordinates), or null. */
inline juce::Component* componentUnderMouse (juce::Component& root, juce::Point<int> point)
{
    return root.getComponentAt (point);
}

enum class MouseAction
{
    down,
    up,
    move,
    enter,
    exit
};

/** Delivers one mouse action at a point of root to the component found there;
    returns that component (null when nothing takes the mouse there). */
inline juce::Component* sendMouse (juce::Component& root, juce::Point<int> point, MouseAction action,
                                   juce::ModifierKeys modifiers = juce::ModifierKeys::leftButtonModifier)
{
    auto* target = componentUnderMouse (root, point);

    if (target == nullptr)
        return nullptr;

    const auto event = makeMouseEvent (*target, target->getLocalPoint (&root, point), modifiers);

    switch (action)
    {
        case MouseAction::down:  target->mouseDown (event); break;
        case MouseAction::up:    target->mouseUp (event); break;
        case MouseAction::move:  target->mouseMove (event); break;
        case MouseAction::enter: target->mouseEnter (event); break;
        case MouseAction::exit:  target->mouseExit (event); break;
    }

    return target;
}

inline juce::Component* mouseDownAt (juce::Component& root, juce::Point<int> point)
{
    return sendMouse (root, point, MouseAction::down);
}

inline juce::Component* mouseMoveAt (juce::Component& root, juce::Point<int> point)
{
    return sendMouse (root, point, MouseAction::move, {});
}

/** A key press with its character (for typing) and modifiers. */
inline juce::KeyPress makeKey (int keyCode, juce::ModifierKeys modifiers = {}, juce::juce_wchar character = 0)
{
    return juce::KeyPress (keyCode, modifiers, character);
}

/** Delivers a key to a component's own handler; true when it was consumed. */
inline bool pressKey (juce::Component& target, const juce::KeyPress& key)
{
    return target.keyPressed (key);
}

/** Types text into a component key by key, as the keyboard would. */
inline void typeText (juce::Component& target, const juce::String& text)
{
    for (auto character : text)
        target.keyPressed (juce::KeyPress ((int) character, {}, character));
}

/** Clicks a button the way JUCE does for a key shortcut, then delivers the
    asynchronous click (JUCE 7's triggerClick posts a message). */
inline void clickButton (juce::Button& button)
{
    button.triggerClick();
    dispatchPendingMessages();
}
