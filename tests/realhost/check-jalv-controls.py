#!/usr/bin/python3
"""Checks what jalv's generic controls SHOW, read through the accessibility bus.

jalv.gtk3 with its generic user interface (-g) draws a label "Name:", a slider
and a number box for each parameter. This reads, through AT-SPI, the number box
of each named parameter in the jalv window of the given process, and compares
it with the normalised value that a preset of a bank file holds. It waits until
they agree or the time is up (jalv updates its controls 30 times a second).
Exits with 0 when every named control shows the preset's value, 1 otherwise.

Needs the accessibility bus (at-spi2-core) in a D-Bus session, and Debian's
python3-gi with gir1.2-atspi-2.0: run it with the system's python3.
"""

import argparse
import sys
import time
import xml.etree.ElementTree as ElementTree

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

VALUE_TOLERANCE = 1.0e-4


def read_preset(path, index):
    """The normalised values of a bank's preset, by name, counting presets across groups."""
    presets = ElementTree.parse(path).getroot().findall("PresetGroup/Preset")
    return {param.get("name"): float(param.get("value")) for param in presets[index].findall("param")}


def find_application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def read_controls(application):
    """{label: value} of every number box, taken from the box just before its label."""
    shown = {}
    last_value = [None]

    def walk(node):
        role = node.get_role_name()
        if role == "spin button":
            last_value[0] = Atspi.Value.get_current_value(node)
        elif role == "label":
            text = node.get_name() or ""
            if text.endswith(":") and last_value[0] is not None:
                shown[text[:-1]] = last_value[0]
                last_value[0] = None
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                walk(child)

    walk(application)
    return shown


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True, help="jalv's process")
    parser.add_argument("--presets", required=True, help="the bank file the instance loaded")
    parser.add_argument("--preset", type=int, required=True, help="the preset whose values it should show")
    parser.add_argument("--names", nargs="+", required=True, help="the parameters to check")
    parser.add_argument("--when", default="", help="said in the messages")
    parser.add_argument("--seconds", type=float, default=20.0)
    args = parser.parse_args()

    expected = read_preset(args.presets, args.preset)
    deadline = time.monotonic() + args.seconds
    shown = {}
    while True:
        application = find_application(args.pid)
        if application is not None:
            try:
                shown = read_controls(application)
            except GLib.Error:
                shown = {}  # a window still being built

            wrong = [n for n in args.names if n not in shown or abs(shown[n] - expected[n]) > VALUE_TOLERANCE]
            if not wrong:
                for name in args.names:
                    print("jalv shows %s = %g %s, the instance's own" % (name, shown[name], args.when))
                return 0
        if time.monotonic() >= deadline:
            break
        time.sleep(0.2)

    if not shown:
        print("FAILED: no jalv controls found for process %d %s" % (args.pid, args.when))
        return 1
    for name in args.names:
        print("FAILED: jalv shows %s = %s %s, the instance has %g"
              % (name, shown.get(name, "nothing"), args.when, expected[name]))
    return 1


if __name__ == "__main__":
    sys.exit(main())
