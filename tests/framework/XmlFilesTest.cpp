#include "framework/XmlFiles.h"
#include "support/NotRegularFiles.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

namespace
{
/** Above every file these tests write. */
constexpr juce::int64 sizeLimit = 64 * 1024;
constexpr int blockLimit = 1024 * 1024;

/** The most references to a character of four bytes ("&#1114109;") one
    attribute value may hold: with the value so far read at each and copied
    at each, 20,724 cost 4,294,827,008 of maxAttributeValueCost's 2^32. */
constexpr int maxFourByteReferences = 20724;

/** Distinct names of three lower-case letters, from the last down. */
juce::String nameNumber (int index)
{
    const auto letter = [index] (int place) { return static_cast<juce::juce_wchar> ('z' - (index / place) % 26); };
    return juce::String::charToString (letter (676)) + juce::String::charToString (letter (26)) + juce::String::charToString (letter (1));
}

/** An element "a" of that many attributes of distinct names. */
juce::XmlElement withAttributes (int count)
{
    juce::XmlElement element ("a");

    for (int i = 0; i < count; ++i)
        element.setAttribute (nameNumber (i), "");

    return element;
}
} // namespace

class XmlFilesTest : public ::testing::Test
{
protected:
    TemporaryFolder temporary;
    const juce::File& folder = temporary.get();
};

TEST_F (XmlFilesTest, FilesAreWrittenAsUtf8WithoutADtdIntoAMissingFolderReadBackAndReplacedLeavingNothingBeside)
{
    const auto file = folder.getChildFile ("Ulvra Group/Tarvelin/Tarvelin.ini");
    juce::XmlElement element ("UserSettings");
    element.setAttribute ("application", "Tarvelin");

    ASSERT_TRUE (XmlFiles::write (element, file, sizeLimit));

    const auto lines = juce::StringArray::fromLines (file.loadFileAsString());
    EXPECT_EQ (lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_TRUE (lines[2].startsWith ("<UserSettings"));
    const auto back = XmlFiles::read (file, sizeLimit);
    ASSERT_NE (back, nullptr);
    EXPECT_TRUE (back->isEquivalentTo (&element, false));

    ASSERT_TRUE (XmlFiles::write (juce::XmlElement ("New"), file, sizeLimit));
    EXPECT_EQ (XmlFiles::read (file, sizeLimit)->getTagName(), "New");
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1);   // hidden ones included
}

TEST_F (XmlFilesTest, AFailedOrShortWriteIsReportedAndKeepsWhatWasThere)
{
    const auto occupied = folder.getChildFile ("occupied");
    temporary.write ("occupied/inside", "kept");
    EXPECT_FALSE (XmlFiles::write (juce::XmlElement ("New"), occupied, sizeLimit));
    EXPECT_EQ (occupied.getChildFile ("inside").loadFileAsString(), "kept");
    EXPECT_FALSE (XmlFiles::write (juce::XmlElement ("New"), juce::File(), sizeLimit));

    const auto file = temporary.write ("bank.xml", "<Old/>");
    juce::XmlElement bank ("PresetBank");
    for (int i = 0; i < 200; ++i)
        bank.createNewChildElement ("Preset")->setAttribute ("name", "Preset number " + juce::String (i));

    bool written = true;
    {
        const ScopedFileSizeLimit limit (100);
        written = XmlFiles::write (bank, file, sizeLimit);
    }

    EXPECT_FALSE (written);
    EXPECT_EQ (file.loadFileAsString(), "<Old/>");

    // Nor is a text longer than its reader would read.
    EXPECT_FALSE (XmlFiles::write (bank, file, 1000));
    EXPECT_EQ (file.loadFileAsString(), "<Old/>");

    // Nor one the guarded parse would refuse: a value written as more
    // references than it reads, an element of more attributes.
    const auto last = juce::String::charToString (0x10fffd);
    juce::XmlElement references ("References");
    references.setAttribute ("text", juce::String::repeatedString (last, maxFourByteReferences + 1));
    EXPECT_FALSE (XmlFiles::write (references, file, blockLimit));
    EXPECT_FALSE (XmlFiles::write (withAttributes (XmlFiles::maxAttributesPerElement + 1), file, blockLimit));
    EXPECT_EQ (file.loadFileAsString(), "<Old/>");

    references.setAttribute ("text", juce::String::repeatedString (last, maxFourByteReferences));
    ASSERT_TRUE (XmlFiles::write (references, file, blockLimit));
    EXPECT_EQ (XmlFiles::read (file, blockLimit)->getStringAttribute ("text").length(), maxFourByteReferences);
}

