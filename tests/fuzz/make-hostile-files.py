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

# The guarded parse's bounds (framework/XmlFiles.h): attributes in one
# element, distinct names and nodes in one document, and the references of one or four
# bytes one value may hold (XmlFiles::maxAttributeValueCost).
MAX_ATTRIBUTES = 256
MAX_NAMES = 1024
MAX_ONE_BYTE_REFERENCES = 65535
MAX_FOUR_BYTE_REFERENCES = 20724
MAX_NODES = 65536

# The size limits of the readers (maxPresetFileBytes and maxBankFileBytes in
# framework/PresetManager.h, Preset::maxFileBytes, MidiControl::maxMapFileBytes,
# BasePlugin's maxStateBytes, maxSettingsFileBytes and maxHostMapFileBytes,
# IntSeqPlugin's maxPatternFileBytes and maxPatternBankFileBytes,
# Tarvelin::maxPatternTextFileBytes): the inputs below of "at-limit" in their
# name are exactly that long.
LIMITS = {
    "presetslot": 64 * KIB,
    "presetbank": 2 * MIB,
    "presetrecord": 256 * KIB,
    "patternfile": 64 * KIB,
    "patternbank": 2 * MIB,
    "patterntext": MIB,
    "ccmap": 64 * KIB,
    "hostmap": 64 * KIB,
    "settings": 256 * KIB,
    "state": 2 * MIB,
    "programstate": 2 * MIB,
}

# The root each file target reads, open and close.
ROOTS = {
    "presetslot": ('<Preset %s name="Tiny">' % APP, "</Preset>"),
    "presetbank": ('<PresetBank name="Tiny">', "</PresetBank>"),
    "presetrecord": ('<Preset name="Tiny">', "</Preset>"),
    "patternfile": ('<Pattern %s name="Tiny">' % APP, "</Pattern>"),
    "patternbank": ("<PatternBank>", "</PatternBank>"),
    "ccmap": ('<MidiControlMap name="Tarvelin">', "</MidiControlMap>"),
    "hostmap": ('<HostParametersMap name="Tarvelin">', "</HostParametersMap>"),
    "settings": ("<UserSettings %s>" % APP, "</UserSettings>"),
    "state": ("<PluginState %s>" % APP, "</PluginState>"),
    "programstate": ("<PluginState %s>" % APP, "</PluginState>"),
}

EXTENSIONS = {
    "presetslot": "tqprs", "presetbank": "tqprsb", "presetrecord": "tqpreset", "patternfile": "tqptr",
    "patternbank": "tqptrb", "ccmap": "tqccmap", "hostmap": "tqhpmap", "settings": "ini",
    "state": "state", "programstate": "program",
}


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


def exactly(prefix, unit, suffix, size):
    """prefix, unit as often as fits, blanks, then suffix: exactly size bytes."""
    count = (size - len(prefix) - len(suffix)) // len(unit)
    return prefix + unit * count + " " * (size - len(prefix) - len(suffix) - count * len(unit)) + suffix


def at_limit(target, unit, inside=("", "")):
    """A document of the target's kind holding unit as often as its size limit
    allows, inside the given element: a state's text, a file's bytes."""
    opening, closing = ROOTS[target]
    text = exactly(opening + inside[0], unit, inside[1] + closing, LIMITS[target])
    return state_block(text) if target in ("state", "programstate") else text


def descending_names(count, length):
    """count distinct names of length lower-case letters, from the last in
    alphabetical order down: each new one goes before every name the
    toolkit's string pool holds, which moves the whole pool."""
    def name(i):
        letters = []

        for _ in range(length):
            i, letter = divmod(i, 26)
            letters.append(chr(ord("a") + letter))

        return "".join(reversed(letters))

    return [name(count - 1 - i) for i in range(count)]


