#pragma once

#include <juce_core/juce_core.h>

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

/** A position moved by an offset, both already clamped, kept in range. */
inline int offsetPosition (int position, int offset) noexcept
{
    return clampPosition (clampPosition (position) + clampPosition (offset));
}
} // namespace SkinGeometry