TEST_F (XmlFilesTest, MissingOrBrokenFilesDevicesAndFoldersReadAsNothing)
{
    EXPECT_EQ (XmlFiles::read (temporary.write ("broken.xml", "<Root a=\"1"), sizeLimit), nullptr);
    EXPECT_EQ (XmlFiles::read (folder.getChildFile ("missing.xml"), sizeLimit), nullptr);
    EXPECT_EQ (XmlFiles::read (juce::File ("/dev/zero"), sizeLimit), nullptr);
    EXPECT_EQ (XmlFiles::read (folder, sizeLimit), nullptr);
    EXPECT_EQ (XmlFiles::parse ("not xml at all"), nullptr);
}

TEST_F (XmlFilesTest, TextIsReadOnlyFromRegularFilesWithinTheSizeAndDecodedAsTheToolkitDecodesIt)
{
    const char latin1[] = "<a b=\"Bass \xe4\"/>";
    const auto file = folder.getChildFile ("latin1.xml");
    ASSERT_TRUE (file.replaceWithData (latin1, sizeof (latin1) - 1));

    juce::String text ("left over");
    ASSERT_TRUE (XmlFiles::readText (file, text, sizeLimit));
    EXPECT_EQ (text, file.loadFileAsString());
    EXPECT_TRUE (XmlFiles::readText (file, text, static_cast<juce::int64> (sizeof (latin1) - 1)));
    EXPECT_FALSE (XmlFiles::readText (file, text, static_cast<juce::int64> (sizeof (latin1) - 2)));
    EXPECT_EQ (text, "");

    auto refused = NotRegularFiles::make (temporary, ".xml");
    refused.add (NotRegularFiles::makeSparse (temporary, "huge.xml", sizeLimit + 1));
    refused.add (folder.getChildFile ("missing.xml"));

    for (const auto& path : refused)
    {
        EXPECT_FALSE (XmlFiles::isReadableFile (path, sizeLimit)) << path.getFullPathName();
        EXPECT_FALSE (XmlFiles::readText (path, text, sizeLimit)) << path.getFullPathName();
        EXPECT_EQ (XmlFiles::read (path, sizeLimit), nullptr) << path.getFullPathName();
    }
}

// Comments may follow the root element, any number of them; anything else
// after it, or a comment left open, marks a damaged file. (Instructions after
// the root are refused with those inside it.)
TEST (XmlFiles, OnlyCommentsMayFollowTheRootElement)
{
    struct Row { juce::String text; bool parses; };
    const Row rows[] = {
        { "<a></a><!-- x -->", true },
        { "<a>t</a >\n<!-- 1 --> <!-- 2 -->\n\t<!-- 3 -->\r\n", true },
        { "<a></a><!---->", true },
        { "<a></a><?p?><!-- c -->", false },
        { "<a><!-- inside --></a><!-- after -->", true },
        { "<a></a>" + juce::String::repeatedString ("<!-- c -->\n", 20000), true },
        { "<a></a>junk<!-- x -->", false },
        { "<a></a><!-- x --> junk", false },
        { "<a></a>--><!-- y -->", false },
        { "<a></a>?>", false },
        { "<a></a><!-- x", false },
        { "<a></a><!-- x --><b/>", false },
        { "<a><!-- x -->", false },
        { "<a></a>" + juce::String::repeatedString ("<!-- c -->\n", 20000) + "x<!-- c -->", false },
    };

    for (const auto& row : rows)
        EXPECT_EQ (XmlFiles::parse (row.text) != nullptr, row.parses) << row.text.substring (0, 80);
}

