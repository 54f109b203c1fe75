#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/*  Tag tests for the framework's XML readers. juce::XmlElement::hasTagName
    ignores case but asserts on a case mismatch in debug builds, which a damaged
    or hand-edited file must never trigger; these say which comparison is meant.
*/
namespace XmlHelpers
{
/** The tag matches ignoring case, as the toolkit's own tag test does. */
inline bool tagMatches (const juce::XmlElement& element, juce::StringRef tag)
{
    return element.getTagName().equalsIgnoreCase (tag);
}

/** The tag matches exactly, case included. */
inline bool tagIs (const juce::XmlElement& element, juce::StringRef tag)
{
    return element.getTagName() == juce::String (tag);
}

/** Calls the function on every child element whose tag matches ignoring case, in document order. */
template <typename Function>
void forEachChildNamed (const juce::XmlElement& parent, juce::StringRef tag, Function&& function)
{
    for (auto* child : parent.getChildIterator())
        if (tagMatches (*child, tag))
            function (*child);
}

/** The first child whose tag matches ignoring case, or null. */
inline juce::XmlElement* findChild (const juce::XmlElement& parent, juce::StringRef tag)
{
    for (auto* child : parent.getChildIterator())
        if (tagMatches (*child, tag))
            return child;

    return nullptr;
}
} // namespace XmlHelpers
