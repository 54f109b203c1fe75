#include "skin/Skin.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"
#include "skin/GFXPanel.h"
#include "skin/SkinImageDecoder.h"

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

juce::MidiKeyboardState& Skin::getKeyboardState() const
{
    return editor.getKeyboardState();
}

void Skin::addWarning (const juce::String& warning)
{
    warnings.add (warning);
}

juce::File Skin::getPackageFile (const juce::File& skinsDirectory, const juce::String& skinName)
{
    if (skinName.isEmpty() || skinName == "." || skinName.containsChar ('/') || skinName.containsChar ('\\')
        || skinName.contains ("..") || juce::File::isAbsolutePath (skinName) || skinsDirectory == juce::File())
        return {};

    // Added, not replacing: the name is listed as the file name without its
    // last extension, so "Night.v2" must open "Night.v2.ulvraskin".
    const auto file = skinsDirectory.getChildFile (skinName + packageExtension);

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

    if (skinEntry == nullptr || ! hasEndOfCentralDirectory (*skinEntry) || ! digestMatches (*digestEntry, *skinEntry))
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

juce::String Skin::getBudgetWarning() const
{
    return "The pictures of the skin \"" + name + "\" need more than "
         + juce::String (maxDecodedBytes / (1024 * 1024)) + " MB: the skin is not loaded";
}

//==============================================================================
juce::Image Skin::getPackageImage (const juce::String& fileName)
{
    if (const auto known = packageImages.find (fileName); known != packageImages.end())
        return known->second;

    juce::Image image;

    if (overBudget)
        return image;

    if (const auto data = readSkinEntry (fileName))
    {
        const auto bytes = SkinImageDecoder::decodedBytes (data->getData(), data->getSize());

        if (bytes > maxDecodedBytes - decodedBytes)
        {
            overBudget = true;
            addWarning (getBudgetWarning());
            return image;
        }

        decodedBytes += bytes;
        image = SkinImageDecoder::decode (data->getData(), data->getSize());
    }

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

    if (firstRequest && ! image.isValid() && ! overBudget)
        addWarning ("The picture \"" + fileName + "\" is missing or cannot be decoded");

    return image;
}

//==============================================================================
std::unique_ptr<GFXPanel> Skin::createEditorPanel()
{
    std::unique_ptr<GFXPanel> panel;

    if (name.isEmpty())
    {
        // The embedded description never changes: it is parsed once for every editor.
        static const std::unique_ptr<const juce::XmlElement> defaultSkin = XmlFiles::parse (loadBundleResourceAsString ("skin.xml"));
        source = Source::resources;

        if (defaultSkin != nullptr)
            panel = createPanelFromXml (*defaultSkin);
    }
    else
    {
        source = Source::package;

        if (const auto text = readSkinEntry ("skin.xml"))
            if (const auto root = XmlFiles::parse (juce::String::createStringFromData (text->getData(), static_cast<int> (text->getSize()))))
                panel = createPanelFromXml (*root);

        // Only the reason it was refused is left to tell.
        if (overBudget)
        {
            panel.reset();
            warnings = juce::StringArray (getBudgetWarning());
        }
    }

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
