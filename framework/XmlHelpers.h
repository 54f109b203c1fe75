#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

/*  Tag tests for the framework's XML readers, the children a reader applies,
    and a list that writers build children in. juce::XmlElement::hasTagName
    ignores case but asserts on a case mismatch in debug builds, which a damaged
    or hand-edited file must never trigger; these say which comparison is meant.
*/
namespace XmlHelpers
{
/** The tag matches ignoring case, as the toolkit's own tag test does. */
inline bool tagMatches (const juce::XmlElement& element, juce::StringRef tag)
{
    // The toolkit folds every character through the C library, which is slow,
    // and a state's readers test each child of its root against several tags.
    // ASCII is compared here; a name with anything else goes to the toolkit.
    const auto& name = element.getTagName();
    const auto* a = name.toRawUTF8();
    const auto* b = tag.text.getAddress();

    const auto lower = [] (unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char> (c + 32) : c; };

    for (;; ++a, ++b)
    {
        const auto ca = static_cast<unsigned char> (*a);
        const auto cb = static_cast<unsigned char> (*b);

        if (ca >= 0x80 || cb >= 0x80)
            return name.equalsIgnoreCase (tag);

        if (lower (ca) != lower (cb))
            return false;

        if (ca == 0)
            return true;
    }
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

/** The last child whose tag matches ignoring case, or null. */
inline juce::XmlElement* findLastChild (const juce::XmlElement& parent, juce::StringRef tag)
{
    juce::XmlElement* last = nullptr;

    for (auto* child : parent.getChildIterator())
        if (tagMatches (*child, tag))
            last = child;

    return last;
}

/** Of the children that kindOf sorts into kinds 0 to numKinds - 1 (-1 for
    none), the last of each kind, in document order: what a reader applying
    every child in turn ends with, when a later child of a kind overrides an
    earlier one. A reader that applies only these costs the same however often
    a file repeats an element whose every application is real work (a switch
    that republishes the sequencer's displays, a bank that resets every slot).
*/
template <typename KindOf>
std::vector<juce::XmlElement*> lastOfEachKind (const juce::XmlElement& parent, int numKinds, KindOf&& kindOf)
{
    struct Last
    {
        juce::XmlElement* element = nullptr;
        int position = 0;
    };

    std::vector<Last> last (static_cast<size_t> (juce::jmax (0, numKinds)));
    int position = 0;

    for (auto* child : parent.getChildIterator())
    {
        if (const int kind = kindOf (*child); juce::isPositiveAndBelow (kind, numKinds))
            last[static_cast<size_t> (kind)] = { child, position };

        ++position;
    }

    std::sort (last.begin(), last.end(), [] (const Last& a, const Last& b) { return a.position < b.position; });
    std::vector<juce::XmlElement*> chosen;

    for (const auto& entry : last)
        if (entry.element != nullptr)
            chosen.push_back (entry.element);

    return chosen;
}

/** lastOfEachKind with a kind per tag, matched ignoring case. */
inline std::vector<juce::XmlElement*> lastOfEachTag (const juce::XmlElement& parent, std::initializer_list<const char*> tags)
{
    return lastOfEachKind (parent, static_cast<int> (tags.size()), [&tags] (const juce::XmlElement& child)
    {
        int kind = 0;

        for (const auto* tag : tags)
        {
            if (tagMatches (child, tag))
                return kind;

            ++kind;
        }

        return -1;
    });
}

/** Children made in order and handed to their parent at once. The toolkit's
    addChildElement and createNewChildElement walk the parent's whole list for
    every child they add, so a list whose length a file chooses (a bank's
    groups) would cost the square of that length.
*/
class ChildList
{
public:
    /** A new element with the tag at the end of the list. */
    juce::XmlElement* add (juce::StringRef tag) { return add (std::make_unique<juce::XmlElement> (tag)); }

    /** Takes the element to the end of the list; a null one is ignored. */
    juce::XmlElement* add (std::unique_ptr<juce::XmlElement> child)
    {
        if (child == nullptr)
            return nullptr;

        children.push_back (std::move (child));
        return children.back().get();
    }

    /** Puts the elements after the parent's own children, in order, and empties
        the list. Each goes in at the same index, last first, so the parent's
        own children are walked once per element: keep those few. */
    void appendTo (juce::XmlElement& parent)
    {
        const auto held = parent.getNumChildElements();

        for (auto child = children.rbegin(); child != children.rend(); ++child)
            parent.insertChildElement (child->release(), held);

        children.clear();
    }

private:
    std::vector<std::unique_ptr<juce::XmlElement>> children;
};
} // namespace XmlHelpers
