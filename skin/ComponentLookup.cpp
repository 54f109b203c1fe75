#include "skin/ComponentLookup.h"

juce::Component* findChildComponentByName (const juce::Component& parent, const juce::String& name, bool recursive)
{
    for (auto* child : parent.getChildren())
        if (child->getName() == name)
            return child;

    if (recursive)
        for (auto* child : parent.getChildren())
            if (auto* found = findChildComponentByName (*child, name, true))
                return found;

    return nullptr;
}