def names_filling(room, per_element=0):
    """At most room characters of distinct names in descending order: empty
    elements named by them (per_element 0), or attribute names, per_element
    of them to an element "a"."""
    for length in range(1, 8):
        if per_element == 0:
            count = room // (length + 3)
        else:
            element = 4 + per_element * (length + 4)
            count = room // element * per_element + max(0, room % element - 4) // (length + 4)

        if 26 ** length >= count:
            break

    names = descending_names(count, length)

    if per_element == 0:
        return "".join("<%s/>" % n for n in names)

    return "".join("<a" + "".join(' %s=""' % n for n in names[i:i + per_element]) + "/>"
                   for i in range(0, count, per_element))


def names_at_limit(target, per_element=0):
    """A document of the target's kind of distinct names (names_filling), exactly at its size limit."""
    opening, closing = ROOTS[target]
    room = LIMITS[target] - len(opening) - len(closing)
    body = names_filling(room, per_element)
    text = opening + body + " " * (room - len(body)) + closing
    return state_block(text) if target in ("state", "programstate") else text


def four_byte_references(count):
    """A value of count references to the last character but one (U+10FFFD),
    four bytes each once read: the way the plug-in writes such a character."""
    return "&#1114109;" * count


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


def limit_name(target, what):
    return "%s-at-limit-%s.%s" % (what, size_name(LIMITS[target]), EXTENSIONS[target])


