#pragma once

#include "framework/XmlHelpers.h"

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

/*  Sizes and positions read from "skin.xml". A damaged skin may give any
    number; keeping them within a screen's reach keeps every sum the toolkit
    makes of them (right edges, offsets, areas) from overflowing.
*/
namespace SkinGeometry
{
constexpr int maxExtent = 32768;

/** A width or height: 0 to maxExtent. */
inline int clampSize (int value) noexcept                 { return juce::jlimit (0, maxExtent, value); }

/** A coordinate: -maxExtent to maxExtent. */
inline int clampPosition (int value) noexcept             { return juce::jlimit (-maxExtent, maxExtent, value); }

inline int readSize (const juce::XmlElement& element, juce::StringRef attribute, int defaultValue = 0)
{
    return clampSize (element.getIntAttribute (attribute, defaultValue));
}

inline int readPosition (const juce::XmlElement& element, juce::StringRef attribute, int defaultValue = 0)
{
    return clampPosition (element.getIntAttribute (attribute, defaultValue));
}

/** A control's box from its element's "pos" ("left", "top") and "size"
    ("width", "height"); where a child is missing the fallback's values stay. */
inline juce::Rectangle<int> readBox (const juce::XmlElement& element, juce::Rectangle<int> fallback)
{
    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
        fallback.setPosition (readPosition (*pos, "left"), readPosition (*pos, "top"));

    if (const auto* size = XmlHelpers::findChild (element, "size"))
        fallback.setSize (readSize (*size, "width"), readSize (*size, "height"));

    return fallback;
}

/** A position moved by an offset, both already clamped, kept in range. */
inline int offsetPosition (int position, int offset) noexcept
{
    return clampPosition (clampPosition (position) + clampPosition (offset));
}
} // namespace SkinGeometry
