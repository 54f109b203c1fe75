#!/usr/bin/env python3
"""Checks a recording of the plug-in playing a looped pair of notes in a real host.

The recording starts before any note reaches the plug-in. It passes when:
  - everything before the first note is exactly zero on every channel;
  - each note starts one note spacing after the one before;
  - each note sounds at its equal-tempered pitch (A4 = 440 Hz), the notes
    alternating, and both heard;
  - each note has died away to exact zero before the next one starts.

Standard library only, so that the CI machine needs nothing more.
Exits with 0 when every check passes, 1 otherwise.
"""

import argparse
import math
import struct
import sys

# A note's pitch is measured once the filter envelope has settled: while the
# cutoff still sweeps, the filter's phase drifts and bends the measured period.
MEASURE_FROM_SECONDS = 0.9
MEASURE_TO_SECONDS = 1.4
PITCH_TOLERANCE = 0.0015       # relative; "vintage" tuning is 0.46 % off at A2
LOWEST_HERTZ = 40.0
HIGHEST_HERTZ = 2000.0
ONSET_LEVEL = 0.01             # of the loudest sample
SILENCE_BEFORE_ONSET_SECONDS = 0.25
ONSET_TIMING_TOLERANCE_SECONDS = 0.01
SILENT_BEFORE_NEXT_NOTE_SECONDS = 0.2
MINIMUM_LEAD_IN_SECONDS = 0.25


