#include "PanelFonts.h"

namespace
{
juce::Typeface::Ptr loadTypeface (const juce::File& file)
{
    juce::MemoryBlock data;

    if (! file.loadFileAsData (data) || data.getSize() == 0)
        return nullptr;

    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}
} // namespace

bool PanelFonts::load (const juce::File& folder, juce::String& error)
{
    regular = loadTypeface (folder.getChildFile ("DejaVuSans.ttf"));
    heavy = loadTypeface (folder.getChildFile ("DejaVuSans-Bold.ttf"));

    if (regular == nullptr || heavy == nullptr)
    {
        error = "DejaVu Sans (DejaVuSans.ttf and DejaVuSans-Bold.ttf) not found in " + folder.getFullPathName();
        return false;
    }

    return true;
}

juce::Font PanelFonts::plain (float pixels) const
{
    return atEmSize (regular, pixels);
}

juce::Font PanelFonts::bold (float pixels) const
{
    return atEmSize (heavy, pixels);
}

juce::Font PanelFonts::atEmSize (const juce::Typeface::Ptr& typeface, float pixels)
{
    // A JUCE font's height spans ascender to descender; the em is the size
    // people mean. DejaVu Sans has 2048 units to the em and 2384 between them.
    constexpr float emPerHeight = 2048.0f / 2384.0f;
    return juce::Font (typeface).withHeight (pixels / emPerHeight);
}
