#include "framework/BundleResources.h"

#include "TarvelinResources.h"

namespace
{
const char* findEmbeddedResource (const juce::String& baseName, const juce::String& extension, int& size)
{
    const auto wanted = extension.isEmpty() ? baseName : baseName + "." + extension;

    for (int i = 0; i < TarvelinResources::namedResourceListSize; ++i)
    {
        const auto* resourceName = TarvelinResources::namedResourceList[i];

        if (wanted == juce::String (TarvelinResources::getNamedResourceOriginalFilename (resourceName)))
            return TarvelinResources::getNamedResource (resourceName, size);
    }

    size = 0;
    return nullptr;
}
} // namespace

std::unique_ptr<juce::MemoryBlock> loadBundleResource (const juce::String& fileName)
{
    const auto dot = fileName.lastIndexOfChar ('.');
    const auto baseName = dot < 0 ? fileName : fileName.substring (0, dot);
    const auto extension = dot < 0 ? juce::String() : fileName.substring (dot + 1);

    if (baseName.isEmpty())
        return nullptr;

    int size = 0;
    const auto* data = findEmbeddedResource (baseName, extension, size);

    if (data == nullptr)
        return nullptr;

    if (size <= 0)
        return std::make_unique<juce::MemoryBlock>();

    return std::make_unique<juce::MemoryBlock> (data, static_cast<size_t> (size));
}

juce::String loadBundleResourceAsString (const juce::String& fileName)
{
    const auto block = loadBundleResource (fileName);

    if (block == nullptr)
        return {};

    return juce::String::fromUTF8 (static_cast<const char*> (block->getData()),
                                   static_cast<int> (block->getSize()));
}

juce::Image loadBundleResourceAsImage (const juce::String& fileName)
{
    // The embedded pictures never change: every editor shares one decoded copy
    // (the skin's strips take tens of milliseconds to decode), which the
    // toolkit's image cache lets go a while after the last user.
    const auto cacheKey = juce::String ("TarvelinResources/" + fileName).hashCode64();

    if (auto cached = juce::ImageCache::getFromHashCode (cacheKey); cached.isValid())
        return cached;

    const auto block = loadBundleResource (fileName);

    if (block == nullptr || block->getSize() == 0)
        return {};

    auto image = juce::ImageFileFormat::loadFrom (block->getData(), block->getSize());

    if (image.isValid())
        juce::ImageCache::addImageToCache (image, cacheKey);

    return image;
}
