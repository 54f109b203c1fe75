#include "framework/XmlFiles.h"

#include <cmath>

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
    if (! file.existsAsFile())
        return nullptr;

    return parse (file.loadFileAsString());
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    if (text.isEmpty())
        return nullptr;

    return juce::parseXML (text);
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
