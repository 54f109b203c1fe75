#include "skin/Skin.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"
#include "skin/GFXPanel.h"

#include <juce_cryptography/juce_cryptography.h>

namespace
{
constexpr juce::uint32 endOfCentralDirectorySignature = 0x06054b50;
constexpr size_t endOfCentralDirectorySize = 22;
constexpr size_t maxZipCommentSize = 65535;
constexpr int digestLength = 32;

juce::uint32 readLittleEndian32 (const juce::uint8* bytes) noexcept
{
    return static_cast<juce::uint32> (bytes[0]) | (static_cast<juce::uint32> (bytes[1]) << 8)
         | (static_cast<juce::uint32> (bytes[2]) << 16) | (static_cast<juce::uint32> (bytes[3]) << 24);
}

/** The toolkit reads bytes that are no zip archive as an empty one; a real
    archive ends with this record, at most a comment's length from the end. */
bool hasEndOfCentralDirectory (const juce::MemoryBlock& data)
{
    const auto size = data.getSize();

    if (size < endOfCentralDirectorySize)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto lowest = size > endOfCentralDirectorySize + maxZipCommentSize
                            ? size - endOfCentralDirectorySize - maxZipCommentSize : size_t { 0 };

    for (auto pos = size - endOfCentralDirectorySize + 1; pos-- > lowest;)
        if (readLittleEndian32 (bytes + pos) == endOfCentralDirectorySignature)
            return true;

    return false;
}

/** An entry read whole into memory; null when absent, unreadable or larger than the limit. */
std::unique_ptr<juce::MemoryBlock> readEntry (juce::ZipFile& archive, const juce::String& entryName, juce::int64 maxBytes)
{
    const auto index = archive.getIndexOfFileName (entryName, false);

    if (index < 0)
        return nullptr;

    if (const auto* entry = archive.getEntry (index); entry == nullptr || entry->uncompressedSize > maxBytes)
        return nullptr;

    std::unique_ptr<juce::InputStream> stream (archive.createStreamForEntry (index));

    if (stream == nullptr)
        return nullptr;

    // The declared size may lie: read one byte past the limit to tell.
    auto block = std::make_unique<juce::MemoryBlock>();
    stream->readIntoMemoryBlock (*block, static_cast<ssize_t> (maxBytes + 1));

    if (static_cast<juce::int64> (block->getSize()) > maxBytes)
        return nullptr;

    return block;
}

/** The ".md5" entry must be exactly the 32 hexadecimal digits, either case:
    a line end or blank around them fails. */
bool digestMatches (const juce::MemoryBlock& digestEntry, const juce::MemoryBlock& skinData)
{
    if (digestEntry.getSize() != static_cast<size_t> (digestLength))
        return false;

    const auto expected = juce::MD5 (skinData.getData(), skinData.getSize()).toHexString();
    const auto* stored = static_cast<const char*> (digestEntry.getData());

    for (int i = 0; i < digestLength; ++i)
    {
        const auto c = static_cast<juce::juce_wchar> (static_cast<unsigned char> (stored[i]));

        if (juce::CharacterFunctions::getHexDigitValue (c) < 0
            || juce::CharacterFunctions::toLowerCase (c) != expected[i])
            return false;
    }

    return true;
}

//==============================================================================
// The size a picture declares, read before it is decoded: the decoders
// allocate whatever the header says.

bool readPngSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    static const juce::uint8 signature[] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    if (size < 24 || std::memcmp (bytes, signature, sizeof (signature)) != 0 || std::memcmp (bytes + 12, "IHDR", 4) != 0)
        return false;

    width = juce::ByteOrder::bigEndianInt (bytes + 16);
    height = juce::ByteOrder::bigEndianInt (bytes + 20);
    return true;
}

