#!/usr/bin/env python3
"""Checks a fresh instance run in a real LV2 host with the host's transport rolling.

The host (jalv) tells the plug-in only the frame and that the transport rolls,
no tempo and no musical position, so the sequencer plays factory pattern 1 at
120 BPM from where it started. It passes when:
  - the plug-in's MIDI output (jack_midi_dump's log) holds, for the given time
    after the first note, a note-on for every step of pattern 1 that has a
    gate, in order, with the step's note, each on its step's frame;
  - the last value the plug-in reported to the host (jalv's dump of the
    plug-in's patch:Set messages) for each named parameter is the one the
    instance has: factory preset 1's.

Standard library only, so that the CI machine needs nothing more.
Exits with 0 when every check passes, 1 otherwise.
"""

import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree

TEMPO_WITHOUT_HOST_TEMPO = 120.0
STEPS_PER_BEAT = 4
FRAME_TOLERANCE = 2
VALUE_TOLERANCE = 1.0e-6

# Host slots (counting from 1, as the LV2 parameter ids do) of the parameters checked.
SLOT_OF_PARAMETER = {"Tune": 1, "Cutoff": 3, "Volume": 24}

ANSI_ESCAPE = re.compile(r"\x1b\[[0-9;]*m")
NOTE_ON = re.compile(r"^\s*(\d+):\s+9[0-9a-f] ([0-9a-f]{2}) ([0-9a-f]{2})\b")
PATCH_SET = re.compile(r"a patch:Set ;\s*patch:property <[^>]*:slot(\d+)> ;\s*patch:value \"([^\"]+)\"")


def octave_offset(step):
    up = step.get("octaveUp") == "1"
    down = step.get("octaveDown") == "1"
    return 60 if up and down else 48 if up else 24 if down else 36


def read_first_pattern(path):
    """Returns (shuffle, [MIDI note or None for each step])."""
    pattern = ElementTree.parse(path).getroot()[0]
    length = int(pattern.get("length", "16"))
    steps = pattern.findall("Step")[:length]
    notes = [int(step.get("note")) + octave_offset(step) if step.get("gate") == "1" else None
             for step in steps]
    return int(pattern.get("shuffle", "0")), notes


def read_first_preset(path):
    """The normalised values of the factory bank's first preset, by name."""
    preset = ElementTree.parse(path).getroot().find("PresetGroup/Preset")
    return {param.get("name"): float(param.get("value")) for param in preset.findall("param")}


def read_note_ons(path):
    """[(frame, note)] of every note-on with a velocity above 0."""
    ons = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            match = NOTE_ON.match(line)
            if match and int(match.group(3), 16) > 0:
                ons.append((int(match.group(1)), int(match.group(2), 16)))
    return ons


def read_reported_values(path):
    """The last value the plug-in reported for each slot, by slot number."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = ANSI_ESCAPE.sub("", f.read())
    values = {}
    for slot, value in PATCH_SET.findall(text):
        values[int(slot)] = float(value)
    return values


def check_steps(note_ons, notes, rate, seconds):
    failures = []
    frames_per_step = rate * 60.0 / TEMPO_WITHOUT_HOST_TEMPO / STEPS_PER_BEAT
    if notes[0] is None:
        return ["pattern 1's first step has no gate: the run has no anchor"]
    if not note_ons:
        return ["the plug-in sent no note"]

    start = note_ons[0][0]
    expected = []
    step = 0
    while step * frames_per_step < seconds * rate:
        note = notes[step % len(notes)]
        if note is not None:
            expected.append((start + step * frames_per_step, note, step))
        step += 1

    heard = [on for on in note_ons if on[0] < start + seconds * rate]
    print("%d note-ons in %.1f s after the first, %d steps with a gate expected"
          % (len(heard), seconds, len(expected)))
    for i, (frame, note, step) in enumerate(expected):
        if i >= len(heard):
            failures.append("step %d (note %d at frame %+d) never came" % (step, note, round(frame - start)))
            continue
        heard_frame, heard_note = heard[i]
        if heard_note != note or abs(heard_frame - frame) > FRAME_TOLERANCE:
            failures.append("step %d: note %d at frame %+d, expected note %d at frame %+d"
                            % (step, heard_note, heard_frame - start, note, round(frame - start)))
    if len(heard) > len(expected):
        failures.append("%d note-ons more than the pattern has steps" % (len(heard) - len(expected)))
    return failures


def check_values(reported, preset):
    failures = []
    for name, slot in SLOT_OF_PARAMETER.items():
        if slot not in reported:
            failures.append("the host was never told %s (slot %d)" % (name, slot))
        elif abs(reported[slot] - preset[name]) > VALUE_TOLERANCE:
            failures.append("the host was told %s = %g, the instance has %g" % (name, reported[slot], preset[name]))
        else:
            print("the host was told %s = %g, the instance's own" % (name, reported[slot]))
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--midi", required=True, help="jack_midi_dump's log of the plug-in's MIDI output")
    parser.add_argument("--host-log", required=True, help="jalv's log with its dump of the plug-in's messages")
    parser.add_argument("--patterns", required=True, help="the factory pattern bank")
    parser.add_argument("--presets", required=True, help="the factory preset bank")
    parser.add_argument("--sample-rate", type=int, required=True)
    parser.add_argument("--seconds", type=float, required=True, help="how long after the first note to check")
    args = parser.parse_args()

    shuffle, notes = read_first_pattern(args.patterns)
    if shuffle != 0:
        print("FAILED: pattern 1 has a shuffle of %d; this check knows only straight steps" % shuffle)
        return 1

    failures = check_steps(read_note_ons(args.midi), notes, args.sample_rate, args.seconds)
    failures += check_values(read_reported_values(args.host_log), read_first_preset(args.presets))

    for failure in failures:
        print("FAILED: " + failure)
    print("transport run checks: %s" % ("passed" if not failures else "failed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
