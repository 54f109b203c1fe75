#include "widgets/InterfaceTypefaces.h"

#include "framework/BundleResources.h"

const char* const InterfaceTypefaces::familyName = "Tahoma";

namespace
{
// JUCE's FreeType face keeps its own copy of the font data.
juce::Typeface::Ptr createEmbeddedFace (const juce::String& fileName)
{
    const auto data = loadBundleResource (fileName);

    if (data == nullptr || data->getSize() == 0)
        return {};

    return juce::Typeface::createSystemTypefaceFor (data->getData(), data->getSize());
}
} // namespace

InterfaceTypefaces::InterfaceTypefaces()
    : regular (createEmbeddedFace ("DejaVuSans.ttf")),
      bold (createEmbeddedFace ("DejaVuSans-Bold.ttf"))
{
    juce::LookAndFeel::setDefaultLookAndFeel (this);

    // Faces already resolved under the old default would stay in JUCE's cache.
    juce::Typeface::clearTypefaceCache();
}

InterfaceTypefaces::~InterfaceTypefaces()
{
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == this)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);

    juce::Typeface::clearTypefaceCache();
}

juce::Typeface::Ptr InterfaceTypefaces::getTypefaceForFont (const juce::Font& font)
{
    const auto name = font.getTypefaceName();

    if (regular != nullptr && (name == familyName || name == juce::Font::getDefaultSansSerifFontName()))
        return font.isBold() && bold != nullptr ? bold : regular;

    return juce::LookAndFeel_V4::getTypefaceForFont (font);
}

bool InterfaceTypefaces::hasEmbeddedFaces() const noexcept
{
    return regular != nullptr && bold != nullptr;
}

juce::Font InterfaceTypefaces::font (float height, int styleFlags)
{
    return juce::Font (familyName, height, styleFlags);
}