def read_wav(path):
    """Returns (sample rate, [channel samples as floats in -1..1], None),
    or (None, None, what is wrong)."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        return None, None, str(error)

    if len(data) < 12 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        return None, None, "not a RIFF WAVE file"

    fmt = None
    samples = None
    pos = 12
    while pos + 8 <= len(data):
        chunk_id = data[pos:pos + 4]
        size = struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if chunk_id == b"fmt ":
            fmt = body
        elif chunk_id == b"data":
            samples = body
        pos += 8 + size + (size & 1)

    if fmt is None or samples is None or len(fmt) < 16:
        return None, None, "WAVE file without format or data"

    tag, channels, rate, _, block_align, bits = struct.unpack_from("<HHIIHH", fmt, 0)
    if tag == 0xFFFE and len(fmt) >= 26:
        tag = struct.unpack_from("<H", fmt, 24)[0]  # the sub-format GUID starts with it

    if channels < 1 or bits < 8 or bits % 8 != 0 or block_align != channels * (bits // 8):
        return None, None, "unexpected WAVE layout"

    frames = len(samples) // block_align
    count = frames * channels

    if tag == 3 and bits == 32:
        values = struct.unpack_from("<%df" % count, samples)
    elif tag == 1 and bits == 16:
        values = [v / 32768.0 for v in struct.unpack_from("<%dh" % count, samples)]
    elif tag == 1 and bits == 32:
        values = [v / 2147483648.0 for v in struct.unpack_from("<%di" % count, samples)]
    elif tag == 1 and bits == 24:
        values = []
        for i in range(count):
            b = samples[3 * i:3 * i + 3]
            values.append(int.from_bytes(b, "little", signed=True) / 8388608.0)
    else:
        return None, None, "unsupported WAVE sample format %d with %d bits" % (tag, bits)

    return rate, [list(values[c::channels]) for c in range(channels)], None


def find_onsets(signal, rate, threshold):
    """Sample indices where the level rises above threshold after a quiet stretch."""
    quiet_needed = int(SILENCE_BEFORE_ONSET_SECONDS * rate)
    onsets = []
    quiet = quiet_needed
    for i, x in enumerate(signal):
        if abs(x) > threshold:
            if quiet >= quiet_needed:
                onsets.append(i)
            quiet = 0
        else:
            quiet += 1
    return onsets


def difference(x, lag, width):
    return sum((x[j] - x[j + lag]) ** 2 for j in range(width))


def coarse_period(x, min_lag, max_lag, width):
    """The period in samples by the cumulative mean normalised difference
    (first dip below 0.1, else the deepest one)."""
    d = [0.0] + [difference(x, lag, width) for lag in range(1, max_lag + 2)]
    normalised = [1.0] * len(d)
    running = 0.0
    for lag in range(1, len(d)):
        running += d[lag]
        normalised[lag] = d[lag] * lag / running if running > 0.0 else 1.0

    best = None
    for lag in range(max(min_lag, 1), max_lag + 1):
        if normalised[lag] < 0.1:
            while lag + 1 <= max_lag and normalised[lag + 1] < normalised[lag]:
                lag += 1
            best = lag
            break
    if best is None:
        best = min(range(max(min_lag, 1), max_lag + 1), key=lambda lag: normalised[lag])
    return best


def measure_pitch(signal, rate, start, end):
    """The fundamental's frequency over signal[start:end], in Hz, or None when
    the stretch is too short for the lowest frequency."""
    # Coarse: a quarter of the rate (averaging four samples keeps the fundamental).
    step = 4
    reduced = [sum(signal[i:i + step]) / step for i in range(start, end - step, step)]
    reduced_rate = rate / step
    min_lag = int(reduced_rate / HIGHEST_HERTZ)
    max_lag = int(reduced_rate / LOWEST_HERTZ) + 1
    width = min(len(reduced) - max_lag - 2, 2048)
    if width < max_lag:
        return None
    lag = coarse_period(reduced, min_lag, max_lag, width) * step

    # Fine: the full-rate difference around that lag over the whole stretch,
    # with a parabola through the three samples around its minimum.
    width = end - start - lag - 2 * step - 2
    x = signal[start:end]
    candidates = range(max(2, lag - 2 * step), lag + 2 * step + 1)
    values = {c: difference(x, c, width) for c in range(candidates[0] - 1, candidates[-1] + 2)}
    best = min(candidates, key=lambda c: values[c])
    a, b, c = values[best - 1], values[best], values[best + 1]
    curvature = a - 2.0 * b + c
    offset = 0.5 * (a - c) / curvature if curvature > 0.0 else 0.0
    return rate / (best + offset)


def note_hertz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def analyse(path, notes, note_spacing):
    rate, channels, error = read_wav(path)
    if error is not None:
        return ["cannot read %s: %s" % (path, error)]
    signal = channels[0]
    failures = []
    if len(signal) < rate:
        return ["the recording is shorter than a second"]

    peak = max(abs(x) for x in signal)
    if peak == 0.0:
        return ["the recording is silent: no note was played"]

    onsets = find_onsets(signal, rate, ONSET_LEVEL * peak)
    if not onsets:
        return ["no note onset found"]

    # Silence without notes: exactly zero up to the first note.
    first_sound = min(next((i for i, x in enumerate(ch) if x != 0.0), len(ch)) for ch in channels)
    print("first non-zero sample at %.3f s, first note onset at %.3f s"
          % (first_sound / rate, onsets[0] / rate))
    if first_sound < MINIMUM_LEAD_IN_SECONDS * rate:
        failures.append("too little recording before the first note (%.3f s) to show silence"
                        % (first_sound / rate))
    if onsets[0] - first_sound > 0.005 * rate:
        failures.append("output before the first note: non-zero from %.3f s, note at %.3f s"
                        % (first_sound / rate, onsets[0] / rate))

    # Each note starts a note spacing after the one before.
    for earlier, later in zip(onsets, onsets[1:]):
        if abs((later - earlier) - note_spacing) > ONSET_TIMING_TOLERANCE_SECONDS * rate:
            failures.append("notes at %.3f s and %.3f s are %d samples apart, not %d"
                            % (earlier / rate, later / rate, later - earlier, note_spacing))

    # After its note off, each note dies away to rest before the next one.
    silent = int(SILENT_BEFORE_NEXT_NOTE_SECONDS * rate)
    for earlier, later in zip(onsets, onsets[1:]):
        start = max(earlier, later - silent)
        if any(x != 0.0 for ch in channels for x in ch[start:later - int(0.002 * rate)]):
            failures.append("the note at %.3f s still sounds in the %.1f s before the next one"
                            % (earlier / rate, SILENT_BEFORE_NEXT_NOTE_SECONDS))

    # Each note complete enough to measure sounds at one of the notes' pitches.
    heard = []
    for onset in onsets:
        start = onset + int(MEASURE_FROM_SECONDS * rate)
        end = onset + int(MEASURE_TO_SECONDS * rate)
        if end > len(signal):
            break
        hertz = measure_pitch(signal, rate, start, end)
        if hertz is None:
            failures.append("the note at %.3f s is too short to measure" % (onset / rate))
            continue
        nearest = min(notes, key=lambda n: abs(math.log(hertz / note_hertz(n))))
        error = hertz / note_hertz(nearest) - 1.0
        print("note at %.3f s: %.3f Hz, note %d is %.3f Hz (%+.3f %%)"
              % (onset / rate, hertz, nearest, note_hertz(nearest), 100.0 * error))
        if abs(error) > PITCH_TOLERANCE:
            failures.append("the note at %.3f s sounds at %.3f Hz, which is no note played"
                            % (onset / rate, hertz))
        heard.append(nearest)

    if len(heard) < len(notes):
        failures.append("only %d complete notes recorded, %d needed" % (len(heard), len(notes)))
    if sorted(set(heard)) != sorted(set(notes)):
        failures.append("notes heard %s, notes played %s" % (heard, notes))
    if any(a == b for a, b in zip(heard, heard[1:])):
        failures.append("the notes do not alternate: %s" % heard)

    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("recording")
    parser.add_argument("--notes", type=int, nargs="+", required=True,
                        help="the MIDI notes played, in turn")
    parser.add_argument("--note-spacing", type=int, required=True,
                        help="samples from one note's start to the next")
    args = parser.parse_args()

    failures = analyse(args.recording, args.notes, args.note_spacing)

    for failure in failures:
        print("FAILED: " + failure)
    print("recording checks: %s" % ("passed" if not failures else "failed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
