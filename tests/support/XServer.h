#pragma once

#include "support/MessageQueue.h"

#include <juce_graphics/juce_graphics.h>

#include <vector>

/*  The X server ($DISPLAY) asked directly, over a connection of the test's
    own, for the tests that run under Xvfb: whether it shows a window now,
    whatever a toolkit's event queue has or has not handled yet.

    Linking XServer.cpp also gives the process an X error handler: JUCE
    installs its own only inside a JUCE application, and a plug-in leaves it to
    its host, so a test that opens windows is the host here.
*/
namespace XServer
{
/** A window on the screen: its id, its parent's and its bounds in screen coordinates. */
struct Window
{
    unsigned long id = 0, parent = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

/** True when the server shows the window: mapped, and every window above it too. */
bool isViewable (unsigned long window);

/** The windows inside a window (not itself) that the server shows, depth first. */
std::vector<Window> getViewableDescendants (unsigned long window);

/** Gives a window the keyboard (X input focus), as a host does for the
    plug-in's window; true once the server has it there. */
bool giveInputFocus (unsigned long window);

/** The window that has the keyboard (0 for none). */
unsigned long getInputFocus();

/** A key as X names it at its keycode ("x", "space", "Return"), after
    "ctrl+" when the state has Control down. */
juce::String describeKey (int keycode, int state);

/** Moves the pointer one pixel right, or back left when the last nudge went
    right: X input that wakes a toolkit whose connection had read events into
    its queue without dispatching them. */
void nudgePointer();

/** What the screen shows in an area now, as an RGB image; null when the
    server cannot be asked. Quicker than a dump of the whole screen. */
juce::Image grabArea (juce::Rectangle<int> area);

/** Runs the message loop until the condition holds or timeoutMs have passed,
    for a test that has just sent X input (xdotool) to a JUCE window.

    JUCE reads its X connection when the connection's socket has data; events
    that another Xlib call (the tooltip window's pointer poll, a paint's check
    for its completion) has already read into Xlib's queue wait there for the
    next X input. A user's hand on the mouse gives it at once; here the
    pointer is nudged a pixel whenever a quarter of a second passes without
    the condition holding. */
template <typename Condition>
bool runMessageLoopWithHandOnMouseUntil (Condition&& condition, int timeoutMs)
{
    auto nextNudge = juce::Time::getMillisecondCounter() + 250;

    return runMessageLoopUntil ([&]
    {
        if (condition())
            return true;

        if (juce::Time::getMillisecondCounter() >= nextNudge)
        {
            nudgePointer();
            nextNudge = juce::Time::getMillisecondCounter() + 250;
        }

        return false;
    }, timeoutMs);
}
} // namespace XServer
