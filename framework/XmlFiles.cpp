#include "framework/XmlFiles.h"

#include <cmath>
#include <cstring>
#include <filesystem>

namespace
{
// Far beyond any file the plug-in writes (a pattern bank is about 200 KB).
constexpr juce::int64 maximumFileSize = 64 * 1024 * 1024;

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

std::unique_ptr<juce::XmlElement> parseGuarded (const juce::String& text, bool outerElementOnly)
{
    if (text.isEmpty() || ! isValidUtf8 (text) || trapsTheParser (text))
        return nullptr;

    juce::XmlDocument document (text);
    return document.getDocumentElement (outerElementOnly);
}
} // namespace

namespace XmlFiles
{
bool write (const juce::XmlElement& element, const juce::File& file)
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

std::unique_ptr<juce::XmlElement> read (const juce::File& file)
{
    // Only regular files of a sensible size: a settings file may name a device
    // such as /dev/zero, which would be read without end.
    std::error_code error;
    const std::filesystem::path path (file.getFullPathName().toStdString());

    if (! std::filesystem::is_regular_file (path, error) || file.getSize() > maximumFileSize)
        return nullptr;

    return parse (file.loadFileAsString());
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    return parseGuarded (text, false);
}

std::unique_ptr<juce::XmlElement> parseOuterElement (const juce::String& text)
{
    return parseGuarded (text, true);
}

std::unique_ptr<juce::XmlElement> parseBinary (const void* data, int sizeInBytes)
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
