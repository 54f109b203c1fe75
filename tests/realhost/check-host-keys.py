#!/usr/bin/env python3
"""Checks the host's keyboard and the file chooser in jalv.gtk3 under a window manager.

Drives the plug-in's editor in jalv.gtk3's window (with jalv's menu) with X
input from xdotool, as a user does, and asks the X server where the keyboard
is. In order:

1. A click on jalv's title bar, then Ctrl+S: jalv's "Save State" dialog opens
   (Escape closes it). This is the host's keyboard as it should stay.
2. A click on PLAY: the plug-in's window takes the X focus on the press and
   gives it back; then Ctrl+S opens "Save State" again.
3. A click on the preset name display, the letters given, Return: the
   plug-in's window keeps the keyboard for the edit and gives it back when
   it ends; Ctrl+S opens "Save State" once more.
4. BROWSE, the browser's bank Save button, a click on the chooser's "file:"
   field, "abc", Return: the bank is written as abc.tqprsb in the chooser's
   folder, holding the renamed preset.

Every wait polls the server with a deadline; nothing sleeps a fixed time
against the host. Screen grabs of the window at each stage go to the
screenshot folder when one is given. Needs xdotool and xwd. Exits with 0 when
every check passes, 1 otherwise.
"""

import argparse
import ctypes
import importlib.util
import os
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree
import zlib

# The sibling checks are loaded from the source tree: leave no compiled copies there.
sys.dont_write_bytecode = True

POLL_SECONDS = 0.05

# X11 constants (X.h).
FOCUS_CHANGE_MASK = 1 << 21
FOCUS_IN = 9
NOTIFY_NORMAL = 0
NOTIFY_POINTER = 5
POINTER_ROOT = 1

# Where the editor puts its windows (the editor's own layout): the preset
# browser, 639 x 350, centred on the panel, its bank Save button 42 px left
# of its right edge and 22 px above its bottom; the file chooser 600 x 500
# (JUCE's dialog), centred in the editor less a 12 px margin, its "file:"
# field the white row nearest its bottom, 25 px right of its centre.
BROWSER_SIZE = (639, 350)
BANK_SAVE_FROM_BOTTOM_RIGHT = (42, 22)
CHOOSER_SIZE = (600, 500)
CHOOSER_MARGIN = 12
FILE_FIELD_X_FROM_CENTRE = 25


class XErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p), ("resourceid", ctypes.c_ulong),
                ("serial", ctypes.c_ulong), ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


class XFocusChangeEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("mode", ctypes.c_int),
                ("detail", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xfocus", XFocusChangeEvent), ("pad", ctypes.c_long * 24)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(XErrorEvent))


class Server:
    """A connection of our own to the X server: windows, the keyboard's place, focus events."""

    def __init__(self):
        self.x = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        for name in ("XQueryTree", "XGetWindowAttributes", "XTranslateCoordinates", "XGetInputFocus", "XSelectInput",
                     "XPending", "XNextEvent", "XSync", "XFree"):
            getattr(self.x, name).restype = ctypes.c_int
        # Windows come and go under us (the host's dialogs): an error is an answer, not the end.
        self.error_handler = ERROR_HANDLER(lambda display, error: 0)
        self.x.XSetErrorHandler(self.error_handler)
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot reach the X server")
        self.root = self.x.XDefaultRootWindow(self.display)

    def children(self, window):
        root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(ctypes.c_void_p(self.display), ctypes.c_ulong(window), ctypes.byref(root),
                                 ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
            return [], 0
        found = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return found, parent.value

    def parent(self, window):
        return self.children(window)[1]

    def attributes(self, window):
        attributes = XWindowAttributes()
        if not self.x.XGetWindowAttributes(ctypes.c_void_p(self.display), ctypes.c_ulong(window), ctypes.byref(attributes)):
            return None
        return attributes

    def position(self, window):
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(ctypes.c_void_p(self.display), ctypes.c_ulong(window), ctypes.c_ulong(self.root),
                                     0, 0, ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value

    def focus(self):
        focus, revert = ctypes.c_ulong(), ctypes.c_int()
        self.x.XGetInputFocus(ctypes.c_void_p(self.display), ctypes.byref(focus), ctypes.byref(revert))
        return 0 if focus.value == POINTER_ROOT else focus.value

    def is_inside(self, window, ancestor):
        """True when window is ancestor or lies inside it."""
        for _ in range(64):
            if window == ancestor:
                return True
            if window in (0, self.root):
                return False
            window = self.parent(window)
        return False

    def watch_focus(self, window):
        self.x.XSelectInput(ctypes.c_void_p(self.display), ctypes.c_ulong(window), ctypes.c_long(FOCUS_CHANGE_MASK))
        self.x.XSync(ctypes.c_void_p(self.display), 0)

    def focus_ins(self, window):
        """Counts the times window got the focus, since last asked."""
        count = 0
        event = XEvent()
        while self.x.XPending(ctypes.c_void_p(self.display)) > 0:
            self.x.XNextEvent(ctypes.c_void_p(self.display), ctypes.byref(event))
            if (event.type == FOCUS_IN and event.xfocus.window == window and event.xfocus.mode == NOTIFY_NORMAL
                    and event.xfocus.detail < NOTIFY_POINTER):
                count += 1
        return count


def load_sibling(name):
    spec = importlib.util.spec_from_file_location(name.replace("-", "_"), os.path.join(os.path.dirname(__file__), name + ".py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


SCREEN = load_sibling("check-editor-shown")


def xdotool(*arguments):
    subprocess.run(["xdotool", *map(str, arguments)], check=True, timeout=60)


def wait_until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while True:
        if condition():
            return
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {seconds} s waiting until {what}")
        time.sleep(POLL_SECONDS)


def grab_screen():
    with tempfile.NamedTemporaryFile(suffix=".xwd") as dump:
        subprocess.run(["xwd", "-root", "-silent", "-out", dump.name], check=True, timeout=60)
        return SCREEN.read_xwd(dump.name)


def write_png(screen, area, path):
    width, height, pixel = screen
    x0, y0, w, h = area
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(x0, x0 + w)) for y in range(y0, y0 + h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))


def is_white(colour):
    return min(colour) >= 245


def is_grey(colour):
    return 150 <= min(colour) and max(colour) - min(colour) <= 12 and max(colour) <= 235


def is_dark(colour):
    return max(colour) <= 40


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True, help="jalv.gtk3's process")
    parser.add_argument("--skin", required=True, help="the default skin's skin.xml")
    parser.add_argument("--bank-folder", required=True, help="the folder the bank chooser opens in")
    parser.add_argument("--typed", default="xyz", help="letters added to the preset's name")
    parser.add_argument("--seconds", type=float, default=60.0, help="deadline of each wait")
    parser.add_argument("--screenshots", help="folder for grabs of the window at each stage")
    args = parser.parse_args()

    server = Server()
    panel_width, panel_height, centres = SCREEN.read_skin(args.skin)
    seconds = args.seconds

    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(args.pid), "--name", "^Tarvelin$"],
                               capture_output=True, text=True, timeout=seconds)
    except subprocess.TimeoutExpired:
        found = None
    top_level = int(found.stdout.split()[0]) if found is not None and found.returncode == 0 and found.stdout.split() else 0
    if top_level == 0:
        print("FAILED: jalv shows no window")
        return 1

    # The plug-in's window is the deepest in jalv's; the host's focus window
    # is the off-screen 1 x 1 child of its top level.
    def deepest(window):
        children = [c for c in server.children(window)[0] if (a := server.attributes(c)) is not None and a.map_state == 2]
        sized = [c for c in children if server.attributes(c).width >= panel_width]
        return deepest(sized[-1]) if sized else window

    plugin_window = 0
    focus_window = 0

    def windows_found():
        nonlocal plugin_window, focus_window
        plugin_window = deepest(top_level)
        for child in server.children(top_level)[0]:
            a = server.attributes(child)
            if a is not None and a.width == 1 and a.height == 1 and a.x < 0 and a.y < 0:
                focus_window = child
        return plugin_window != top_level

    try:
        wait_until(windows_found, seconds, "jalv's window holds the plug-in's window")
    except AssertionError as failure:
        print(f"FAILED: {failure}")
        return 1
    origin = server.position(plugin_window)
    editor_area = (origin[0], origin[1], panel_width, server.attributes(plugin_window).height)
    print(f"jalv's window {top_level:#x}: the plug-in's window {plugin_window:#x} at {origin}, "
          f"the host's focus window {focus_window:#x}")
    # Under the window manager the press first takes the focus to jalv's
    # window; the plug-in's window taking it back shows the press handled.
    server.watch_focus(plugin_window)
    times_taken = 0

    def count_taken():
        nonlocal times_taken
        times_taken += server.focus_ins(plugin_window)
        return times_taken

    def click_and_wait_until_taken(x, y, name):
        taken = count_taken()
        click(*at(x, y))
        wait_until(lambda: count_taken() > taken, seconds, f"the plug-in's window takes the keyboard on the press on {name}")

    def host_has_keyboard():
        focus = server.focus()
        return focus != 0 and server.is_inside(focus, top_level) and not server.is_inside(focus, plugin_window)

    def at(x, y):
        return origin[0] + x, origin[1] + y

    def click(x, y):
        xdotool("mousemove", "--sync", x, y, "click", "1")

    def shot(name):
        if args.screenshots:
            os.makedirs(args.screenshots, exist_ok=True)
            write_png(grab_screen(), editor_area, os.path.join(args.screenshots, f"realhost-keys-{name}.png"))

    def save_state_dialog():
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Save State$"],
                                capture_output=True, text=True, timeout=seconds)
        return result.returncode == 0 and result.stdout.strip() != ""

    def ctrl_s_opens_save_state(when):
        xdotool("key", "ctrl+s")
        wait_until(save_state_dialog, seconds, f"Ctrl+S {when} opens jalv's \"Save State\"")
        xdotool("key", "Escape")
        wait_until(lambda: not save_state_dialog(), seconds, "Escape closes \"Save State\"")
        wait_until(host_has_keyboard, seconds, "jalv's window has its keyboard again after \"Save State\"")
        print(f"Ctrl+S {when} opened jalv's \"Save State\"")


    try:
        # 1. The host's keyboard: a click on its title bar.
        wait_until(lambda: server.parent(top_level) != server.root, seconds, "the window manager frames jalv's window")
        top_x, top_y = server.position(top_level)
        click(top_x + 40, top_y - 8)
        wait_until(host_has_keyboard, seconds, "a click on jalv's title bar gives it the keyboard")
        ctrl_s_opens_save_state("after a click on jalv's title bar")

        # 2. A click on PLAY.
        click_and_wait_until_taken(*centres["PlayButton"], "PLAY")
        wait_until(host_has_keyboard, seconds, "jalv's window has the keyboard back after the click on PLAY")
        shot("after-play")
        ctrl_s_opens_save_state("after a click on PLAY")

        # 3. A rename.
        click_and_wait_until_taken(*centres["PresetNameDisplay"], "the preset name")
        wait_until(lambda: server.is_inside(server.focus(), plugin_window), seconds,
                   "the plug-in's window keeps the keyboard for the rename")
        xdotool("type", "--delay", "30", args.typed)
        shot("renaming")
        xdotool("key", "Return")
        wait_until(host_has_keyboard, seconds, "jalv's window has the keyboard back when the rename ends")
        ctrl_s_opens_save_state("after a rename")

        # 4. The bank chooser.
        click_and_wait_until_taken(*centres["PresetBrowseButton"], "BROWSE")
        browser_x = panel_width // 2 - BROWSER_SIZE[0] // 2
        browser_y = panel_height // 2 - BROWSER_SIZE[1] // 2

        def browser_shown():
            # Its title bar is black across the panel's varied colours.
            screen = grab_screen()
            row = [screen[2](*at(x, browser_y + 12)) for x in range(browser_x + 40, browser_x + BROWSER_SIZE[0] - 40)]
            return sum(map(is_dark, row)) > 0.8 * len(row)

        wait_until(browser_shown, seconds, "BROWSE opens the preset browser")
        click(*at(browser_x + BROWSER_SIZE[0] - BANK_SAVE_FROM_BOTTOM_RIGHT[0],
                  browser_y + BROWSER_SIZE[1] - BANK_SAVE_FROM_BOTTOM_RIGHT[1]))

        editor_height = editor_area[3]
        chooser_w = min(CHOOSER_SIZE[0], panel_width - 2 * CHOOSER_MARGIN)
        chooser_h = min(CHOOSER_SIZE[1], editor_height - 2 * CHOOSER_MARGIN)
        chooser_y = (editor_height - chooser_h) // 2
        field_x = panel_width // 2 + FILE_FIELD_X_FROM_CENTRE
        field_y = None

        def file_field_shown():
            # Up from the chooser's bottom edge: its grey, then the white field
            # (the file list above is white too, but much taller).
            nonlocal field_y
            pixel = grab_screen()[2]
            ys = range(chooser_y + chooser_h - 4, chooser_y + chooser_h // 2, -1)
            first = next((y for y in ys if is_white(pixel(*at(field_x, y)))), None)
            if first is None or not is_grey(pixel(*at(field_x, first + 3))):
                return False
            last = first
            while last > chooser_y and is_white(pixel(*at(field_x, last - 1))):
                last -= 1
            field_y = (first + last) // 2 if 12 <= first - last + 1 <= 40 else None
            return field_y is not None

        wait_until(file_field_shown, seconds, "the bank's Save opens the file chooser with its \"file:\" field")
        click_and_wait_until_taken(field_x, field_y, "the \"file:\" field")
        xdotool("type", "--delay", "30", "abc")
        shot("chooser-typed")
        xdotool("key", "Return")

        saved = os.path.join(args.bank_folder, "abc.tqprsb")
        wait_until(lambda: os.path.isfile(saved) and os.path.getsize(saved) > 0, seconds,
                   f"the chooser writes {saved}")

        def holds_renamed_preset():
            try:
                names = [p.get("name", "") for p in ElementTree.parse(saved).getroot().iter("Preset")]
            except ElementTree.ParseError:
                return False  # still being written
            return any(name.endswith(args.typed) for name in names)

        wait_until(holds_renamed_preset, seconds, f"{saved} holds the preset renamed with \"{args.typed}\"")
        shot("bank-saved")
        print(f"the bank chooser took \"abc\" and wrote {saved} with the renamed preset")
    except (AssertionError, subprocess.SubprocessError) as failure:
        shot("failed")
        print(f"FAILED: {failure}")
        print(f"the keyboard is at {server.focus():#x} (jalv's focus window {focus_window:#x}, "
              f"the plug-in's window {plugin_window:#x})")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