TEST (XmlFiles, OnlyAbsolutePathsNameAFileAndIntegerAttributesThatAreNotFiniteAreUnreadable)
{
    EXPECT_EQ (XmlFiles::fileFromPath ("relative/map.tqhpmap"), juce::File());
    EXPECT_EQ (XmlFiles::fileFromPath (""), juce::File());
    EXPECT_EQ (XmlFiles::fileFromPath ("/tmp/map.tqhpmap").getFileName(), "map.tqhpmap");

    const auto element = juce::parseXML ("<assign a=\"12\" b=\"nan\" c=\"-inf\"/>");
    int value = 99;
    EXPECT_TRUE (XmlFiles::readIntAttribute (*element, "a", 0, value));
    EXPECT_EQ (value, 12);
    EXPECT_TRUE (XmlFiles::readIntAttribute (*element, "missing", 7, value));
    EXPECT_EQ (value, 7);
    EXPECT_FALSE (XmlFiles::readIntAttribute (*element, "b", 0, value));
    EXPECT_FALSE (XmlFiles::readIntAttribute (*element, "c", 0, value));
}

TEST (XmlFiles, TextsTheToolkitsParserMishandlesAreRefusedAndTheOuterElementIsReadWithoutChildren)
{
    const char cutShort[] = "<a b=\"\xe2\x82";
    const char latin1[] = "<a b=\"Bass \xe4\"/>";
    const juce::String refused[] = {
        "<a><?x?>t</a>",                                    // an instruction inside the root: the parser never returns
        "<a><b/><?x?> t</a>",
        "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",      // entities expand without limit
        juce::String::fromUTF8 (cutShort, static_cast<int> (sizeof (cutShort) - 1)),   // not UTF-8: read past the end
        juce::String::fromUTF8 (latin1, static_cast<int> (sizeof (latin1) - 1)),
    };

    for (const auto& text : refused)
        EXPECT_EQ (XmlFiles::parse (text), nullptr) << text;

    EXPECT_EQ (XmlFiles::parseOuterElement ("<!doctype a><a b=\"1\"/>"), nullptr);
    const auto outer = XmlFiles::parseOuterElement ("<Preset name=\"A\"><param name=\"Cutoff\"/></Preset>");
    ASSERT_NE (outer, nullptr);
    EXPECT_EQ (outer->getStringAttribute ("name"), "A");
    EXPECT_EQ (outer->getNumChildElements(), 0);

    // Cut short: the parser would return what it had read.
    const juce::String cut[] = { "<Pattern application=\"Tarvelin\"", "<a b=\"x\"/", "<PresetBank><PresetGroup name=\"A\">",
                                 "<a><b/>", "<a><b></b></a", "<a><b></b></b>", "<a><!-- c -->", "<a>text</a><!-- cut" };

    for (const auto& text : cut)
        EXPECT_EQ (XmlFiles::parse (text), nullptr) << text;

    EXPECT_EQ (XmlFiles::parseOuterElement ("<?xml version=\"1.0\"?><Preset name=\"a>b\" author=\"x"), nullptr);
    EXPECT_NE (XmlFiles::parseOuterElement ("<Preset name=\"a>b\"><param"), nullptr);
    EXPECT_NE (XmlFiles::parse ("<a>t</a >\n<!-- saved -->\n"), nullptr);
    EXPECT_NE (XmlFiles::parse ("<a b=\"/>\"/>"), nullptr);

    // What the guard must still let through.
    EXPECT_NE (XmlFiles::parse (juce::CharPointer_UTF8 ("<a b=\"Bass \xc3\xa4 \xe2\x82\xac\"/>")), nullptr);
    const auto root = XmlFiles::parse ("<?xml version=\"1.0\"?>\n<!-- saved -->\n<?other?>\n<Root a=\"1\"><!-- c --><B/></Root>");
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getNumChildElements(), 1);
}