bool readJpegSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    if (size < 4 || bytes[0] != 0xff || bytes[1] != 0xd8)
        return false;

    size_t pos = 2;

    while (pos + 4 <= size)
    {
        if (bytes[pos] != 0xff)
            return false;

        const auto marker = bytes[pos + 1];

        if (marker == 0xff)
        {
            ++pos; // fill byte
            continue;
        }

        if (marker == 0xd9)
            return false; // the end of the picture before any frame header

        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8))
        {
            pos += 2;
            continue;
        }

        const size_t length = juce::ByteOrder::bigEndianShort (bytes + pos + 2);
        const auto isFrameHeader = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;

        if (isFrameHeader)
        {
            if (pos + 9 > size)
                return false;

            height = juce::ByteOrder::bigEndianShort (bytes + pos + 5);
            width = juce::ByteOrder::bigEndianShort (bytes + pos + 7);
            return true;
        }

        if (length < 2)
            return false;

        pos += 2 + length;
    }

    return false;
}

/** The toolkit's GIF reader sizes its image by the first image descriptor. */
bool readGifSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    if (size < 13 || (std::memcmp (bytes, "GIF87a", 6) != 0 && std::memcmp (bytes, "GIF89a", 6) != 0))
        return false;

    width = juce::ByteOrder::littleEndianShort (bytes + 6);
    height = juce::ByteOrder::littleEndianShort (bytes + 8);
    size_t pos = 13;

    if ((bytes[10] & 0x80) != 0)
        pos += 3 * (size_t { 2 } << (bytes[10] & 7));

    while (pos < size)
    {
        const auto introducer = bytes[pos++];

        if (introducer == ';')
            return true;

        if (introducer == '!')
        {
            ++pos; // label

            while (pos < size && bytes[pos] != 0)
                pos += size_t { 1 } + bytes[pos];

            ++pos;
            continue;
        }

        if (introducer == ',')
        {
            if (pos + 9 > size)
                return true;

            // The decoder sizes its image by this descriptor alone.
            width = juce::ByteOrder::littleEndianShort (bytes + pos + 4);
            height = juce::ByteOrder::littleEndianShort (bytes + pos + 6);
            return true;
        }
    }

    return true;
}

bool readDeclaredSize (const void* data, size_t size, juce::int64& width, juce::int64& height)
{
    const auto* bytes = static_cast<const juce::uint8*> (data);
    return readPngSize (bytes, size, width, height)
        || readJpegSize (bytes, size, width, height)
        || readGifSize (bytes, size, width, height);
}
} // namespace

//==============================================================================
Skin::Skin (Editor& ownerEditor, const juce::String& skinName)
    : editor (ownerEditor), name (skinName)
{
}

Skin::~Skin()
{
    // The inner archive reads from skinData.
    skinArchive.reset();
}

ParameterManager& Skin::getParameterManager() const
{
    return editor.getParameterManager();
}

GuiEventsMap& Skin::getEventsMap() const
{
    return editor.getEventsMap();
}

void Skin::addWarning (const juce::String& warning)
{
    warnings.add (warning);
}

juce::File Skin::getPackageFile (const juce::File& skinsDirectory, const juce::String& skinName)
{
    if (skinName.isEmpty() || skinName.containsChar ('/') || skinName.containsChar ('\\') || skinName.contains ("..")
        || juce::File::isAbsolutePath (skinName) || skinsDirectory == juce::File())
        return {};

    const auto file = skinsDirectory.getChildFile (skinName).withFileExtension (packageExtension);

    // "." or a name that the path rules read otherwise must not leave the folder.
    if (file.getParentDirectory() != skinsDirectory)
        return {};

    return file;
}

bool Skin::isValidPackage (Editor& editor, const juce::String& skinName)
{
    if (skinName.isEmpty())
        return false;

    Skin skin (editor, skinName);
    return skin.openPackage();
}

