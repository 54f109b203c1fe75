#include "framework/XmlFiles.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace
{
// An "&" must begin one of the five entities the toolkit knows (it compares
// them ignoring case) or a well-formed character reference. The toolkit
// expands any other entity and parses the expansion again, and that text can
// end inside a reference, which the parser then reads past. The framework
// writes nothing else, so no saved file is refused.
bool startsKnownReference (juce::String::CharPointerType p)
{
    for (const auto* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        if (p.compareIgnoreCaseUpTo (juce::CharPointer_ASCII (name), static_cast<int> (std::strlen (name))) == 0)
            return true;

    if (p.getAndAdvance() != '#')
        return false;

    const auto hex = (*p == 'x' || *p == 'X');

    if (hex)
        p.getAndAdvance();

    juce::int64 code = 0;
    auto digits = 0;

    for (;; ++digits)
    {
        const auto c = *p;
        const auto value = hex ? juce::CharacterFunctions::getHexDigitValue (c)
                               : (c >= '0' && c <= '9' ? static_cast<int> (c - '0') : -1);

        if (value < 0)
            break;

        if (digits == 8)
            return false;

        code = code * (hex ? 16 : 10) + value;
        p.getAndAdvance();
    }

    const auto isSurrogate = code >= 0xd800 && code <= 0xdfff;
    return digits > 0 && *p == ';' && code != 0 && ! isSurrogate && code <= 0x10ffff;
}

// Text that JUCE 7.0.5's parser cannot take safely, none of which the
// framework ever writes:
//  - a processing instruction inside an element that text follows
//    ("<a><?x?>t</a>"): the parser never returns;
//  - a document type declaration: its entities are expanded without limit;
//  - an "&" that begins no known entity or well-formed reference (above).
// getAndAdvance stops at the terminator even after a character cut short;
// stepping with ++ would run past it.
bool trapsTheParser (const juce::String& text)
{
    auto insideRoot = false;

    for (auto p = text.getCharPointer();;)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            return false;

        auto next = p;

        if (c == '&')
        {
            if (! startsKnownReference (next))
                return true;
        }
        else if (c == '<')
        {
            const auto afterBracket = next.getAndAdvance();

            if (afterBracket == '?')
            {
                if (insideRoot)
                    return true;
            }
            else if (afterBracket == '!')
            {
                if (juce::CharacterFunctions::compareIgnoreCaseUpTo (next, juce::CharPointer_ASCII ("DOCTYPE"), 7) == 0)
                    return true;
            }
            else
            {
                insideRoot = true;
            }
        }
    }
}

// The parser also steps over a character by the length its first byte
// announces, so text cut inside a character at its end is read past the end.
// A file is always read as valid text (the toolkit reads one that is not UTF-8
// as Windows-1252), but a state block is taken as UTF-8 as it is.
bool isValidUtf8 (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    return juce::CharPointer_UTF8::isValidString (bytes, static_cast<int> (std::strlen (bytes)));
}

// The toolkit's parser returns what it has read when the text ends early, with
// no error: a file cut short by a full disk or an interrupted download would
// load in part over what the user had. The root's start tag must be complete
// and, for a whole document, the text must end with the root's own end.
bool endsInsideItsRoot (const std::string& text, const juce::String& rootTag, bool outerElementOnly)
{
    // Past the prolog: the declaration, comments and instructions before the root.
    auto start = std::string::npos;

    for (size_t i = 0;;)
    {
        i = text.find ('<', i);

        if (i == std::string::npos)
            return true;

        if (text.compare (i, 4, "<!--") == 0 || text.compare (i, 2, "<?") == 0)
        {
            const auto isComment = text[i + 1] == '!';
            const auto end = text.find (isComment ? "-->" : "?>", i + 2);

            if (end == std::string::npos)
                return true;

            i = end + (isComment ? 3 : 2);
            continue;
        }

        start = i;
        break;
    }

    // The start tag ends at the first ">" outside an attribute's quotes.
    char quote = 0;
    auto tagEnd = std::string::npos;

    for (auto i = start + 1; i < text.size() && tagEnd == std::string::npos; ++i)
    {
        const auto c = text[i];

        if (quote != 0)
            quote = (c == quote) ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            tagEnd = i;
    }

    if (tagEnd == std::string::npos)
        return true;

    if (outerElementOnly || text[tagEnd - 1] == '/')
        return false;

    // Comments and instructions may follow the root; then its end tag must close
    // the text. Each search runs back from where the last one began, so any
    // number of them costs one pass over the text.
    auto end = text.find_last_not_of (" \t\r\n");

    while (end != std::string::npos && end > tagEnd)
    {
        auto open = std::string::npos;

        if (end >= 2 && text.compare (end - 2, 3, "-->") == 0)
            open = end >= 3 ? text.rfind ("<!--", end - 3) : std::string::npos;
        else if (end >= 1 && text.compare (end - 1, 2, "?>") == 0)
            open = text.rfind ("<?", end - 1);
        else
            break;

        if (open == std::string::npos || open <= tagEnd)
            return true;

        end = text.find_last_not_of (" \t\r\n", open - 1);
    }

    if (end == std::string::npos || text[end] != '>')
        return true;

    const auto closing = text.rfind ("</", end);

    if (closing == std::string::npos || closing <= tagEnd)
        return true;

    const auto name = rootTag.toStdString();
    auto after = closing + 2 + name.size();

    if (text.compare (closing + 2, name.size(), name) != 0)
        return true;

    while (after < end && juce::CharacterFunctions::isWhitespace (text[after]))
        ++after;

    return after != end;
}

// The distinct names of a text, counted up to XmlFiles::maxDistinctNames:
// the toolkit's own pool of names (juce::Identifier) is what costs the square
// of their number. Each name is a range of the text's bytes, kept in an open
// table never more than half full, so probes stay short; its hash is keyed
// once per process, so no text can be made to put its names in one chain.
// The table starts inside the scan, room for every real file's names: a
// block of memory taken and given back for each text would make the C
// library gather up the small blocks of the tree last parsed, and hand the
// memory back to the system only to take it again for the next tree.
class DistinctNames
{
public:
    /** Counts the name when it is new; false once more than the bound are counted. */
    bool add (const char* start, size_t length)
    {
        if (! insert (slots, numSlots, { start, static_cast<std::uint32_t> (length), hashOf (start, length) }))
            return true;

        if (++count > XmlFiles::maxDistinctNames)
            return false;

        if (heapSlots.empty() && 2 * count > static_cast<int> (numSlots))
        {
            heapSlots.resize (2 * XmlFiles::maxDistinctNames);

            for (const auto& slot : inlineSlots)
                if (slot.start != nullptr)
                    insert (heapSlots.data(), heapSlots.size(), slot);

            slots = heapSlots.data();
            numSlots = heapSlots.size();
        }

        return true;
    }

private:
    struct Slot
    {
        const char* start = nullptr;
        std::uint32_t length = 0;
        std::uint32_t hash = 0;
    };

    static_assert (juce::isPowerOfTwo (XmlFiles::maxDistinctNames), "the table's size must be a power of two");

    /** True when the name was not in the table and is now. */
    static bool insert (Slot* table, size_t size, const Slot& name)
    {
        for (auto i = name.hash & (size - 1);; i = (i + 1) & (size - 1))
        {
            auto& slot = table[i];

            if (slot.start == nullptr)
            {
                slot = name;
                return true;
            }

            if (slot.hash == name.hash && slot.length == name.length && std::memcmp (slot.start, name.start, name.length) == 0)
                return false;
        }
    }

    static std::uint32_t hashOf (const char* start, size_t length) noexcept
    {
        static const std::uint64_t key = []
        {
            std::random_device device;
            return (static_cast<std::uint64_t> (device()) << 32) ^ device();
        }();

        // FNV-1a from the key, then the finishing mix of MurmurHash3.
        auto hash = key ^ length;

        for (size_t i = 0; i < length; ++i)
            hash = (hash ^ static_cast<unsigned char> (start[i])) * 0x100000001b3ull;

        hash ^= hash >> 33;
        hash *= 0xff51afd7ed558ccdull;
        hash ^= hash >> 33;
        hash *= 0xc4ceb9fe1a85ec53ull;
        return static_cast<std::uint32_t> (hash ^ (hash >> 33));
    }

    std::array<Slot, 256> inlineSlots {};
    std::vector<Slot> heapSlots;
    Slot* slots = inlineSlots.data();
    size_t numSlots = inlineSlots.size();
    int count = 0;
};

// How deep JUCE 7.0.5's parser would recurse on a text. It calls itself once
// per level of nesting, so a few thousand levels overflow a host's stack.
// This follows the parser's own steps (XmlDocument's readNextElement,
// readChildElements, skipNextWhiteSpace and readQuotedString) without building
// anything and without recursing: a reading by tags alone could be led to miss
// levels the parser takes. It runs on text the checks above passed, where
// every "&" begins a known entity or a reference and so stands for one
// character, never for markup.
//
// It also adds up what the parser's reading of attribute values costs
// (XmlFiles::maxAttributeValueCost), counts each element's attributes, the
// names of the text where the parser takes them into the toolkit's pool, and
// the nodes the parser would build (XmlFiles::maxNodes).
class NestingScan
{
public:
    explicit NestingScan (const juce::String& text) : input (text.getCharPointer()) {}

    /** The scan stopped at something the parser would take too long over: an
        attribute value, an element's attributes, the text's names or nodes. */
    bool costsTooMuch() const noexcept { return tooCostly; }

    bool goesDeeperThan (int maxLevels)
    {
        // The header, as parseHeader reads it; a DOCTYPE never gets here.
        skipNextWhiteSpace();

        if (juce::CharacterFunctions::compareUpTo (input, juce::CharPointer_ASCII ("<?xml"), 5) == 0)
        {
            const auto headerEnd = juce::CharacterFunctions::find (input, juce::CharPointer_ASCII ("?>"));

            if (headerEnd.isEmpty())
                return false;

            input = headerEnd + 2;
            skipNextWhiteSpace();
        }

        // The elements whose children the parser is reading.
        auto depth = readElementStart() == Start::open ? 1 : 0;

        while (depth > 0)
        {
            const auto preWhitespaceInput = input;
            skipNextWhiteSpace();

            if (outOfData)
                return false;

            if (*input == '<')
            {
                const auto c1 = input[1];

                if (c1 != '/')
                    addNode();

                if (c1 == '/')
                {
                    // Any closing tag ends the element being read, whatever its name.
                    if (const auto closeTag = input.indexOf (static_cast<juce::juce_wchar> ('>')); closeTag >= 0)
                        input += closeTag + 1;

                    --depth;
                }
                else if (c1 == '!' && juce::CharacterFunctions::compareUpTo (input + 2, juce::CharPointer_ASCII ("[CDATA["), 7) == 0)
                {
                    input += 9;
                    skipCdata();
                }
                else
                {
                    // An element one level down, with or without children of its own.
                    const auto start = readElementStart();

                    if (start == Start::none)
                        --depth;
                    else if (depth + 1 > maxLevels)
                        return true;
                    else if (start == Start::open)
                        ++depth;
                }

                continue;
            }

            // A character block, up to the next "<" that begins no comment:
            // one text element.
            input = preWhitespaceInput;
            addNode();

            if (! skipCharacterBlock())
                return false;
        }

        return false;
    }

private:
    enum class Start
    {
        none,   // no element: the parser ends the one it was reading
        closed, // an element without children ("/>", or one it gave up on)
        open    // an element whose children follow
    };

    static bool isIdentifierChar (juce::juce_wchar c) noexcept
    {
        static const juce::uint32 legalChars[] = { 0, 0x7ff6000, 0x87fffffe, 0x7fffffe, 0 };

        return static_cast<int> (c) < static_cast<int> (juce::numElementsInArray (legalChars) * 32)
                   ? (legalChars[c >> 5] & static_cast<juce::uint32> (1 << (c & 31))) != 0
                   : juce::CharacterFunctions::isLetterOrDigit (c) || c == '_' || c == '-' || c == ':' || c == '.';
    }

    static juce::String::CharPointerType findEndOfToken (juce::String::CharPointerType p) noexcept
    {
        while (isIdentifierChar (*p))
            ++p;

        return p;
    }

    juce::juce_wchar readNextChar() noexcept
    {
        const auto c = input.getAndAdvance();

        if (c == 0)
        {
            outOfData = true;
            --input;
        }

        return c;
    }

    void skipNextWhiteSpace()
    {
        for (;;)
        {
            input.incrementToEndOfWhitespace();

            if (input.isEmpty())
            {
                outOfData = true;
                return;
            }

            if (*input == '<')
            {
                if (input[1] == '!' && input[2] == '-' && input[3] == '-')
                {
                    input += 4;
                    const auto closeComment = input.indexOf (juce::CharPointer_ASCII ("-->"));

                    if (closeComment < 0)
                    {
                        outOfData = true;
                        return;
                    }

                    input += closeComment + 3;
                    continue;
                }

                if (input[1] == '?')
                {
                    input += 2;
                    const auto closeBracket = input.indexOf (juce::CharPointer_ASCII ("?>"));

                    if (closeBracket < 0)
                    {
                        outOfData = true;
                        return;
                    }

                    input += closeBracket + 2;
                    continue;
                }
            }

            return;
        }
    }

    // Past a known entity or a reference and its ";": the bytes of UTF-8 it
    // stands for. The text passed trapsTheParser, so a reference is well formed.
    int skipEntity()
    {
        ++input;

        for (const auto* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        {
            const auto length = static_cast<int> (std::strlen (name));

            if (input.compareIgnoreCaseUpTo (juce::CharPointer_ASCII (name), length) == 0)
            {
                input += length;
                return 1;
            }
        }

        ++input;
        const auto hex = (*input == 'x' || *input == 'X');
        juce::int64 code = 0;

        if (hex)
            ++input;

        for (; *input != ';' && *input != 0; ++input)
            code = code * (hex ? 16 : 10) + juce::CharacterFunctions::getHexDigitValue (*input);

        if (*input == ';')
            ++input;

        return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    }

    void skipQuotedString()
    {
        const auto quote = readNextChar();
        juce::int64 valueBytes = 0;
        juce::int64 allocatedBytes = 0;

        // As juce::String appends: it reads the value so far to find its end,
        // and copies it when the value with its terminator outgrows the block,
        // whose new size is rounded up to four bytes.
        const auto append = [&] (juce::int64 bytes)
        {
            if (bytes <= 0)
                return;

            appendCost += valueBytes;
            const auto needed = valueBytes + bytes + 1;

            if (needed > allocatedBytes)
            {
                appendCost += 4 * allocatedBytes;
                allocatedBytes = (needed + 3) & ~juce::int64 { 3 };
            }

            valueBytes += bytes;

            if (appendCost > XmlFiles::maxAttributeValueCost)
                refuse();
        };

        while (! outOfData)
        {
            const auto c = readNextChar();

            if (c == quote)
                return;

            --input;

            if (c == '&')
            {
                append (skipEntity());
                continue;
            }

            const auto runStart = input.getAddress();

            for (;;)
            {
                const auto character = *input;

                if (character == quote)
                {
                    append (input.getAddress() - runStart);
                    ++input;
                    return;
                }

                if (character == '&')
                {
                    append (input.getAddress() - runStart);
                    break;
                }

                if (character == 0)
                {
                    outOfData = true;
                    break;
                }

                ++input;
            }
        }
    }

    void skipCdata()
    {
        for (;;)
        {
            const auto c0 = *input;

            if (c0 == 0)
            {
                outOfData = true;
                return;
            }

            if (c0 == ']' && input[1] == ']' && input[2] == '>')
            {
                input += 3;
                return;
            }

            ++input;
        }
    }

    // False when the text ends inside it, which ends every element.
    bool skipCharacterBlock()
    {
        for (;;)
        {
            const auto c = *input;

            if (c == '<')
            {
                if (input[1] == '!' && input[2] == '-' && input[3] == '-')
                {
                    input += 4;
                    const auto closeComment = input.indexOf (juce::CharPointer_ASCII ("-->"));

                    if (closeComment < 0)
                        return false;

                    input += closeComment + 3;
                    continue;
                }

                return true;
            }

            if (c == 0)
                return false;

            if (c == '&')
                skipEntity();
            else
                ++input;
        }
    }

    // An element's start tag and attributes, as readNextElement reads them.
    Start readElementStart()
    {
        skipNextWhiteSpace();

        if (outOfData || *input != '<')
            return Start::none;

        ++input;
        auto endOfToken = findEndOfToken (input);

        if (endOfToken == input)
        {
            skipNextWhiteSpace();
            endOfToken = findEndOfToken (input);

            if (endOfToken == input)
                return Start::none;
        }

        addName (input, endOfToken);
        input = endOfToken;

        for (auto attributes = 0;; ++attributes)
        {
            skipNextWhiteSpace();

            if (outOfData)
                return Start::closed;

            const auto c = *input;

            if (c == '/' && input[1] == '>')
            {
                input += 2;
                return Start::closed;
            }

            if (c == '>')
            {
                ++input;
                return Start::open;
            }

            if (! isIdentifierChar (c))
                return Start::closed;

            const auto nameStart = input;
            input = findEndOfToken (input);
            const auto nameEnd = input;
            skipNextWhiteSpace();

            if (readNextChar() != '=')
                return Start::closed;

            skipNextWhiteSpace();

            if (*input != '"' && *input != '\'')
                return Start::closed;

            // Where the parser makes the attribute, and pools its name.
            if (attributes == XmlFiles::maxAttributesPerElement)
            {
                refuse();
                return Start::closed;
            }

            addName (nameStart, nameEnd);
            skipQuotedString();
        }
    }

    void addName (juce::String::CharPointerType start, juce::String::CharPointerType end)
    {
        if (! names.add (start.getAddress(), static_cast<size_t> (end.getAddress() - start.getAddress())))
            refuse();
    }

    // One more element or text element in the tree the parser would build.
    void addNode() noexcept
    {
        if (++nodes > XmlFiles::maxNodes)
            refuse();
    }

    // Ends the scan, with the text refused.
    void refuse() noexcept
    {
        tooCostly = true;
        outOfData = true;
    }

    juce::String::CharPointerType input;
    bool outOfData = false;
    bool tooCostly = false;
    juce::int64 appendCost = 0;
    int nodes = 0;
    DistinctNames names;
};

// Everything parse checks before the toolkit's parser sees the text.
bool passesTheGuard (const juce::String& text)
{
    if (text.isEmpty() || ! isValidUtf8 (text) || trapsTheParser (text))
        return false;

    NestingScan scan (text);
    return ! scan.goesDeeperThan (XmlFiles::maxNestingDepth) && ! scan.costsTooMuch();
}

std::unique_ptr<juce::XmlElement> parseGuarded (const juce::String& text, bool outerElementOnly)
{
    if (! passesTheGuard (text))
        return nullptr;

    juce::XmlDocument document (text);
    auto root = document.getDocumentElement (outerElementOnly);

    if (root != nullptr && endsInsideItsRoot (text.toStdString(), root->getTagName(), outerElementOnly))
        return nullptr;

    return root;
}
} // namespace

namespace XmlFiles
{
bool write (const juce::XmlElement& element, const juce::File& file, juce::int64 maxBytes)
{
    if (file == juce::File() || file.isDirectory())
        return false;

    const auto folder = file.getParentDirectory();

    if (! folder.isDirectory() && ! folder.createDirectory().wasOk())
        return false;

    juce::XmlElement::TextFormat format;
    format.dtd = {};
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;

    juce::MemoryOutputStream text;
    element.writeTo (text, format);

    if (static_cast<juce::int64> (text.getDataSize()) > maxBytes || ! passesTheGuard (text.toUTF8()))
        return false;

    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk() || ! out.write (text.getData(), text.getDataSize()))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // The stream does not notice a short last write (a full disk, a size limit):
    // only a complete file may replace the old one.
    if (temporary.getFile().getSize() != static_cast<juce::int64> (text.getDataSize()))
        return false;

    return temporary.overwriteTargetFileWithTemporary();
}

std::unique_ptr<juce::XmlElement> read (const juce::File& file, juce::int64 maxBytes)
{
    juce::String text;
    return readText (file, text, maxBytes) ? parse (text) : nullptr;
}

bool isReadableFile (const juce::File& file, juce::int64 maxBytes)
{
    std::error_code error;
    const std::filesystem::path path (file.getFullPathName().toStdString());
    return std::filesystem::is_regular_file (path, error) && file.getSize() <= maxBytes;
}

bool readText (const juce::File& file, juce::String& text, juce::int64 maxBytes)
{
    text = {};

    if (! isReadableFile (file, maxBytes))
        return false;

    juce::FileInputStream in (file);
    juce::MemoryBlock data;

    if (! in.openedOk())
        return false;

    in.readIntoMemoryBlock (data, static_cast<ssize_t> (maxBytes + 1));

    if (in.getStatus().failed() || static_cast<juce::int64> (data.getSize()) > maxBytes)
        return false;

    text = juce::String::createStringFromData (data.getData(), static_cast<int> (data.getSize()));
    return true;
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    return parseGuarded (text, false);
}

std::unique_ptr<juce::XmlElement> parseOuterElement (const juce::String& text)
{
    return parseGuarded (text, true);
}

std::unique_ptr<juce::XmlElement> parseBinary (const void* data, int sizeInBytes, int maxTextBytes)
{
    // The block: the toolkit's magic number, the text's length, the UTF-8 text.
    constexpr juce::uint32 magic = 0x21324356;
    constexpr int headerSize = 8;

    if (data == nullptr || sizeInBytes <= headerSize || juce::ByteOrder::littleEndianInt (data) != magic)
        return nullptr;

    const auto storedLength = static_cast<int> (juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4)));

    if (storedLength <= 0)
        return nullptr;

    const auto length = juce::jmin (sizeInBytes - headerSize, storedLength);

    if (length > maxTextBytes)
        return nullptr;

    return parse (juce::String::fromUTF8 (static_cast<const char*> (data) + headerSize, length));
}

juce::File fileFromPath (const juce::String& path)
{
    // juce::File asserts on a relative path; a damaged file must not trigger that.
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}

bool readIntAttribute (const juce::XmlElement& element, juce::StringRef name, int defaultValue, int& result)
{
    if (! element.hasAttribute (name))
    {
        result = defaultValue;
        return true;
    }

    const auto text = element.getStringAttribute (name);

    if (! std::isfinite (text.getDoubleValue()))
        return false;

    result = text.getIntValue();
    return true;
}
} // namespace XmlFiles