// The parser expands an unknown entity and parses the expansion again, which
// can end inside a character reference: only the five entities it knows and
// well-formed references naming a real character pass.
TEST (XmlFiles, AnAmpersandMustBeginAKnownEntityOrAWellFormedReference)
{
    struct Row { const char* text; bool parses; };
    const Row rows[] = {
        { "<a>&amp;&quot;&apos;&lt;&gt;</a>", true },
        { "<a>&AMP;&Quot;</a>", true },                 // entity names compare ignoring case
        { "<a b=\"&#10;&#233;&#1114111;&#00000065;\"/>", true },
        { "<a>&#x4e;&#X1F600;&#x0010FFFF;</a>", true },
        { "<E>&<a>&#x;", false },                       // the expansion "<a>&#x" ends inside a reference
        { "<Preset>&<a>&#x;</Preset>", false },
        { "<a>&b;</a>", false },
        { "<a>& b</a>", false },
        { "<a>&amp</a>", false },
        { "<a>&#;</a>", false },
        { "<a>&#x;</a>", false },
        { "<a>&#123456789;</a>", false },               // nine digits
        { "<a>&#x000000041;</a>", false },
        { "<a>&#0;</a>", false },
        { "<a>&#xD800;</a>", false },                   // a surrogate
        { "<a>&#x110000;</a>", false },                 // beyond the last character
        { "<a>&#12a;</a>", false },
        { "<a>&#x4e</a>", false },
        { "<a>&#x4e", false },                          // cut off by the end
        { "<a b=\"&#X", false },
    };

    for (const auto& row : rows)
        EXPECT_EQ (XmlFiles::parse (row.text) != nullptr, row.parses) << row.text;

    EXPECT_EQ (XmlFiles::parse ("<a>&#x4e;&#233;&lt;</a>")->getAllSubText(), juce::String (juce::CharPointer_UTF8 ("N\xc3\xa9<")));
}

// The parser appends each reference of an attribute's value, and each run of
// text between two, to the value read so far, measuring it each time: a value
// of hundreds of thousands of references takes seconds. A value of 40,000 is
// read, one of 200,000 is refused, and as many spread over a hundred values
// (or in an element's text, which the parser gathers otherwise) are read.
TEST (XmlFiles, AnAttributeValueOfTensOfThousandsOfReferencesIsRefused)
{
    const auto valueOf = [] (int references, const char* between)
    {
        return juce::String::repeatedString ("&amp;" + juce::String (between), references);
    };

    EXPECT_NE (XmlFiles::parse ("<a b=\"" + valueOf (40000, "") + "\"/>"), nullptr);
    EXPECT_EQ (XmlFiles::parse ("<a b=\"" + valueOf (200000, "") + "\"/>"), nullptr);
    EXPECT_EQ (XmlFiles::parse ("<a b='" + valueOf (100000, "x") + "'/>"), nullptr);   // a run after each counts too

    juce::String spread ("<a>");

    for (int i = 0; i < 100; ++i)
        spread << "<b c=\"" << valueOf (2000, "") << "\"/>";

    EXPECT_NE (XmlFiles::parse (spread + valueOf (200000, "") + "</a>"), nullptr);
    EXPECT_EQ (XmlFiles::parse ("<a b=\"" + valueOf (40000, "") + "\"/>")->getStringAttribute ("b").length(), 40000);
}

