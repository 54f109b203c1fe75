#include "framework/HostWindowFocus.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{
// A host's window tree is a few levels deep; a server that answers with a
// longer chain (or a loop) is not followed further.
constexpr int maximumDepth = 64;

struct FreeReply
{
    void operator() (void* reply) const noexcept { std::free (reply); }
};

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t findAtom (xcb_connection_t* connection, const char* name)
{
    // Only if it exists: an atom nobody made names no protocol anyone speaks.
    const ReplyPointer<xcb_intern_atom_reply_t> reply {
        xcb_intern_atom_reply (connection,
                               xcb_intern_atom (connection, 1, static_cast<std::uint16_t> (std::strlen (name)), name),
                               nullptr)
    };
    return reply != nullptr ? reply->atom : static_cast<xcb_atom_t> (XCB_ATOM_NONE);
}

bool takesFocusByMessage (xcb_connection_t* connection, xcb_window_t window, xcb_atom_t wmProtocols, xcb_atom_t wmTakeFocus)
{
    const ReplyPointer<xcb_get_property_reply_t> reply {
        xcb_get_property_reply (connection, xcb_get_property (connection, 0, window, wmProtocols, XCB_ATOM_ATOM, 0, 32), nullptr)
    };

    if (reply == nullptr || reply->format != 32)
        return false;

    const auto* protocols = static_cast<const xcb_atom_t*> (xcb_get_property_value (reply.get()));
    const auto count = xcb_get_property_value_length (reply.get()) / static_cast<int> (sizeof (xcb_atom_t));

    for (int i = 0; i < count; ++i)
        if (protocols[i] == wmTakeFocus)
            return true;

    return false;
}
} // namespace

HostWindowFocus::~HostWindowFocus()
{
    if (connection != nullptr)
        xcb_disconnect (connection);
}

bool HostWindowFocus::connect()
{
    if (connection != nullptr)
        return true;

    if (connectionFailed)
        return false;

    // The server JUCE's windows are on: $DISPLAY, or JUCE's own default.
    const auto* display = std::getenv ("DISPLAY");
    connection = xcb_connect (display != nullptr && *display != 0 ? display : ":0.0", nullptr);

    if (xcb_connection_has_error (connection) != 0)
    {
        xcb_disconnect (connection);
        connection = nullptr;
        connectionFailed = true;
        return false;
    }

    wmProtocols = findAtom (connection, "WM_PROTOCOLS");
    wmTakeFocus = findAtom (connection, "WM_TAKE_FOCUS");
    return true;
}

std::uint32_t HostWindowFocus::findHostTopLevel (std::uint32_t window)
{
    if (window == 0 || ! connect() || wmProtocols == XCB_ATOM_NONE || wmTakeFocus == XCB_ATOM_NONE)
        return 0;

    xcb_window_t found = 0;
    auto current = static_cast<xcb_window_t> (window);

    for (int depth = 0; depth < maximumDepth; ++depth)
    {
        const ReplyPointer<xcb_query_tree_reply_t> tree {
            xcb_query_tree_reply (connection, xcb_query_tree (connection, current), nullptr)
        };

        if (tree == nullptr || tree->parent == XCB_WINDOW_NONE || tree->parent == tree->root)
            break;

        current = tree->parent;

        // The highest one: a toolkit may mark inner windows too (GTK's plug
        // inside the host's window), but the top-level holds the focus window.
        if (takesFocusByMessage (connection, current, wmProtocols, wmTakeFocus))
            found = current;
    }

    return found;
}

bool HostWindowFocus::giveFocusToHost (std::uint32_t window)
{
    const auto topLevel = findHostTopLevel (window);

    if (topLevel == 0)
        return false;

    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = topLevel;
    message.type = wmProtocols;
    message.data.data32[0] = wmTakeFocus;
    // The current time: the host's focus request then always counts, as the
    // press that took the focus away has already passed.
    message.data.data32[1] = XCB_CURRENT_TIME;

    const auto cookie = xcb_send_event_checked (connection, 0, topLevel, XCB_EVENT_MASK_NO_EVENT,
                                                reinterpret_cast<const char*> (&message));
    const ReplyPointer<xcb_generic_error_t> error { xcb_request_check (connection, cookie) };
    return error == nullptr;
}
