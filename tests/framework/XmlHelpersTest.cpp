#include "framework/XmlHelpers.h"

#include <gtest/gtest.h>

namespace
{
juce::String tagsOf (const juce::XmlElement& parent)
{
    juce::StringArray tags;

    for (const auto* child : parent.getChildIterator())
        tags.add (child->getTagName());

    return tags.joinIntoString (" ");
}
} // namespace

TEST (XmlHelpers, AChildListGoesAfterTheParentsOwnChildrenInTheOrderItWasMadeAndIsThenEmpty)
{
    juce::XmlElement parent ("Parent");
    parent.createNewChildElement ("Own1");
    parent.createNewChildElement ("Own2");

    XmlHelpers::ChildList list;
    list.add ("A")->setAttribute ("n", 1);
    EXPECT_EQ (list.add (std::unique_ptr<juce::XmlElement>()), nullptr);
    list.add (std::make_unique<juce::XmlElement> ("B"));
    list.add ("C");
    list.appendTo (parent);

    EXPECT_EQ (tagsOf (parent), "Own1 Own2 A B C");
    EXPECT_EQ (parent.getChildByName ("A")->getIntAttribute ("n"), 1);

    list.appendTo (parent);
    EXPECT_EQ (parent.getNumChildElements(), 5);

    juce::XmlElement empty ("Empty");
    list.add ("X");
    list.add ("Y");
    list.appendTo (empty);
    EXPECT_EQ (tagsOf (empty), "X Y");
}

// Tags compare ignoring the case of letters only, whole tags, and beyond
// ASCII as the toolkit compares them.
TEST (XmlHelpers, ATagMatchesIgnoringTheCaseOfItsLettersOnly)
{
    struct Row { const char* tag; const char* other; bool matches; };
    const Row rows[] = {
        { "PresetBank", "presetbank", true },
        { "PRESETBANK", "PresetBank", true },
        { "Preset_Bank-2", "preset_bank-2", true },
        { "PresetBank", "PresetBanks", false },
        { "PresetBanks", "PresetBank", false },
        { "a", "", false },
        { "A@[", "a`{", false },        // the characters beside the letters are no letters
        { "Gr\xc3\xbc\xc3\x9f", "GR\xc3\xbc\xc3\x9f", true },
        { "Gr\xc3\xbc", "Gru", false },
    };

    for (const auto& row : rows)
    {
        const juce::XmlElement element (juce::String (juce::CharPointer_UTF8 (row.tag)));
        const juce::String other (juce::CharPointer_UTF8 (row.other));
        EXPECT_EQ (XmlHelpers::tagMatches (element, other), row.matches) << row.tag << " " << row.other;
    }
}