// A numeric reference stands for up to four bytes, and each the parser
// appends to a value reads the value so far and copies it to a larger block:
// the guard counts what each kind of reference really costs.
TEST (XmlFiles, AttributeValuesAreReadUpToTheCostBoundForEveryKindOfReference)
{
    struct Row { const char* reference; int mostReferences; int bytes; };
    const Row rows[] = {
        { "&#1114109;", maxFourByteReferences, 4 },
        { "&#x10FFFD;", maxFourByteReferences, 4 },
        { "&#8364;", 26754, 3 },
        { "&#233;", 37837, 2 },
        { "&#65;", 65535, 1 },
        { "&amp;", 65535, 1 },
    };

    for (const auto& row : rows)
    {
        const auto valueOf = [&row] (int count) { return "<a b=\"" + juce::String::repeatedString (row.reference, count) + "\"/>"; };
        const auto read = XmlFiles::parse (valueOf (row.mostReferences));
        ASSERT_NE (read, nullptr) << row.reference;
        EXPECT_EQ (read->getStringAttribute ("b").getNumBytesAsUTF8(), static_cast<size_t> (row.mostReferences * row.bytes)) << row.reference;
        EXPECT_EQ (XmlFiles::parse (valueOf (row.mostReferences + 1)), nullptr) << row.reference;
        EXPECT_EQ (XmlFiles::parseOuterElement (valueOf (row.mostReferences + 1)), nullptr) << row.reference;
    }

    // The bound is the text's: two values of half as many still cost more.
    const auto half = juce::String::repeatedString ("&#1114109;", maxFourByteReferences * 3 / 4);
    EXPECT_EQ (XmlFiles::parse ("<a b=\"" + half + "\" c=\"" + half + "\"/>"), nullptr);
}

// Every tag and attribute name goes into the toolkit's one sorted pool, which
// moves every name after a new one: a text may use a bounded number of
// names, and an element a bounded number of attributes. Each node of the
// tree costs a hundred bytes, however small: a text makes a bounded number.
TEST (XmlFiles, ATextOfMoreDistinctNamesOrNodesOrAnElementOfMoreAttributesThanTheBoundsIsRefused)
{
    const auto attributesOf = [] (int count, const juce::String& name)
    {
        juce::String element ("<a");

        for (int i = 0; i < count; ++i)
            element << " " << (name.isEmpty() ? nameNumber (i) : name) << "=\"\"";

        return element + "/>";
    };

    // Names spread over elements "e" of four attributes, or as tags: with "r" (and "e"), count names in all.
    const auto namesOf = [] (int count, bool asTags)
    {
        juce::String text ("<r>");

        for (int i = 0; i < count - (asTags ? 1 : 2); ++i)
            text << (asTags ? "<" + nameNumber (i) + "/>" : (i % 4 == 0 ? juce::String ("<e") : juce::String()) + " " + nameNumber (i) + "=\"\""
                                                            + (i % 4 == 3 || i == count - 3 ? "/>" : ""));

        return text + "</r>";
    };

    constexpr auto mostAttributes = XmlFiles::maxAttributesPerElement;
    constexpr auto mostNames = XmlFiles::maxDistinctNames;
    constexpr auto mostNodes = XmlFiles::maxNodes;
    struct Row { juce::String text; bool parses; };
    const Row rows[] = {
        { attributesOf (mostAttributes, {}), true },
        { attributesOf (mostAttributes + 1, {}), false },
        { attributesOf (mostAttributes + 1, "same"), false },      // counted whatever their names
        { "<r>" + juce::String::repeatedString (attributesOf (mostAttributes, {}), 20) + "</r>", true },
        { namesOf (mostNames, false), true },
        { namesOf (mostNames + 1, false), false },
        { namesOf (mostNames, true), true },
        { namesOf (mostNames + 1, true), false },
        { "<r>" + juce::String::repeatedString ("<e a=\"1\" b=\"2\"/><f a=\"3\"/>", mostNodes / 2) + "</r>", true },
        // Below the root, elements and the text between them count as nodes; white space does not.
        { "<r>" + juce::String::repeatedString ("<e/>", mostNodes) + "<e/></r>", false },
        { "<r>" + juce::String::repeatedString ("x<a/>", mostNodes / 2) + "</r>", true },
        { "<r>" + juce::String::repeatedString ("x<a/>", mostNodes / 2) + "x</r>", false },
        { "<r>" + juce::String::repeatedString ("<a><![CDATA[x]]></a>", mostNodes / 2) + "<a/></r>", false },
        { "<r>" + juce::String::repeatedString ("\n  <a></a>", mostNodes) + "\n</r>", true },
    };

    for (const auto& row : rows)
    {
        EXPECT_EQ (XmlFiles::parse (row.text) != nullptr, row.parses) << row.text.substring (0, 60);
        EXPECT_EQ (XmlFiles::parseOuterElement (row.text) != nullptr, row.parses) << row.text.substring (0, 60);
    }

    // A tag and an attribute of one name are one name; names differing in case are two.
    const auto sharedAndCased = namesOf (mostNames - 1, false).replace ("<r>", "<r><zzz/><Zzz/>");
    EXPECT_NE (XmlFiles::parse (sharedAndCased), nullptr);
    EXPECT_EQ (XmlFiles::parse (sharedAndCased.replace ("<Zzz/>", "<Zzz/><ZZZ/>")), nullptr);
}