bool Skin::openPackage()
{
    if (packageOpened)
        return skinArchive != nullptr;

    packageOpened = true;

    const auto file = getPackageFile (editor.getSkinsDirectory(), name);

    // The package holds little besides its ".skin" entry.
    if (! file.existsAsFile() || file.getSize() > maxSkinArchiveBytes + maxEntryBytes)
        return false;

    juce::ZipFile packageArchive (file);
    const auto digestEntry = readEntry (packageArchive, name + ".md5", digestLength);

    if (digestEntry == nullptr)
        return false;

    // Read once: the digest and the inner archive use the same bytes, and a
    // deflated entry would be slow to seek in.
    auto skinEntry = readEntry (packageArchive, name + ".skin", maxSkinArchiveBytes);

    if (skinEntry == nullptr || ! digestMatches (*digestEntry, *skinEntry) || ! hasEndOfCentralDirectory (*skinEntry))
        return false;

    skinData = std::move (*skinEntry);
    skinArchive = std::make_unique<juce::ZipFile> (new juce::MemoryInputStream (skinData, false), true);
    return true;
}

std::unique_ptr<juce::MemoryBlock> Skin::readSkinEntry (const juce::String& entryName)
{
    if (! openPackage() || entryName.isEmpty())
        return nullptr;

    return readEntry (*skinArchive, entryName, maxEntryBytes);
}

//==============================================================================
juce::Image Skin::decodeImage (const void* data, size_t size)
{
    juce::int64 width = 0, height = 0;

    if (data == nullptr || ! readDeclaredSize (data, size, width, height))
        return {};

    if (width < 1 || height < 1 || width > maxImageSide || height > maxImageSide || width * height > maxImagePixels)
        return {};

    return juce::ImageFileFormat::loadFrom (data, size);
}

juce::Image Skin::getPackageImage (const juce::String& fileName)
{
    if (const auto known = packageImages.find (fileName); known != packageImages.end())
        return known->second;

    juce::Image image;

    if (const auto data = readSkinEntry (fileName))
        image = decodeImage (data->getData(), data->getSize());

    packageImages[fileName] = image;
    return image;
}

juce::Image Skin::getImage (const juce::String& fileName)
{
    if (fileName.isEmpty())
        return {};

    auto& cache = source == Source::package ? packageImages : resourceImages;
    const auto firstRequest = cache.find (fileName) == cache.end();

    const auto image = source == Source::package ? getPackageImage (fileName) : [&]
    {
        if (! firstRequest)
            return resourceImages[fileName];

        return resourceImages[fileName] = loadBundleResourceAsImage (fileName);
    }();

    if (firstRequest && ! image.isValid())
        addWarning ("The picture \"" + fileName + "\" is missing or cannot be decoded");

    return image;
}

//==============================================================================
std::unique_ptr<GFXPanel> Skin::createEditorPanel()
{
    std::unique_ptr<GFXPanel> panel;
    std::unique_ptr<juce::XmlElement> root;

    if (name.isEmpty())
    {
        source = Source::resources;
        root = XmlFiles::parse (loadBundleResourceAsString ("skin.xml"));
    }
    else
    {
        source = Source::package;

        if (const auto text = readSkinEntry ("skin.xml"))
            root = XmlFiles::parse (juce::String::createStringFromData (text->getData(), static_cast<int> (text->getSize())));
    }

    if (root != nullptr)
        panel = createPanelFromXml (*root);

    source = Source::idle;
    return panel;
}

std::unique_ptr<GFXPanel> Skin::createPanelFromXml (const juce::XmlElement& root)
{
    if (! XmlHelpers::tagMatches (root, "PluginEditor")
        || ! root.getStringAttribute ("application").equalsIgnoreCase (editor.getPluginName()))
        return nullptr;

    for (const auto* element : root.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*element, "Panel") && element->getStringAttribute ("name").equalsIgnoreCase ("MainPanel"))
        {
            auto panel = std::make_unique<GFXPanel> ("MainEditorPanel");
            panel->loadFromXml (*element, *this);
            return panel;
        }
    }

    return nullptr;
}
