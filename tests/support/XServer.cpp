#include "support/XServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

namespace
{
// JUCE 7 makes harmless errors on a display without a window manager (a
// window property set with an atom that only a window manager creates), and
// a window can go between a question and the next. Xlib's default handler
// would end the process; this one lets them pass, as a host does, and notes
// each kind once on the error output.
int noteXError (Display* display, XErrorEvent* error)
{
    static std::mutex mutex;
    static std::set<std::pair<int, int>> noted;
    const std::lock_guard<std::mutex> lock (mutex);

    if (noted.emplace (error->error_code, error->request_code).second)
    {
        char text[128] = {};
        XGetErrorText (display, error->error_code, text, sizeof (text));
        std::fprintf (stderr, "X error let pass: %s (request %d)\n", text, static_cast<int> (error->request_code));
    }

    return 0;
}

[[maybe_unused]] const auto previousHandler = XSetErrorHandler (noteXError);

Display* getConnection()
{
    static Display* const display = XOpenDisplay (nullptr);
    return display;
}

void addViewableDescendants (Display* display, ::Window window, std::vector<XServer::Window>& found)
{
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int numChildren = 0;

    if (XQueryTree (display, window, &root, &parent, &children, &numChildren) == 0)
        return;

    for (unsigned int i = 0; i < numChildren; ++i)
    {
        XWindowAttributes attributes {};

        if (XGetWindowAttributes (display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
            continue;

        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates (display, children[i], root, 0, 0, &x, &y, &child);
        found.push_back ({ children[i], window, x, y, attributes.width, attributes.height });
        addViewableDescendants (display, children[i], found);
    }

    if (children != nullptr)
        XFree (children);
}
} // namespace

namespace XServer
{
bool isViewable (unsigned long window)
{
    auto* display = getConnection();
    XWindowAttributes attributes {};

    return display != nullptr && window != 0
           && XGetWindowAttributes (display, window, &attributes) != 0
           && attributes.map_state == IsViewable;
}

std::vector<Window> getViewableDescendants (unsigned long window)
{
    std::vector<Window> found;

    if (auto* display = getConnection(); display != nullptr && window != 0)
        addViewableDescendants (display, window, found);

    return found;
}

bool giveInputFocus (unsigned long window)
{
    auto* display = getConnection();

    if (display == nullptr || ! isViewable (window))
        return false;

    XSetInputFocus (display, window, RevertToParent, CurrentTime);
    XSync (display, False);
    return getInputFocus() == window;
}

unsigned long getInputFocus()
{
    auto* display = getConnection();

    if (display == nullptr)
        return 0;

    ::Window focus = 0;
    int revertTo = 0;
    XGetInputFocus (display, &focus, &revertTo);
    return focus == PointerRoot ? 0 : focus;
}

juce::String describeKey (int keycode, int state)
{
    auto* display = getConnection();

    if (display == nullptr)
        return {};

    const auto symbol = XkbKeycodeToKeysym (display, static_cast<KeyCode> (keycode), 0, 0);
    const auto* name = XKeysymToString (symbol);
    return juce::String ((state & ControlMask) != 0 ? "ctrl+" : "") + (name != nullptr ? name : "?");
}

void nudgePointer()
{
    static int direction = 1;

    if (auto* display = getConnection())
    {
        XWarpPointer (display, 0, 0, 0, 0, 0, 0, direction, 0);
        XSync (display, False);
        direction = -direction;
    }
}

juce::Image grabArea (juce::Rectangle<int> area)
{
    auto* display = getConnection();

    if (display == nullptr || area.isEmpty())
        return {};

    auto* image = XGetImage (display, DefaultRootWindow (display), area.getX(), area.getY(), (unsigned int) area.getWidth(),
                             (unsigned int) area.getHeight(), AllPlanes, ZPixmap);

    if (image == nullptr)
        return {};

    const auto shiftOf = [] (unsigned long mask) { int shift = 0; while (mask != 0 && (mask & 1) == 0) { mask >>= 1; ++shift; } return shift; };
    const unsigned long masks[] = { image->red_mask, image->green_mask, image->blue_mask };
    const int shifts[] = { shiftOf (masks[0]), shiftOf (masks[1]), shiftOf (masks[2]) };

    juce::Image grabbed (juce::Image::RGB, area.getWidth(), area.getHeight(), false);
    const juce::Image::BitmapData pixels (grabbed, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < area.getHeight(); ++y)
    {
        for (int x = 0; x < area.getWidth(); ++x)
        {
            const auto value = XGetPixel (image, x, y);
            const auto channel = [&] (int c) { return static_cast<juce::uint8> ((value & masks[c]) >> shifts[c]); };
            pixels.setPixelColour (x, y, juce::Colour (channel (0), channel (1), channel (2)));
        }
    }

    XDestroyImage (image);
    return grabbed;
}
} // namespace XServer
