#pragma once

#include <juce_core/juce_core.h>

/**
    The tags of a preset: keys in order, each with its own list of values.

    Their text form, as the "tags" attribute of a preset holds it, is one entry
    per key separated by ";", each entry the key, ":" and the values separated
    by "|": "style:acid|techno;mood:dark". There is no quoting, so a key or value
    can hold none of the three separators.
*/
class PresetTags
{
public:
    PresetTags() = default;

    /** Parses the text form. Every piece between separators counts, empty ones
        included; a piece without ":" is taken as values under an empty key. */
    explicit PresetTags (const juce::String& text);

    PresetTags (const PresetTags& other);
    PresetTags& operator= (const PresetTags& other);

    /** The text form: entries in order, no trailing separator. */
    juce::String toString() const;

    int getNumKeys() const noexcept { return keys.size(); }
    bool isEmpty() const noexcept { return keys.isEmpty(); }

    /** Empty when the index is out of range. */
    juce::String getKey (int index) const;

    /** The values of the entry at an index; an empty list when out of range. */
    juce::StringArray getValues (int index) const;

    /** Appends an entry; keys are not checked for duplicates. */
    void add (const juce::String& key, const juce::StringArray& keyValues);

    void clear();

private:
    juce::StringArray keys;
    juce::OwnedArray<juce::StringArray> values;
};