TEST (XmlFiles, AStateBlockReadsBackAsItsElementEvenWithAStoredLengthBeyondTheBlockAndOtherBlocksAsNothing)
{
    juce::XmlElement state ("PluginState");
    state.setAttribute ("application", juce::CharPointer_UTF8 ("Tarvelin \xe2\x82\xac"));
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (state, block);

    const auto back = XmlFiles::parseBinary (block.getData(), static_cast<int> (block.getSize()), blockLimit);
    ASSERT_NE (back, nullptr);
    EXPECT_TRUE (back->isEquivalentTo (&state, false));

    // The text's length is checked before it is read: one byte over the limit reads as nothing.
    const auto textLength = static_cast<int> (block.getSize()) - 9;
    EXPECT_NE (XmlFiles::parseBinary (block.getData(), static_cast<int> (block.getSize()), textLength), nullptr);
    EXPECT_EQ (XmlFiles::parseBinary (block.getData(), static_cast<int> (block.getSize()), textLength - 1), nullptr);

    const juce::uint8 tooLong[] = { 0x56, 0x43, 0x32, 0x21, 0xff, 0xff, 0, 0, '<', 'a', '/', '>' };
    const auto cut = XmlFiles::parseBinary (tooLong, sizeof (tooLong), blockLimit);
    ASSERT_NE (cut, nullptr);
    EXPECT_EQ (cut->getTagName(), "a");

    // Other blocks read as nothing: no XML, no length, a text that stalls the parser.
    const char notXml[] = "older binary block";
    const juce::uint8 noLength[] = { 0x56, 0x43, 0x32, 0x21, 0, 0, 0, 0, '<', 'a', '/', '>' };
    const juce::uint8 stalls[] = { 0x56, 0x43, 0x32, 0x21, 13, 0, 0, 0, '<', 'a', '>', '<', '?', 'x', '?', '>', 't', '<', '/', 'a', '>' };
    EXPECT_EQ (XmlFiles::parseBinary (notXml, sizeof (notXml), blockLimit), nullptr);
    EXPECT_EQ (XmlFiles::parseBinary (noLength, sizeof (noLength), blockLimit), nullptr);
    EXPECT_EQ (XmlFiles::parseBinary (stalls, sizeof (stalls), blockLimit), nullptr);
    EXPECT_EQ (XmlFiles::parseBinary (nullptr, 100, blockLimit), nullptr);
}

