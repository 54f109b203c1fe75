#!/usr/bin/env python3
"""Sends one MIDI message into a JACK port, as a keyboard or a sequencer would.

Usage: send-midi.py CLIENT_NAME DESTINATION_PORT BYTE... (bytes in hexadecimal)

A JACK client of its own (through libjack, with the standard library's ctypes)
opens, connects its MIDI output to the destination, writes the message at the
start of one cycle, waits for a few more cycles and closes again. Exits with 0
when the message went out, 1 otherwise.
"""

import ctypes
import sys
import threading

JACK_NO_START_SERVER = 0x01
JACK_PORT_IS_OUTPUT = 0x02
CYCLES_AFTER_SENDING = 4

PROCESS_CALLBACK = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_uint32, ctypes.c_void_p)


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 1

    name, destination = sys.argv[1], sys.argv[2]
    message = bytes(int(b, 16) for b in sys.argv[3:])

    jack = ctypes.CDLL("libjack.so.0")
    jack.jack_client_open.restype = ctypes.c_void_p
    jack.jack_client_open.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
    jack.jack_port_register.restype = ctypes.c_void_p
    jack.jack_port_register.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_ulong, ctypes.c_ulong]
    jack.jack_port_get_buffer.restype = ctypes.c_void_p
    jack.jack_port_get_buffer.argtypes = [ctypes.c_void_p, ctypes.c_uint32]
    jack.jack_midi_clear_buffer.argtypes = [ctypes.c_void_p]
    jack.jack_midi_event_write.argtypes = [ctypes.c_void_p, ctypes.c_uint32, ctypes.c_char_p, ctypes.c_size_t]
    jack.jack_set_process_callback.argtypes = [ctypes.c_void_p, PROCESS_CALLBACK, ctypes.c_void_p]
    jack.jack_port_name.restype = ctypes.c_char_p
    jack.jack_port_name.argtypes = [ctypes.c_void_p]
    jack.jack_connect.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]
    for function in ("jack_activate", "jack_deactivate", "jack_client_close"):
        getattr(jack, function).argtypes = [ctypes.c_void_p]

    status = ctypes.c_int(0)
    client = jack.jack_client_open(name.encode(), JACK_NO_START_SERVER, ctypes.byref(status))
    if not client:
        print("send-midi: no JACK server to talk to (status %d)" % status.value)
        return 1

    port = jack.jack_port_register(client, b"out", b"8 bit raw midi", JACK_PORT_IS_OUTPUT, 0)
    state = {"sent": False, "cycles": 0, "connected": False}
    done = threading.Event()

    def process(frames, _):
        buffer = jack.jack_port_get_buffer(port, frames)
        jack.jack_midi_clear_buffer(buffer)
        if state["connected"] and not state["sent"]:
            state["sent"] = jack.jack_midi_event_write(buffer, 0, message, len(message)) == 0
        elif state["sent"]:
            state["cycles"] += 1
            if state["cycles"] >= CYCLES_AFTER_SENDING:
                done.set()
        return 0

    callback = PROCESS_CALLBACK(process)
    jack.jack_set_process_callback(client, callback, None)
    ok = port and jack.jack_activate(client) == 0
    if ok:
        ok = jack.jack_connect(client, jack.jack_port_name(port), destination.encode()) == 0
        state["connected"] = ok
        ok = ok and done.wait(30)
        jack.jack_deactivate(client)
    jack.jack_client_close(client)

    if not ok:
        print("send-midi: the message did not go out to %s" % destination)
        return 1
    print("send-midi: sent %s to %s" % (message.hex(" "), destination))
    return 0


if __name__ == "__main__":
    sys.exit(main())
