#pragma once

#include <juce_graphics/juce_graphics.h>

#include <memory>

/*  A host's top-level window as GTK and JUCE hosts make one, with the window
    manager's part of a click, for the tests that embed the editor the way a
    real host does. It lives on an X connection and a thread of its own, so it
    answers the server whatever the test's message loop is doing:

    - The plug-in's window goes inside it (its X id is the parent to give).
    - Its keyboard is an off-screen focus window (1 x 1 at -1, -1): a toolkit's
      way of getting every key wherever the pointer is. The keys that reach the
      host are those pressed while it holds the X focus there.
    - It takes the focus when asked by WM_TAKE_FOCUS, as toolkits do for a
      window manager, focusing its focus window.
    - A press anywhere in it first gives the host the focus, then goes on to
      the window under the pointer (a synchronous button grab, replayed), as a
      click-to-focus window manager such as openbox does before the press
      reaches an embedded plug-in.
*/
class HostTopLevel
{
public:
    /** A key the host heard: its keycode and the modifier state. */
    struct Key
    {
        int keycode = 0;
        int state = 0;
    };

    /** Makes and shows the window at `bounds` on the screen. */
    explicit HostTopLevel (juce::Rectangle<int> bounds);
    ~HostTopLevel();

    /** False when the server could not be reached or the window not made. */
    bool isValid() const;

    /** The top-level window: the plug-in's window goes inside it. */
    unsigned long getWindow() const;

    /** The window that gets the host's keys. */
    unsigned long getFocusWindow() const;

    /** Gives the host the keyboard, as a click on its own window (its title
        bar) does; true once the server has the focus there. */
    bool takeKeyboard();

    /** True while the X focus is on the host's focus window. */
    bool hasKeyboard() const;

    /** How often the host has lost the keyboard so far, every X event sent
        before the call counted (so with getKeys). */
    int getTimesKeyboardLost() const;

    /** The keys the host heard, in order; clearKeys forgets them. */
    std::vector<Key> getKeys() const;
    void clearKeys();

private:
    struct Connection;
    std::unique_ptr<Connection> connection;
};