def size_name(size):
    return "%dMiB" % (size // MIB) if size % MIB == 0 else "%dKiB" % (size // KIB)


def inputs():
    # Comments after the root: the guarded parse looked back over the whole
    # text once for each of them.
    yield "presetbank", "trailing-comments-1MiB.tqprsb", with_trailing_comments(SMALL_BANK, MIB)
    yield "state", "trailing-comments-2MiB.state", state_block(with_trailing_comments(SMALL_STATE, 2 * MIB))
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

    # The toolkit's tree takes about 100 bytes for an element however small:
    # every reader has a size limit of its own, and the smallest elements (a
    # character of text and an empty element, each one a node) fill it.
    for target in LIMITS:
        if target == "patterntext":
            yield target, "tiny-numbers-at-limit-1MiB.tq", exactly("", "0 ", "", LIMITS[target])
        else:
            yield target, limit_name(target, "tiny-elements"), at_limit(target, "x<a/>")

    # The most such nodes a document may hold below its root, and one more,
    # where the size limit leaves room for them.
    for target in ROOTS:
        opening, closing = ROOTS[target]

        if len(opening + closing) + 5 * (MAX_NODES // 2) >= LIMITS[target]:
            continue

        for extra, what in (("", "at"), ("x", "past")):
            text = opening + "x<a/>" * (MAX_NODES // 2) + extra + closing
            yield target, "tiny-elements-%s-node-bound.%s" % (what, EXTENSIONS[target]), (
                state_block(text) if target in ("state", "programstate") else text)

    # The parser appends each reference in an attribute's value to the value
    # read so far, measuring it every time: a value is read up to a cost of
    # about 40 ms (65,535 references of one byte), one beyond is refused unread.
    for target in ("presetbank", "state"):
        yield target, limit_name(target, "references-in-one-value"), at_limit(target, "&amp;", ('<a b="', '"/>'))

    yield "presetbank", "references-in-one-value-%d.tqprsb" % MAX_ONE_BYTE_REFERENCES, (
        '<PresetBank name="References"><a b="' + "&amp;" * MAX_ONE_BYTE_REFERENCES
        + '"/><PresetGroup>%s</PresetGroup></PresetBank>' % ONE_PRESET)

    # More elements that each do work when read, repeated as often as the
    # state allows: each kind must be applied once, however often it comes.
    yield "state", "repeated-sequencer-elements-1MiB.state", state_block(repeated_to(
        '<PluginState %s>' % APP, '<InternalSequencer><IntSeq state="off"/><PattWriteMode state="on"/></InternalSequencer>'
        '<InternalSequencer><IntSeq state="on"/><PattWriteMode state="off"/></InternalSequencer>', "</PluginState>", MIB))
    yield "state", "repeated-edition-states-1MiB.state", state_block(repeated_to(
        '<PluginState %s><InternalSequencer>' % APP,
        '<EditionState><EditedPattern value="5"/></EditionState><EditionState><ChainPatterns first="2" last="6" bank="2"/></EditionState>',
        "</InternalSequencer></PluginState>", MIB))
    yield "state", "repeated-synthesis-settings-1MiB.state", state_block(repeated_to(
        '<PluginState %s>' % APP, '<InternalSettings><AccentVelocityLevel value="low"/><OscillatorTuning value="vintage"/>'
        '</InternalSettings><InternalSettings><AccentVelocityLevel value="high"/><OscillatorTuning value="battery low"/>'
        '</InternalSettings>', "</PluginState>", MIB))
    yield "state", "repeated-presets-states-1MiB.state", state_block(repeated_to(
        '<PluginState %s>' % APP, '<PresetsState currentPreset="3">%s</PresetsState><PresetsState currentPreset="7"/>' % SMALL_BANK,
        "</PluginState>", MIB))
    yield "state", "changing-parameter-values-1MiB.state", state_block(repeated_to(
        '<PluginState %s><ParametersState>' % APP,
        '<param name="Cutoff" value="0.5"/><param name="Cutoff" value="0.25"/><param name="Tune" value="0.1"/>'
        '<param name="Tune" value="0.9"/><param name="Current Preset Name" value="0.5"/>',
        "</ParametersState></PluginState>", MIB))
    yield "state", "repeated-parameters-states-1MiB.state", state_block(repeated_to(
        '<PluginState %s>' % APP, '<ParametersState><param name="Cutoff" value="0.5"/></ParametersState>'
        '<ParametersState><param name="Cutoff" value="0.25"/></ParametersState>', "</PluginState>", MIB))
    yield "programstate", "repeated-sequencer-switches-1MiB.program", state_block(repeated_to(
        '<PluginState %s><InternalSequencer>' % APP,
        '<IntSeq state="on"/><HostMode state="on"/><IntSeq state="off"/><HostMode state="off"/><SelfReset state="on"/>',
        "</InternalSequencer></PluginState>", MIB))

    # The same in the settings read at every start.
    yield "settings", "repeated-sequencer-defaults-256KiB.ini", settings(repeated_to(
        "<InternalSequencer>", '<IntSeq state="on"/><IntSeq state="off"/><HostPlayDetection type="byLowestCNoteOn"/>'
        '<SelfReset state="off"/>', "</InternalSequencer>", 256 * KIB))
    yield "settings", "repeated-resources-settings-256KiB.ini", settings(repeated_to(
        "", '<ResourcesSettings><Presets default="clearPresets"/><Patterns default="clearPatterns"/>'
        '<MidiCCMap default="noMapping"/></ResourcesSettings>', "", 256 * KIB))
    yield "settings", "repeated-preset-settings-256KiB.ini", settings(repeated_to(
        "", '<PresetSettings storing="automatic"/><PresetSettings storing="onDemand"/>', "", 256 * KIB))
    yield "settings", "repeated-recent-folders-256KiB.ini", settings(repeated_to(
        "<PluginDirectories>", '<RecentlyUsed dir="/tmp"/><RecentlyUsed dir="/nowhere"/>', "</PluginDirectories>", 256 * KIB))
    yield "settings", "repeated-synthesis-settings-256KiB.ini", settings(repeated_to(
        "", '<InternalSettings><AccentVelocityLevel value="low"/><OscillatorTuning value="vintage"/></InternalSettings>',
        "", 256 * KIB))

    # What the plug-in writes after reading these must read back: it keeps
    # 256 groups, and names of 256 characters (a quote is written "&quot;").
    many_groups_and_a_preset = ('<PresetBank name="Groups">' + "<PresetGroup/>" * 74000
                                + '<PresetGroup>%s</PresetGroup></PresetBank>' % ONE_PRESET)
    yield "presetbank", "empty-groups-74000-and-a-preset.tqprsb", many_groups_and_a_preset
    yield "state", "empty-groups-74000-and-a-preset.state", state_block(
        '<PluginState %s><PresetsState currentPreset="0">%s</PresetsState></PluginState>' % (APP, many_groups_and_a_preset))
    yield "state", "bank-name-of-300000-quotes.state", state_block(
        "<PluginState %s><PresetsState currentPreset=\"0\"><PresetBank name='%s'><PresetGroup>%s</PresetGroup>"
        "</PresetBank></PresetsState></PluginState>" % (APP, '"' * 300000, ONE_PRESET))

    # Banks hold at most 128 presets and 96 patterns of 16 steps: what comes
    # after is skipped, not read.
    yield "presetbank", "presets-beyond-the-slots-1MiB.tqprsb", repeated_to(
        '<PresetBank name="Many"><PresetGroup name="All">', ONE_PRESET, "</PresetGroup></PresetBank>", MIB)
    yield "patternbank", "patterns-beyond-the-bank-1MiB.tqptrb", repeated_to(
        "<PatternBank>", '<Pattern %s name="P" length="16"><Step note="3" gate="1"/></Pattern>' % APP, "</PatternBank>", MIB)
    yield "patternbank", "steps-beyond-the-pattern-1MiB.tqptrb", repeated_to(
        '<PatternBank><Pattern %s name="P" length="16">' % APP, '<Step note="3" gate="1" accent="1"/>',
        "</Pattern></PatternBank>", MIB)

    # The toolkit keeps every tag and attribute name in one sorted pool and
    # inserts each new one in order: distinct names in descending order move
    # the whole pool each time (7.5 s for a state of 2 MiB). Each file
    # kind at its limit, with eight names to an element, so that only a count
    # of the document's distinct names refuses it; a state also with all its
    # names in one element, and as element names.
    for target in LIMITS:
        if target != "patterntext":
            yield target, limit_name(target, "distinct-attribute-names"), names_at_limit(target, 8)

    yield "state", limit_name("state", "distinct-attribute-names-in-one-element"), names_at_limit("state", 10 ** 9)
    yield "state", limit_name("state", "distinct-element-names"), names_at_limit("state")
    yield "presetbank", limit_name("presetbank", "distinct-element-names"), names_at_limit("presetbank")

    # Just within the bounds: a document of as many distinct names as it may
    # hold, one element of as many attributes, then one more of each.
    for extra in (0, 1):
        names = descending_names(MAX_NAMES - 3 + extra, 3)
        yield "state", "distinct-names-%d.state" % (MAX_NAMES + extra), state_block(
            '<PluginState %s>%s</PluginState>' % (APP, "".join('<a %s=""/>' % n for n in names)))
        names = descending_names(MAX_ATTRIBUTES + extra, 2)
        yield "presetbank", "attributes-in-one-element-%d.tqprsb" % (MAX_ATTRIBUTES + extra), (
            '<PresetBank name="Attributes"><a%s/><PresetGroup>%s</PresetGroup></PresetBank>'
            % ("".join(' %s=""' % n for n in names), ONE_PRESET))

    # A character reference stands for up to four bytes, and each one the
    # parser appends to a value copies the value so far: the most four-byte
    # references one value may hold, one more, and as many as the limit holds.
    for extra in (0, 1):
        value = "&#1114109;" * (MAX_FOUR_BYTE_REFERENCES + extra)
        yield "state", "four-byte-references-in-one-value-%d.state" % (MAX_FOUR_BYTE_REFERENCES + extra), state_block(
            '<PluginState %s><a b="%s"/><ParametersState/></PluginState>' % (APP, value))
        yield "presetbank", "four-byte-references-in-one-value-%d.tqprsb" % (MAX_FOUR_BYTE_REFERENCES + extra), (
            '<PresetBank name="References"><a b="%s"/><PresetGroup>%s</PresetGroup></PresetBank>' % (value, ONE_PRESET))

    for target in ("presetbank", "state", "settings"):
        yield target, limit_name(target, "four-byte-references-in-one-value"), at_limit(target, "&#1114109;", ('<a b="', '"/>'))

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
