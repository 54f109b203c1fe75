#pragma once

#include "framework/HostWindowFocus.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/**
    Leaves the keyboard with the host while the editor is embedded in a host's
    window.

    JUCE's X11 window takes the X input focus on every mouse press, and keys
    the editor does not use then stop there: the host's shortcuts go dead.
    After a click that leaves no component of the editor with the keyboard,
    and whenever the keyboard leaves the editor's components while the window
    holds the X focus, the host's top-level window takes the focus back
    (HostWindowFocus). A click that gives a component the keyboard (a name
    display's edit, a text field) keeps it there.

    Under a window manager the press first takes the X focus away to the
    host's window, and JUCE's own grab brings it back; the window then hands
    the keyboard to the component that had it when the focus went, not to the
    one just clicked. For that moment the component it would choose, and a
    modal component around the clicked one, do not want the keyboard.

    A window of our own (the Standalone) has no host above it: nothing changes there.
*/
class HostKeyboard : private juce::MouseListener,
                     private juce::FocusChangeListener,
                     private juce::AsyncUpdater
{
public:
    /** content: what the host's window shows, the editor's wrapper. */
    explicit HostKeyboard (juce::Component& content);
    ~HostKeyboard() override;

private:
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void globalFocusChanged (juce::Component*) override;
    void handleAsyncUpdate() override;

    /** The component inside the content that has the keyboard, or null. */
    juce::Component* findKeyboardUser() const;
    void withdrawWish (juce::Component* component);
    void restoreWishes();
    void giveUnusedKeyboardToHost();

    juce::Component& content;
    HostWindowFocus hostWindowFocus;
    std::vector<juce::Component::SafePointer<juce::Component>> withdrawnWishes;
    bool checkPending = false;

    JUCE_DECLARE_NON_COPYABLE (HostKeyboard)
};
