#pragma once

#include <cstdint>

struct xcb_connection_t;

/**
    The X11 side of giving the keyboard back to a host: finds the host's
    top-level window above a window embedded in it and asks that window to
    take the input focus, as a window manager does (WM_TAKE_FOCUS, ICCCM
    4.1.7). GTK hosts (jalv, Ardour) answer by focusing their own off-screen
    focus window, which then gets every key wherever the pointer is; JUCE's
    host focuses its key window, or the plug-in's window while it embeds one.

    It talks to the server over an XCB connection of its own, opened on first
    use: nothing goes through JUCE's or the host's Xlib state, and an error
    (a window gone meanwhile) comes back as a result, never to the process's
    X error handler, which belongs to the host.
*/
class HostWindowFocus
{
public:
    HostWindowFocus() = default;
    ~HostWindowFocus();

    /** The highest window above `window` (never `window` itself) that lists
        WM_TAKE_FOCUS among its WM_PROTOCOLS: the host's top-level window.
        0 when there is none, as for a top-level window of our own. */
    std::uint32_t findHostTopLevel (std::uint32_t window);

    /** Asks the host's top-level window above `window` to take the focus;
        false when there is none or the server cannot be reached. */
    bool giveFocusToHost (std::uint32_t window);

private:
    bool connect();

    xcb_connection_t* connection = nullptr;
    bool connectionFailed = false;
    std::uint32_t wmProtocols = 0, wmTakeFocus = 0;

    HostWindowFocus (const HostWindowFocus&) = delete;
    HostWindowFocus& operator= (const HostWindowFocus&) = delete;
};
