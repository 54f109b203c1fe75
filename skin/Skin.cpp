#include "skin/Skin.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"
#include "skin/GFXPanel.h"
#include "skin/SkinImageDecoder.h"

#include <juce_cryptography/juce_cryptography.h>

#include <algorithm>
#include <unordered_set>

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

/** The toolkit builds every entry that the last end record in the
    archive's last megabyte declares, converting each one's date in the
    local time zone, which costs a few microseconds an entry. False when an
    end record there may declare more than maxEntries. */
bool declaresAtMost (const juce::MemoryBlock& data, int maxEntries)
{
    const auto size = data.getSize();
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const size_t searched = 1024 * 1024 + endOfCentralDirectorySize;

    for (auto pos = size > searched ? size - searched : size_t { 0 }; pos + 4 <= size; ++pos)
        if (readLittleEndian32 (bytes + pos) == endOfCentralDirectorySignature
            && (pos + 12 > size || juce::ByteOrder::littleEndianShort (bytes + pos + 10) > maxEntries))
            return false;

    return true;
}

/** The elements of an XML text, or more: every "<" that starts a tag name. */
int countElementStarts (const juce::MemoryBlock& text)
{
    const auto* bytes = static_cast<const juce::uint8*> (text.getData());
    auto count = 0;

    for (size_t i = 0; i + 1 < text.getSize(); ++i)
        if (bytes[i] == '<' && (juce::CharacterFunctions::isLetter (static_cast<char> (bytes[i + 1]))
                                || bytes[i + 1] == '_' || bytes[i + 1] == ':' || bytes[i + 1] >= 0x80))
            ++count;

    return count;
}

/** An entry inflated into memory, up to one byte past the limit so that a
    declared size that lies is told; null when absent, unreadable or declared
    larger than the limit. */
std::unique_ptr<juce::MemoryBlock> inflateEntry (juce::ZipFile& archive, int index, juce::int64 maxBytes)
{
    if (index < 0)
        return nullptr;

    const auto* entry = archive.getEntry (index);

    if (entry == nullptr || entry->uncompressedSize > maxBytes)
        return nullptr;

    std::unique_ptr<juce::InputStream> stream (archive.createStreamForEntry (index));

    if (stream == nullptr)
        return nullptr;

    auto block = std::make_unique<juce::MemoryBlock>();
    stream->readIntoMemoryBlock (*block, static_cast<ssize_t> (maxBytes + 1));
    return block;
}

/** An entry read whole into memory; null when absent, unreadable or larger than the limit. */
std::unique_ptr<juce::MemoryBlock> readEntry (juce::ZipFile& archive, int index, juce::int64 maxBytes)
{
    auto block = inflateEntry (archive, index, maxBytes);

    if (block == nullptr || static_cast<juce::int64> (block->getSize()) > maxBytes)
        return nullptr;

    return block;
}

/** The inner archive's bytes, telling where the archive reader last moved
    to: opening an entry's stream moves to its local header. */
class PositionRecordingStream : public juce::MemoryInputStream
{
public:
    explicit PositionRecordingStream (const juce::MemoryBlock& bytes) : juce::MemoryInputStream (bytes, false) {}

    bool setPosition (juce::int64 newPosition) override
    {
        lastPosition = newPosition;
        return juce::MemoryInputStream::setPosition (newPosition);
    }

    juce::int64 lastPosition = -1;
};

/** Central records that point at one local entry would have it inflated
    once for each of their names: false when two of them do. Each entry's
    local header is where the archive reader itself goes for it. */
bool localEntriesAreDistinct (juce::ZipFile& archive, PositionRecordingStream& source)
{
    std::unordered_set<juce::int64> localEntries;

    for (int i = 0; i < archive.getNumEntries(); ++i)
    {
        source.lastPosition = -1;
        const std::unique_ptr<juce::InputStream> stream (archive.createStreamForEntry (i));

        if (! localEntries.insert (source.lastPosition).second)
            return false;
    }

    return true;
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

    // The package holds little besides its ".skin" entry. A pipe or a device
    // under the package's name would pass a test of existence and size, and
    // the archive reader would wait on it or read it without end.
    if (! XmlFiles::isReadableFile (file, maxSkinArchiveBytes + maxEntryBytes))
        return false;

    juce::ZipFile packageArchive (file);
    const auto digestEntry = readEntry (packageArchive, packageArchive.getIndexOfFileName (name + ".md5"), digestLength);

    if (digestEntry == nullptr)
        return false;

    // Read once: the digest and the inner archive use the same bytes, and a
    // deflated entry would be slow to seek in.
    auto skinEntry = readEntry (packageArchive, packageArchive.getIndexOfFileName (name + ".skin"), maxSkinArchiveBytes);

    if (skinEntry == nullptr || ! hasEndOfCentralDirectory (*skinEntry) || ! declaresAtMost (*skinEntry, maxSkinArchiveEntries)
        || ! digestMatches (*digestEntry, *skinEntry))
        return false;

    skinData = std::move (*skinEntry);
    auto* archiveBytes = new PositionRecordingStream (skinData);
    auto archive = std::make_unique<juce::ZipFile> (archiveBytes, true);

    if (! localEntriesAreDistinct (*archive, *archiveBytes))
        return false;

    skinArchive = std::move (archive);

    for (int i = 0; i < skinArchive->getNumEntries(); ++i)
        skinEntries.emplace (skinArchive->getEntry (i)->filename, i);

    return true;
}