//==============================================================================
namespace
{
juce::String nested (int levels, const juce::String& open, const juce::String& close)
{
    return juce::String::repeatedString (open, levels) + juce::String::repeatedString (close, levels);
}

/** Parses on a thread with a stack of 256 KiB, as small as some hosts give
    the thread that restores a project: a text that reached the toolkit's
    recursion thousands of levels deep would overflow it. */
bool parsesOnASmallStack (const juce::String& text)
{
    struct ParseThread : public juce::Thread
    {
        explicit ParseThread (const juce::String& t) : juce::Thread ("Small stack", 256 * 1024), text (t) {}
        void run() override { parsed = XmlFiles::parse (text) != nullptr; }

        const juce::String text;
        std::atomic<bool> parsed { true };
    };

    ParseThread thread (text);
    EXPECT_TRUE (thread.startThread());
    EXPECT_TRUE (thread.waitForThreadToExit (60000));
    return thread.parsed;
}

struct Nesting
{
    const char* description;
    const char* open;
    const char* close;
    int leafLevel = 0;  // 1 when the innermost "a" holds empty elements, a level below it
};

// Ways to open a level that a reading by tags alone could miss, each with
// the closing text that makes the whole a document the toolkit accepts.
const Nesting acceptedNestings[] = {
    { "plain elements", "<a>", "</a>" },
    { "a \"/>\" inside an attribute", "<a b=\"/>\">", "</a>" },
    { "a closing tag inside an attribute", "<a b='</a>'>", "</a>" },
    { "a comment inside the start tag", "<a <!-- /> -->>", "</a>" },
    { "a comment between \"<\" and the name", "<<!-- /> -->a>", "</a>" },
    { "a blank between \"<\" and the name", "< a\n>", "</a >" },
    { "a closing tag inside CDATA", "<a><![CDATA[</a>]]>", "</a>" },
    { "a closing tag inside a comment", "<a><!-- </a> -->", "</a>" },
    { "\"/>\" and \">\" in text and entities", "<a>/> &lt;/a&gt; x", "</a>" },
    { "empty elements", "<a><b/><c d=\"&quot;/>\"/>", "</a>", 1 },
};
} // namespace

TEST (XmlFiles, ElementsNestedUpToTheLimitParseAndOneLevelMoreIsRefused)
{
    for (const auto& nesting : acceptedNestings)
    {
        SCOPED_TRACE (nesting.description);
        const auto repeats = XmlFiles::maxNestingDepth - nesting.leafLevel;
        const auto atTheLimit = XmlFiles::parse (nested (repeats, nesting.open, nesting.close));
        ASSERT_NE (atTheLimit, nullptr);

        auto levels = 0;

        for (auto* element = atTheLimit.get(); element != nullptr; element = element->getChildByName ("a"))
            ++levels;

        EXPECT_EQ (levels, repeats);
        EXPECT_EQ (XmlFiles::parse (nested (repeats + 1, nesting.open, nesting.close)), nullptr);
    }
}

TEST (XmlFiles, ThirtyThousandLevelsAreRefusedOnASmallStackHoweverTheyAreWritten)
{
    // 210 KB of "<a>": a downloaded preset or a shared project.
    EXPECT_FALSE (parsesOnASmallStack (nested (30000, "<a>", "</a>")));

    for (const auto& nesting : acceptedNestings)
        EXPECT_FALSE (parsesOnASmallStack (nested (30000, nesting.open, nesting.close))) << nesting.description;

    // The toolkit reads on after a stray quote, an attribute without a value
    // or a tag without a name, and nests what follows; it gives up only at the end.
    const char* const strayStarts[] = { "<a \"", "<a '", "<a b ", "<a b=c ", "<!x ", "< ", "\"" };

    for (const auto* stray : strayStarts)
        EXPECT_FALSE (parsesOnASmallStack ("<r>" + juce::String (stray) + nested (30000, "<b>", "</b>") + "</r>")) << stray;

    // The same in a state block.
    juce::MemoryOutputStream block;
    const auto text = nested (30000, "<PluginState application=\"Tarvelin\">", "</PluginState>");
    block.writeInt (0x21324356);
    block.writeInt (static_cast<int> (text.getNumBytesAsUTF8()));
    block << text;
    EXPECT_EQ (XmlFiles::parseBinary (block.getData(), static_cast<int> (block.getDataSize()), blockLimit), nullptr);
}
