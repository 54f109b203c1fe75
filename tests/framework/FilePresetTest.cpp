#include "framework/FilePreset.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace
{
int sign (int value) { return (value > 0) - (value < 0); }

int compare (const char* a, const char* b)
{
    return sign (FilePreset::compareNatural (juce::String::fromUTF8 (a), juce::String::fromUTF8 (b)));
}
} // namespace

//==============================================================================
// Binding to a file

TEST (FilePreset, SavingWritesNoNameAndRenamesThePresetButAFailedSaveKeepsNameAndFile)
{
    TemporaryFolder folder;
    const auto file = folder.get().getChildFile ("Old.tqprs");
    FilePreset preset (file);
    EXPECT_EQ (preset.getName(), "Old");

    const auto inside = folder.write ("Occupied.tqprs/Inside.tqprs", "<Preset/>");
    EXPECT_FALSE (preset.save (inside.getParentDirectory(), nullptr));
    EXPECT_EQ (preset.getName(), "Old");
    EXPECT_EQ (preset.getFile(), file);
    EXPECT_TRUE (inside.existsAsFile());

    const auto target = folder.get().getChildFile ("New.tqprs");
    ASSERT_TRUE (preset.save (target, nullptr));
    EXPECT_FALSE (juce::parseXML (target)->hasAttribute ("name"));
    EXPECT_EQ (preset.getName(), "New");
    EXPECT_EQ (preset.getFile(), target);
}

TEST (FilePreset, LoadingTakesTheNameFromTheFileNotTheDocumentButAFailedLoadKeepsTheBinding)
{
    TemporaryFolder folder;
    const auto file = folder.write ("Deep Sub.tqprs", "<Preset name=\"Something else\" author=\"Kim\"/>");
    FilePreset preset (folder.get().getChildFile ("Other.tqprs"));

    EXPECT_FALSE (preset.load (folder.write ("Broken.tqprs", "not xml"), nullptr, false));
    EXPECT_EQ (preset.getName(), "Other");

    ASSERT_TRUE (preset.load (file, nullptr, true));
    EXPECT_EQ (preset.getName(), "Deep Sub");
    EXPECT_EQ (preset.getAuthor(), "Kim");
    EXPECT_EQ (preset.getFile(), file);
}

TEST (FilePreset, FileNamesCompareWithoutFoldersOrExtensions)
{
    EXPECT_LT (FilePreset::compareFileNames (juce::File ("/z/Bass 2.tqprs"), juce::File ("/a/Bass 10.tqprs")), 0);
    EXPECT_EQ (FilePreset::compareFileNames (juce::File ("/a/lead.tqprs"), juce::File ("/b/LEAD.xml")), 0);
}

//==============================================================================
// Natural order

struct NaturalCase
{
    const char* first;
    const char* second;
    int expected;
};

class NaturalOrder : public ::testing::TestWithParam<NaturalCase>
{
};

TEST_P (NaturalOrder, ComparesAsExpectedBothWays)
{
    const auto& c = GetParam();

    EXPECT_EQ (compare (c.first, c.second), c.expected) << c.first << " vs " << c.second;
    EXPECT_EQ (compare (c.second, c.first), -c.expected) << c.second << " vs " << c.first;
}

INSTANTIATE_TEST_SUITE_P (Examples, NaturalOrder, ::testing::Values (
    NaturalCase { "Bass 2", "Bass 10", -1 },
    NaturalCase { "bass", "BASS", 0 },
    NaturalCase { "Bass 007", "Bass 7", 0 },
    NaturalCase { "a-1", "a1", -1 },
    NaturalCase { "Bass 9", "Bass A", -1 },
    NaturalCase { "", "", 0 },
    NaturalCase { "", "a", -1 },
    NaturalCase { "!", "#", -1 },
    NaturalCase { "x 12345678901234567890", "x 12345678901234567891", -1 }));

// Past a case-only difference or an equal number the rest of the names still
// decides, so that sorting sees one consistent order.
INSTANTIATE_TEST_SUITE_P (BeyondTheFirstTie, NaturalOrder, ::testing::Values (
    NaturalCase { "bass a", "BASS b", -1 },
    NaturalCase { "Bass 2 a", "Bass 2 b", -1 },
    NaturalCase { "Bass 02 x", "Bass 2 y", -1 },
    NaturalCase { "a0", "a00", 0 },
    NaturalCase { "a0", "a1", -1 },
    NaturalCase { "a00b", "a0c", -1 }));

TEST (NaturalOrderConsistency, IsAntisymmetricAndTransitiveOnTrickyAndRandomNames)
{
    // Short names over a small alphabet collide often, which is where an
    // inconsistent order shows.
    const juce::String alphabet = juce::String::fromUTF8 ("aAbB 0012-_.\xc3\xa9\xc3\x89");
    juce::Random random (20240611);
    juce::StringArray names { "Bass 10", "bass 2", "Bass 2 b", "BASS 02 a", "Acid", "acid-1", "acid1", "Acid 9",
                              "Acid A", "", "z", "Bass 007", "Bass 7" };

    while (names.size() < 120)
    {
        juce::String name;
        const auto length = random.nextInt (6);

        for (int c = 0; c < length; ++c)
            name += juce::String::charToString (alphabet[random.nextInt (alphabet.length())]);

        names.add (name);
    }

    const auto cmp = [] (const juce::String& a, const juce::String& b) { return sign (FilePreset::compareNatural (a, b)); };
    int failures = 0;

    for (const auto& a : names)
    {
        for (const auto& b : names)
        {
            if (cmp (a, b) != -cmp (b, a))
                ++failures;

            for (const auto& c : names)
                if (cmp (a, b) <= 0 && cmp (b, c) <= 0 && cmp (a, c) > 0)
                    ++failures;
        }
    }

    EXPECT_EQ (failures, 0);
}

TEST (NaturalOrderOfBrokenNames, NamesThatAreNotValidUtf8CompareByteByByteAndStayConsistent)
{
    // A lead byte of a three-byte sequence with nothing after it.
    const auto broken = juce::String::fromUTF8 ("Bass \xe2", 6);
    const auto other = juce::String ("Bass 2");
    ASSERT_FALSE (juce::CharPointer_UTF8::isValidString (broken.toRawUTF8(), static_cast<int> (broken.getNumBytesAsUTF8())));

    const auto forward = FilePreset::compareNatural (broken, other);
    const auto backward = FilePreset::compareNatural (other, broken);
    EXPECT_EQ (forward, -backward);
    EXPECT_EQ (FilePreset::compareNatural (broken, broken), 0);
}
