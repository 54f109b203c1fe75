#!/usr/bin/env python3
"""Writes crafted inputs for the readers of states, settings, presets, banks,
patterns and maps: files built to cost a reader as much time or memory as
their size allows (comments after the root element, thousands of tag
separators, a bank of empty groups, long runs of repeated elements) and
settings that name a device as a file.

    python3 tests/fuzz/make-hostile-files.py OUTDIR

writes OUTDIR/<fuzz target>/<input>, the target named as in
tests/fuzz/targets/FuzzTargets.cpp. The files are the same on every run. The
build runs every tests/fuzz/make-hostile-*.py this way; the corpus test
replays what they write and bench/HostileInputBench times each input through
its target.
"""

import os
import struct
import sys

KIB = 1024
MIB = 1024 * KIB

APP = 'application="Tarvelin"'


def repeated_to(prefix, unit, suffix, size):
    """prefix, then unit as often as fits, then suffix: about size bytes."""
    count = max(1, (size - len(prefix) - len(suffix)) // len(unit))
    return prefix + unit * count + suffix


def numbered_to(prefix, make_unit, suffix, size):
    """prefix, then make_unit(0), make_unit(1) ... as long as they fit, then suffix."""
    units, length, i = [], len(prefix) + len(suffix), 0

    while length + len(make_unit(i)) <= size:
        units.append(make_unit(i))
        length += len(units[-1])
        i += 1

    return prefix + "".join(units) + suffix


def state_block(text):
    """A host's state block as juce::AudioProcessor::copyXmlToBinary writes it."""
    data = text.encode("utf-8") + b"\0"
    return struct.pack("<II", 0x21324356, len(data) - 1) + data


def with_trailing_comments(document, size):
    return repeated_to(document, "<!-- c -->\n", "", size)


# Not an empty-element tag: after one the parse had nothing more to check.
SMALL_STATE = '<PluginState %s><ParametersState/></PluginState>' % APP
ONE_PRESET = '<Preset %s name="Kept"><param name="Cutoff" value="0.25"/></Preset>' % APP
SMALL_BANK = ('<PresetBank name="Small"><PresetGroup name="One">%s</PresetGroup></PresetBank>' % ONE_PRESET)


def empty_groups_bank(groups):
    return '<PresetBank name="Empty groups">' + "<PresetGroup/>" * groups + "</PresetBank>"


def settings(children):
    return '<UserSettings %s>%s</UserSettings>' % (APP, children)


def tagged_preset(tags):
    return '<Preset name="DefaultProcessingQuality" tags="%s"/>' % tags


def inputs():
    # Comments after the root: the guarded parse looked back over the whole
    # text once for each of them.
    yield "presetbank", "trailing-comments-1MiB.tqprsb", with_trailing_comments(SMALL_BANK, MIB)
    yield "state", "trailing-comments-4MiB.state", state_block(with_trailing_comments(SMALL_STATE, 4 * MIB))
    yield "programstate", "trailing-comments-1MiB.program", state_block(with_trailing_comments(SMALL_STATE, MIB))
    yield "presetslot", "trailing-comments-256KiB.tqprs", with_trailing_comments(ONE_PRESET, 256 * KIB)
    yield "settings", "trailing-comments-256KiB.ini", with_trailing_comments(settings(""), 256 * KIB)
    yield "ccmap", "trailing-comments-256KiB.tqccmap", with_trailing_comments(
        '<MidiControlMap name="Tarvelin"><assign CC="74" param="Cutoff"/></MidiControlMap>', 256 * KIB)
    yield "hostmap", "trailing-comments-256KiB.tqhpmap", with_trailing_comments(
        '<HostParametersMap name="Tarvelin"><assign hostParam="1" pluginParam="Cutoff"/></HostParametersMap>', 256 * KIB)
    yield "patternbank", "trailing-comments-1MiB.tqptrb", with_trailing_comments(
        '<PatternBank><Pattern %s name="Kept" length="4"/></PatternBank>' % APP, MIB)

    # Tag separators: the split copied the rest of the text at every one.
    yield "presetrecord", "tag-separators-64KB.tqpreset", repeated_to('<Preset name="Tags" tags="', ";", '"/>', 64000)
    yield "presetrecord", "value-separators-64KB.tqpreset", repeated_to('<Preset name="Tags" tags="k:', "|", '"/>', 64000)
    yield "settings", "tag-separators-in-default-processing-preset-64KB.ini", settings(
        repeated_to('<Preset name="DefaultProcessingQuality" tags="', ";", '"/>', 64000))
    # The same for the names of an enumerated parameter.
    yield "parameters", "enum-name-separators-256KiB.xml", repeated_to(
        '<PluginParameters %s><param index="0" name="Shape" type="enum" enum="' % APP, ";",
        '" value="0"/></PluginParameters>', 256 * KIB)

    # Parameters by the thousand, each new one checked against those before it.
    yield "parameters", "many-parameters-256KiB.xml", numbered_to(
        '<PluginParameters %s>' % APP, lambda i: '<param index="%d" name="P%d"/>' % (i, i), "</PluginParameters>", 256 * KIB)

    # A value repeated as often as the file allows: each was appended by
    # walking the whole list when the record was written back.
    yield "presetrecord", "repeated-values-256KiB.tqpreset", repeated_to(
        '<Preset name="Repeats" %s>' % APP, '<param name="Cutoff" value="0.5"/>', "</Preset>", 256 * KIB)

    # 75,000 empty groups load at once; the bank written back (every save of
    # the host's state) appended each group by walking the list.
    yield "presetbank", "empty-groups-75000.tqprsb", empty_groups_bank(75000)
    yield "state", "empty-groups-75000.state", state_block(
        '<PluginState %s><PresetsState currentPreset="0">%s</PresetsState></PluginState>' % (APP, empty_groups_bank(75000)))

    # Long runs of elements that each do work when read: every one must cost
    # the same small amount, whatever came before it.
    yield "state", "repeated-banks-1MiB.state", state_block(repeated_to(
        '<PluginState %s><PresetsState currentPreset="0">' % APP, SMALL_BANK, "</PresetsState></PluginState>", MIB))
    yield "state", "repeated-sequencer-switches-1MiB.state", state_block(repeated_to(
        '<PluginState %s><InternalSequencer>' % APP,
        '<IntSeq state="on"/><HostMode state="on"/><IntSeq state="off"/><HostMode state="off"/><SelfReset state="on"/>',
        "</InternalSequencer></PluginState>", MIB))
    yield "state", "repeated-edition-state-1MiB.state", state_block(repeated_to(
        '<PluginState %s><InternalSequencer><EditionState>' % APP,
        '<EditedPattern value="5"/><EditedStep value="3"/><ChainPatterns first="0" last="7" bank="1"/>',
        "</EditionState></InternalSequencer></PluginState>", MIB))
    yield "state", "repeated-pattern-banks-1MiB.state", state_block(repeated_to(
        '<PluginState %s><InternalSequencer><PatternsState>' % APP,
        '<PatternBank><Pattern %s name="P" length="4"><Step note="3" gate="1"/></Pattern></PatternBank>' % APP,
        "</PatternsState></InternalSequencer></PluginState>", MIB))
    yield "state", "repeated-cc-maps-1MiB.state", state_block(repeated_to(
        '<PluginState %s>' % APP, '<MidiControlMap name="Tarvelin"><assign CC="74" param="Cutoff"/></MidiControlMap>',
        "</PluginState>", MIB))
    yield "state", "repeated-parameter-values-1MiB.state", state_block(repeated_to(
        '<PluginState %s><ParametersState>' % APP, '<param name="Cutoff" value="0.5"/><param name="Tune" value="0.25"/>',
        "</ParametersState></PluginState>", MIB))
    yield "ccmap", "repeated-assignments-256KiB.tqccmap", numbered_to(
        '<MidiControlMap name="Tarvelin">', lambda i: '<assign CC="%d" param="%s"/>' % (i % 128, ("Cutoff", "Tune")[i % 2]),
        "</MidiControlMap>", 256 * KIB)
    yield "hostmap", "repeated-assignments-256KiB.tqhpmap", numbered_to(
        '<HostParametersMap name="Tarvelin">',
        lambda i: '<assign hostParam="%d" pluginParam="%s"/>' % (i % 40, ("Cutoff", "Tune")[i % 2]),
        "</HostParametersMap>", 256 * KIB)
    yield "settings", "repeated-default-processing-presets-256KiB.ini", settings(repeated_to(
        "", '<Preset name="DefaultProcessingQuality"><param name="Cutoff" value="1"/></Preset>', "", 256 * KIB))

    # Settings naming a device as the start-up bank, patterns and maps: each
    # must be refused unread, not read until memory runs out.
    yield "settings", "user-files-on-dev-zero.ini", settings(
        '<ResourcesSettings><Presets default="userDefinedPresets" file="/dev/zero"/>'
        '<Patterns default="userDefinedPatterns" file="/dev/zero"/>'
        '<MidiCCMap default="userDefinedMidiCCMap" file="/dev/zero"/></ResourcesSettings>'
        '<MidiControlMap default="yes" file="/dev/zero"/><HostParametersMap default="yes" file="/dev/zero"/>')


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-hostile-files.py OUTDIR")

    for target, name, content in inputs():
        folder = os.path.join(sys.argv[1], target)
        os.makedirs(folder, exist_ok=True)

        with open(os.path.join(folder, name), "wb") as out:
            out.write(content if isinstance(content, bytes) else content.encode("utf-8"))


if __name__ == "__main__":
    main()
