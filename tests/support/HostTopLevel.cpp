#include "support/HostTopLevel.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace
{
xcb_atom_t internAtom (xcb_connection_t* connection, const char* name)
{
    auto* reply = xcb_intern_atom_reply (connection,
                                         xcb_intern_atom (connection, 0, static_cast<uint16_t> (std::strlen (name)), name),
                                         nullptr);
    const auto atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t> (XCB_ATOM_NONE);
    std::free (reply);
    return atom;
}
} // namespace

struct HostTopLevel::Connection
{
    explicit Connection (juce::Rectangle<int> bounds)
    {
        int screenNumber = 0;
        connection = xcb_connect (nullptr, &screenNumber);

        if (xcb_connection_has_error (connection) != 0 || pipe (wakePipe) != 0)
            return;

        auto screens = xcb_setup_roots_iterator (xcb_get_setup (connection));

        for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
            xcb_screen_next (&screens);

        const auto* screen = screens.data;
        wmProtocols = internAtom (connection, "WM_PROTOCOLS");
        wmTakeFocus = internAtom (connection, "WM_TAKE_FOCUS");
        marker = internAtom (connection, "TARVELIN_TEST_HOST_MARKER");

        topLevel = xcb_generate_id (connection);
        const uint32_t topValues[] = { 0x404040u,
                                       XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY };
        xcb_create_window (connection, XCB_COPY_FROM_PARENT, topLevel, screen->root,
                           static_cast<int16_t> (bounds.getX()), static_cast<int16_t> (bounds.getY()),
                           static_cast<uint16_t> (bounds.getWidth()), static_cast<uint16_t> (bounds.getHeight()), 0,
                           XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, topValues);
        xcb_change_property (connection, XCB_PROP_MODE_REPLACE, topLevel, wmProtocols, XCB_ATOM_ATOM, 32, 1, &wmTakeFocus);

        focusWindow = xcb_generate_id (connection);
        const uint32_t focusValues[] = { XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE };
        xcb_create_window (connection, XCB_COPY_FROM_PARENT, focusWindow, topLevel, -1, -1, 1, 1, 0,
                           XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, focusValues);
        xcb_map_window (connection, focusWindow);

        // The window manager's hold on every press in the window.
        xcb_grab_button (connection, 0, topLevel, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_SYNC, XCB_GRAB_MODE_ASYNC,
                         XCB_NONE, XCB_NONE, XCB_BUTTON_INDEX_ANY, XCB_MOD_MASK_ANY);
        xcb_map_window (connection, topLevel);
        xcb_flush (connection);

        valid = true;
        thread = std::thread ([this] { run(); });
    }

    ~Connection()
    {
        if (thread.joinable())
        {
            const char stop = 0;
            [[maybe_unused]] const auto written = write (wakePipe[1], &stop, 1);
            thread.join();
        }

        if (valid)
        {
            xcb_destroy_window (connection, topLevel);
            xcb_flush (connection);
        }

        for (auto end : wakePipe)
            if (end >= 0)
                close (end);

        xcb_disconnect (connection);
    }

    void run()
    {
        pollfd waits[] = { { xcb_get_file_descriptor (connection), POLLIN, 0 }, { wakePipe[0], POLLIN, 0 } };

        for (;;)
        {
            while (auto* event = xcb_poll_for_event (connection))
            {
                handle (*event);
                std::free (event);
            }

            if (xcb_connection_has_error (connection) != 0)
                return;

            // A reply awaited on another thread may have read events into
            // XCB's queue without leaving the socket readable: look again soon.
            poll (waits, 2, 10);

            if ((waits[1].revents & POLLIN) != 0)
                return;
        }
    }

