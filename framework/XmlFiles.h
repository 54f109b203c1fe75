#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/*  Reading and writing the framework's XML files: settings, maps, dumps and
    presets. Every file is written as UTF-8 with no DTD and a line width of 60.
*/
namespace XmlFiles
{
/** Writes the element to the file. The text goes to a temporary file beside the
    target first and then replaces it, so a failed or interrupted write leaves
    the old file whole. A missing parent folder is created. False on failure,
    and, with the old file left as it is, for a text that its reader would
    refuse: one longer than maxBytes (the size limit of the file's reader), or
    one that parse refuses.
*/
bool write (const juce::XmlElement& element, const juce::File& file, juce::int64 maxBytes);

/*  Every reader passes the size limit of its kind of file: well above what a
    real file of the kind reaches, and low enough for the worst text of that
    size. The toolkit's tree takes about 100 bytes for each element, however
    small: a text of nothing but "x<a/>" costs about 40 bytes of memory and
    90 ns for each of its bytes, so a limit of 2 MiB keeps the worst file under
    100 MB and a quarter of a second.
*/

/** The file's root element; null when the file is missing, is no file
    isReadableFile accepts within maxBytes, or does not parse. */
std::unique_ptr<juce::XmlElement> read (const juce::File& file, juce::int64 maxBytes);

/** The guard in front of every read of a path that a user, a setting or
    another file names: true only for a regular file (no folder, device or
    pipe: a setting may name /dev/zero, which would be read without end) of
    at most maxBytes bytes.
*/
bool isReadableFile (const juce::File& file, juce::int64 maxBytes);

/** The whole text of a file that isReadableFile accepts, decoded as
    juce::File::loadFileAsString decodes it. False, with the text empty, for
    any other path or a file that could not be read; a file that grows while it
    is read is read no further than maxBytes.
*/
bool readText (const juce::File& file, juce::String& text, juce::int64 maxBytes);

/** How deeply elements may nest in a text that parse accepts. The toolkit's
    parser recurses once per level, so an outside file must not choose the
    depth. The framework's own files nest at most 6 levels; a skin nests up to
    32 panels of two levels each (its "Panel" and "controls") below its root.
*/
constexpr int maxNestingDepth = 128;

/** How many attributes one element may have, and how many distinct names (of
    tags and attributes together) one text may use. The toolkit keeps every
    such name in one global pool, sorted, for as long as anything holds it:
    each name it has not seen goes in at its place, moving every name after
    it, so a text of new names in descending order costs the square of their
    number (a 2 MiB state of them took 7.5 s). Under these bounds a text adds
    at most 1024 names, in about a millisecond. The real files use far fewer:
    the default skin 67 (42 of them attribute names), the fullest state the
    plug-in writes (every preset and pattern named) 47, the settings 32, the
    factory pattern bank 17, the preset banks 7, all the fuzz seeds together
    153; no element of theirs has more than 9 attributes.
*/
constexpr int maxAttributesPerElement = 256;
constexpr int maxDistinctNames = 1024;

/** How many nodes (elements, and text elements between them) one text may
    make. The toolkit's tree costs about 100 bytes and a microsecond a node
    however small, so 2 MiB of "x<a/>" (420,000 nodes) took a third of a
    second to read and 100 MB; under this bound any text takes about 50 ms and
    under 10 MB for its nodes. The fullest state the plug-in writes (every
    preset and pattern named) has 11,815 nodes, a full bank 8,719, the
    factory patterns 2,983 and the default skin 2,227.
*/
constexpr int maxNodes = 65536;

/** What the parser's reading of attribute values may cost in one text. The
    parser appends each reference in a value, and each run of text between
    two, to the value read so far: each append reads the whole value to find
    its end and, when the value outgrows its memory (kept to a multiple of
    four bytes), copies it to a new block. This counts the bytes read, and
    each copied byte as four (a copy takes that long). At the bound a value
    holds 20,724 references to characters of four bytes (the costliest kind,
    a copy at every one) or 65,535 "&amp;": 30 to 40 ms in the optimised
    build, whatever mix of references and text it holds: counting the bytes
    read alone let 65,000 four-byte references through, which take 0.45 s.
    The plug-in's own values stay far below (a name of 256 characters of
    four bytes costs 0.02 % of this), and write refuses any text beyond it.
*/
constexpr juce::int64 maxAttributeValueCost = juce::int64 { 1 } << 32;

/** The text's root element; null when the text does not parse. Every reader
    of outside XML goes through here or the functions below: text that is not
    valid UTF-8, that the toolkit's parser cannot take safely (a "<!DOCTYPE",
    a "<?" inside the root element, an "&" that begins neither "&amp;",
    "&quot;", "&apos;", "&lt;", "&gt;" nor a character reference of 1 to 8
    digits naming a valid character, elements nested deeper than
    maxNestingDepth), that would cost the parser too much (an element of more
    than maxAttributesPerElement attributes, more than maxDistinctNames
    names or maxNodes nodes, attribute values beyond maxAttributeValueCost), or that ends
    before its root element does (a file cut short), counts as text that does
    not parse.
*/
std::unique_ptr<juce::XmlElement> parse (const juce::String& text);

/** The root element alone, attributes and no children, as parse reads it. */
std::unique_ptr<juce::XmlElement> parseOuterElement (const juce::String& text);

/** The element in a block made by juce::AudioProcessor::copyXmlToBinary; null
    for any other block, or one whose text is longer than maxTextBytes. The
    toolkit's own getXmlFromBinary parses without the guard of parse.
*/
std::unique_ptr<juce::XmlElement> parseBinary (const void* data, int sizeInBytes, int maxTextBytes);

/** A path read from a file or a setting: an empty File unless the text is an absolute path. */
juce::File fileFromPath (const juce::String& path);

/** Reads an integer attribute. A missing attribute gives the default; one whose
    text reads as a number that is not finite ("nan", "inf") gives false.
*/
bool readIntAttribute (const juce::XmlElement& element, juce::StringRef name, int defaultValue, int& result);
} // namespace XmlFiles
