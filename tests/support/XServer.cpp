#include "support/XServer.h"

#include <X11/Xlib.h>

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
} // namespace XServer