std::unique_ptr<juce::MemoryBlock> Skin::readSkinEntry (const juce::String& entryName)
{
    if (overBudget || ! openPackage() || entryName.isEmpty())
        return nullptr;

    const auto entry = skinEntries.find (entryName);

    if (entry == skinEntries.end())
        return nullptr;

    const auto allowance = maxInflatedBytes - inflatedBytes;
    const auto* details = skinArchive->getEntry (entry->second);

    // An entry that declares more than any entry may hold is unreadable; one
    // that only passes what is left of the budget ends the package.
    if (details->uncompressedSize > maxEntryBytes)
        return nullptr;

    if (details->uncompressedSize > allowance)
    {
        refuseOverBudget (getInflationWarning());
        return nullptr;
    }

    auto block = inflateEntry (*skinArchive, entry->second, std::min (maxEntryBytes, allowance));

    if (block == nullptr)
        return nullptr;

    const auto size = static_cast<juce::int64> (block->getSize());
    inflatedBytes += std::min (size, allowance);

    if (size > allowance)
    {
        refuseOverBudget (getInflationWarning());
        return nullptr;
    }

    return size <= maxEntryBytes ? std::move (block) : nullptr;
}

juce::String Skin::getInflationWarning() const
{
    return "The entries of the skin \"" + name + "\" inflate to more than "
         + juce::String (maxInflatedBytes / (1024 * 1024)) + " MB: the skin is not loaded";
}

void Skin::refuseOverBudget (const juce::String& warning)
{
    if (overBudget)
        return;

    overBudget = true;
    budgetWarning = warning;
    addWarning (warning);
}

//==============================================================================
juce::Image Skin::getPackageImage (const juce::String& fileName)
{
    juce::String refusal;
    return readPackageImage (fileName, refusal);
}

juce::Image Skin::readPackageImage (const juce::String& fileName, juce::String& refusal)
{
    if (const auto known = packageImages.find (fileName); known != packageImages.end())
        return known->second;

    juce::Image image;

    if (const auto data = readSkinEntry (fileName))
    {
        const auto cost = SkinImageDecoder::measure (data->getData(), data->getSize());
        refusal = cost.refusal;

        if (cost.bytes > maxDecodedBytes - decodedBytes)
        {
            refuseOverBudget ("The pictures of the skin \"" + name + "\" need more than "
                              + juce::String (maxDecodedBytes / (1024 * 1024)) + " MB: the skin is not loaded");
        }
        else if (cost.work > maxDecodeWork - decodeWork)
        {
            refuseOverBudget ("The pictures of the skin \"" + name + "\" take too long to decode: the skin is not loaded");
        }
        else
        {
            decodedBytes += cost.bytes;
            decodeWork += cost.work;
            image = SkinImageDecoder::decode (data->getData(), data->getSize());
        }
    }

    if (overBudget)
        return {};

    packageImages[fileName] = image;
    return image;
}

juce::Image Skin::getImage (const juce::String& fileName)
{
    if (fileName.isEmpty())
        return {};

    auto& cache = source == Source::package ? packageImages : resourceImages;
    const auto firstRequest = cache.find (fileName) == cache.end();
    juce::String refusal;

    const auto image = source == Source::package ? readPackageImage (fileName, refusal) : [&]
    {
        if (! firstRequest)
            return resourceImages[fileName];

        return resourceImages[fileName] = loadBundleResourceAsImage (fileName);
    }();

    if (firstRequest && ! image.isValid() && ! overBudget)
        addWarning ("The picture \"" + fileName + "\" " + (refusal.isNotEmpty() ? refusal : "is missing or cannot be decoded"));

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
        {
            // Counted before the parse, which takes a hundred bytes an element.
            if (countElementStarts (*text) > maxDescriptionElements)
                warnings = juce::StringArray ("The description of the skin \"" + name + "\" has more than "
                                              + juce::String (maxDescriptionElements) + " elements: the skin is not loaded");
            else if (const auto root = XmlFiles::parse (juce::String::createStringFromData (text->getData(), static_cast<int> (text->getSize()))))
                panel = createPanelFromXml (*root);
        }

        // Only the reason it was refused is left to tell.
        if (overBudget)
        {
            panel.reset();
            warnings = juce::StringArray (budgetWarning);
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
            if (GFXPanel::countControls (*element, GFXPanel::maxControls) > GFXPanel::maxControls)
            {
                warnings = juce::StringArray ("The skin \"" + name + "\" has more than " + juce::String (GFXPanel::maxControls)
                                              + " controls: the skin is not loaded");
                return nullptr;
            }

            auto panel = std::make_unique<GFXPanel> ("MainEditorPanel");
            panel->loadFromXml (*element, *this);
            return panel;
        }
    }

    return nullptr;
}
