#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The editors' way of finding a skin control by its component name (exact,
    case included). Without recursion, the first direct child of that name.
    With it, at each level the direct children first, in child order, then each
    child's subtree by the same rule: a name near the top shadows the same name
    deeper down. Null when none has the name. */
juce::Component* findChildComponentByName (const juce::Component& parent, const juce::String& name, bool recursive);