    void handle (const xcb_generic_event_t& event)
    {
        switch (event.response_type & 0x7f)
        {
            case XCB_BUTTON_PRESS:
            {
                // What a click-to-focus window manager does first: the host gets
                // the focus (its toolkit puts it on the focus window), then the
                // press goes on to the window under the pointer.
                const auto& press = reinterpret_cast<const xcb_button_press_event_t&> (event);
                xcb_set_input_focus (connection, XCB_INPUT_FOCUS_PARENT, focusWindow, press.time);
                xcb_allow_events (connection, XCB_ALLOW_REPLAY_POINTER, press.time);
                xcb_flush (connection);
                break;
            }

            case XCB_CLIENT_MESSAGE:
            {
                const auto& message = reinterpret_cast<const xcb_client_message_event_t&> (event);

                if (message.type == wmProtocols && message.format == 32 && message.data.data32[0] == wmTakeFocus)
                {
                    xcb_set_input_focus (connection, XCB_INPUT_FOCUS_PARENT, focusWindow, message.data.data32[1]);
                    xcb_flush (connection);
                }
                else if (message.type == marker)
                {
                    const std::lock_guard<std::mutex> lock (markerMutex);
                    markersHandled = message.data.data32[0];
                    markerHandled.notify_all();
                }

                break;
            }

            case XCB_KEY_PRESS:
            {
                const auto& key = reinterpret_cast<const xcb_key_press_event_t&> (event);
                const std::lock_guard<std::mutex> lock (keysMutex);
                keys.push_back ({ key.detail, key.state });
                break;
            }

            case XCB_FOCUS_OUT:
            {
                const auto& focus = reinterpret_cast<const xcb_focus_out_event_t&> (event);

                if (focus.event == focusWindow && focus.mode == XCB_NOTIFY_MODE_NORMAL && focus.detail != XCB_NOTIFY_DETAIL_POINTER)
                    ++timesLost;

                break;
            }

            default:
                break;
        }
    }

    /** Returns once every event the server sent before now has been handled. */
    void handleEventsUpToNow()
    {
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = topLevel;
        message.type = marker;

        std::unique_lock<std::mutex> lock (markerMutex);
        message.data.data32[0] = ++markersSent;
        xcb_send_event (connection, 0, topLevel, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*> (&message));
        xcb_flush (connection);
        markerHandled.wait_for (lock, std::chrono::seconds (10), [this] { return markersHandled >= markersSent; });
    }

    xcb_window_t getFocus() const
    {
        auto* reply = xcb_get_input_focus_reply (connection, xcb_get_input_focus (connection), nullptr);
        const auto focus = reply != nullptr ? reply->focus : static_cast<xcb_window_t> (XCB_NONE);
        std::free (reply);
        return focus;
    }

    xcb_connection_t* connection = nullptr;
    xcb_atom_t wmProtocols = XCB_ATOM_NONE, wmTakeFocus = XCB_ATOM_NONE, marker = XCB_ATOM_NONE;
    xcb_window_t topLevel = 0, focusWindow = 0;
    int wakePipe[2] = { -1, -1 };
    bool valid = false;
    std::thread thread;

    std::atomic<int> timesLost { 0 };
    std::mutex markerMutex;
    std::condition_variable markerHandled;
    uint32_t markersSent = 0, markersHandled = 0;
    mutable std::mutex keysMutex;
    std::vector<Key> keys;
};

HostTopLevel::HostTopLevel (juce::Rectangle<int> bounds)
    : connection (std::make_unique<Connection> (bounds))
{
}

HostTopLevel::~HostTopLevel() = default;

bool HostTopLevel::isValid() const                  { return connection->valid; }
unsigned long HostTopLevel::getWindow() const       { return connection->topLevel; }
unsigned long HostTopLevel::getFocusWindow() const  { return connection->focusWindow; }
int HostTopLevel::getTimesKeyboardLost() const
{
    connection->handleEventsUpToNow();
    return connection->timesLost.load();
}

bool HostTopLevel::takeKeyboard()
{
    xcb_set_input_focus (connection->connection, XCB_INPUT_FOCUS_PARENT, connection->focusWindow, XCB_CURRENT_TIME);
    return hasKeyboard();
}

bool HostTopLevel::hasKeyboard() const
{
    return connection->valid && connection->getFocus() == connection->focusWindow;
}

std::vector<HostTopLevel::Key> HostTopLevel::getKeys() const
{
    connection->handleEventsUpToNow();
    const std::lock_guard<std::mutex> lock (connection->keysMutex);
    return connection->keys;
}

void HostTopLevel::clearKeys()
{
    const std::lock_guard<std::mutex> lock (connection->keysMutex);
    connection->keys.clear();
}
