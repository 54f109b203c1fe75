#include "framework/PresetTags.h"

#include "framework/TextHelpers.h"

PresetTags::PresetTags (const juce::String& text)
{
    for (const auto& piece : TextHelpers::splitAtEvery (text, ';'))
    {
        const auto colon = piece.indexOfChar (':');
        const auto key = colon >= 0 ? piece.substring (0, colon) : juce::String();
        const auto valueText = colon >= 0 ? piece.substring (colon + 1) : piece;

        add (key, TextHelpers::splitAtEvery (valueText, '|'));
    }
}

PresetTags::PresetTags (const PresetTags& other)
{
    *this = other;
}

PresetTags& PresetTags::operator= (const PresetTags& other)
{
    if (this == &other)
        return *this;

    clear();

    for (int i = 0; i < other.keys.size(); ++i)
        add (other.keys[i], *other.values.getUnchecked (i));

    return *this;
}

juce::String PresetTags::toString() const
{
    juce::StringArray entries;

    for (int i = 0; i < keys.size(); ++i)
        entries.add (keys[i] + ":" + values.getUnchecked (i)->joinIntoString ("|"));

    return entries.joinIntoString (";");
}

juce::String PresetTags::getKey (int index) const
{
    return keys[index];
}

juce::StringArray PresetTags::getValues (int index) const
{
    if (auto* list = values[index])
        return *list;

    return {};
}

void PresetTags::add (const juce::String& key, const juce::StringArray& keyValues)
{
    keys.add (key);
    values.add (new juce::StringArray (keyValues));
}

void PresetTags::clear()
{
    keys.clear();
    values.clear();
}
