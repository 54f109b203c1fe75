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

    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);

    if (! element.writeTo (temporary.getFile(), format))
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
