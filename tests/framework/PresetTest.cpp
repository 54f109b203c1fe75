#include "framework/ParameterManager.h"
#include "framework/Preset.h"
#include "support/NotRegularFiles.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace
{
// A small table: a float, an int, an enum, a text and an on/off value.
class PresetTest : public ::testing::Test
{
protected:
    PresetTest()
    {
        manager.loadFromXml (*xml ("<PluginParameters application=\"Tarvelin\">"
                                   "<param index=\"0\" name=\"Cutoff\" type=\"float\" min=\"0\" max=\"1\" value=\"0.5\"/>"
                                   "<param index=\"1\" name=\"Steps\" type=\"int\" min=\"1\" max=\"16\" value=\"16\"/>"
                                   "<param index=\"2\" name=\"Wave\" type=\"enum\" enum=\"Square;Sawtooth\" value=\"Square\"/>"
                                   "<param index=\"7\" name=\"Title\" type=\"string\" value=\"Acid\"/>"
                                   "<param index=\"9\" name=\"Power\" type=\"state\" value=\"on\"/>"
                                   "</PluginParameters>"));
    }

    static std::unique_ptr<juce::XmlElement> xml (const char* text) { return juce::parseXML (juce::String (text)); }

    bool read (Preset& preset, const char* text) { return preset.fromXml (xml (text).get(), &manager, false); }

    using Values = std::vector<std::pair<int, juce::String>>;

    static Values valuesOf (const Preset& preset)
    {
        Values result;

        for (int i = 0; i < preset.getNumValues(); ++i)
            result.emplace_back (preset.getValue (i)->index, preset.getValue (i)->value);

        return result;
    }

    ParameterManager manager;
    TemporaryFolder folder;
};
} // namespace

//==============================================================================
// XML

TEST_F (PresetTest, MissingValuesComeFromTheOtherPresetWithoutOverwritingOwnOnes)
{
    Preset own;
    own.addValueCopy ({ 0, "0.1" });

    Preset other;
    other.addValueCopy ({ 0, "0.9" });
    other.addValueCopy ({ 1, "3" });
    other.addValueCopy ({ 1, "4" });

    own.addMissingValuesFrom (other);

    // Judged by the ids held before the call, so both values for id 1 come across.
    EXPECT_EQ (valuesOf (own), (Values { { 0, "0.1" }, { 1, "3" }, { 1, "4" } }));
}

TEST_F (PresetTest, ReadsTagsIgnoringCaseAndWritesTheHeaderInOrderValuesByNameThenExtraData)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<PRESET tags=\"style:acid|techno\" rating=\"5\" id=\"42\" author=\"Kim\" version=\"1.2\""
                               " category=\"Bass\" application=\"Tarvelin\" name=\"Acid\">"
                               "<PARAM name=\"Steps\" value=\"12\"/><param name=\"Unknown\" value=\"1\"/>"
                               "<param name=\"Cutoff\" value=\"0.75\"/><extradata><Quality realtime=\"2\"/></extradata>"
                               "</PRESET>"));

    const auto expected = xml ("<Preset name=\"Acid\" application=\"Tarvelin\" category=\"Bass\" version=\"1.2\""
                               " author=\"Kim\" id=\"42\" rating=\"5\" tags=\"style:acid|techno\">"
                               "<param name=\"Steps\" value=\"12\"/><param name=\"Cutoff\" value=\"0.75\"/>"
                               "<ExtraData><Quality realtime=\"2\"/></ExtraData></Preset>");
    EXPECT_TRUE (preset.toXml (&manager)->isEquivalentTo (expected.get(), false)) << preset.toXml (&manager)->toString();

    // A value whose id names no parameter is left out.
    preset.addValueCopy ({ 500, "1" });
    EXPECT_TRUE (preset.toXml (&manager)->isEquivalentTo (expected.get(), false));
}

TEST_F (PresetTest, HeaderTextsAreAlwaysReplacedButARatingOutsideOneToFiveOrExtraDataWithoutAnElementKeepsTheOld)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<Preset name=\"A\" author=\"Kim\" rating=\"2\"><ExtraData><X/></ExtraData></Preset>"));

    ASSERT_TRUE (read (preset, "<Preset name=\"B\" rating=\"6\"><ExtraData>text only</ExtraData></Preset>"));

    EXPECT_EQ (preset.getName(), "B");
    EXPECT_EQ (preset.getAuthor(), "");
    EXPECT_EQ (preset.getRating(), 2);
    ASSERT_NE (preset.getExtraData(), nullptr);
    EXPECT_EQ (preset.getExtraData()->getTagName(), "X");

    // Without a valid rating none is written.
    Preset unrated;
    ASSERT_TRUE (read (unrated, "<Preset rating=\"0\"/>"));
    EXPECT_FALSE (unrated.toXml (&manager)->hasAttribute ("rating"));
}

TEST_F (PresetTest, NumbersThatAreNotFiniteAreSkippedButTextsAreKept)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<Preset>"
                               "<param name=\"Cutoff\" value=\"nan\"/>"
                               "<param name=\"Cutoff\" value=\"-inf\"/>"
                               "<param name=\"Steps\" value=\"inf\"/>"
                               "<param name=\"Power\" value=\"NaN\"/>"
                               "<param name=\"Cutoff\" value=\"1e39\"/>"
                               "<param name=\"Title\" value=\"nan\"/>"
                               "<param name=\"Wave\" value=\"Sawtooth\"/>"
                               "<param name=\"Cutoff\" value=\"0.5\"/>"
                               "</Preset>"));

    EXPECT_EQ (valuesOf (preset), (Values { { 7, "nan" }, { 2, "Sawtooth" }, { 0, "0.5" } }));
}

//==============================================================================
// Files

TEST_F (PresetTest, AFileLoadsBackAsItWasSaved)
{
    Preset original ("Acid", "42");
    original.setAuthor ("Kim");
    original.setTags (PresetTags ("a:1|2;b:"));
    original.addValueCopy ({ 1, "7" });
    original.addValueCopy ({ 9, "off" });
    const auto file = folder.get().getChildFile ("Acid.tqprs");
    ASSERT_TRUE (original.save (file, &manager));

    Preset loaded;
    ASSERT_TRUE (loaded.load (file, &manager, false));

    EXPECT_TRUE (loaded.toXml (&manager)->isEquivalentTo (original.toXml (&manager).get(), false));
}

TEST_F (PresetTest, AHeaderOnlyLoadReadsJustTheOuterElementAndLeavesNoValues)
{
    // The values are cut off: only a header-only load can read this file.
    const auto file = folder.write ("Big.tqprs", "<Preset name=\"Big\" author=\"Kim\"><param name=\"Steps\" value=\"2\"/><param");
    Preset preset;
    preset.addValueCopy ({ 0, "0.5" });

    EXPECT_FALSE (Preset().load (file, &manager, false));
    ASSERT_TRUE (preset.load (file, &manager, true));

    EXPECT_EQ (preset.getAuthor(), "Kim");
    EXPECT_EQ (preset.getNumValues(), 0);
}

TEST_F (PresetTest, AMissingDamagedOrForeignFileLeavesThePresetAsItWas)
{
    const auto files = {
        folder.get().getChildFile ("Missing.tqprs"),
        folder.write ("Empty.tqprs", ""),
        folder.write ("Damaged.tqprs", "<Preset name=\"Half\"><param name=\"Steps\" value="),
        folder.write ("Foreign.tqprs", "<PresetBank name=\"Other\"><param name=\"Steps\" value=\"2\"/></PresetBank>"),
        folder.get(),
    };

    for (const auto& file : files)
    {
        Preset preset ("Keep", "1");
        preset.addValueCopy ({ 0, "0.5" });

        EXPECT_FALSE (preset.load (file, &manager, false)) << file.getFileName();
        EXPECT_EQ (preset.getName(), "Keep") << file.getFileName();
        EXPECT_EQ (valuesOf (preset), (Values { { 0, "0.5" } })) << file.getFileName();
    }
}

TEST_F (PresetTest, APathThatIsNoRegularFileIsRefusedUnreadEvenForItsHeader)
{
    for (const auto& path : NotRegularFiles::make (folder, ".tqprs"))
    {
        for (const auto headerOnly : { true, false })
        {
            Preset preset ("Keep", "1");
            EXPECT_FALSE (preset.load (path, &manager, headerOnly)) << path.getFullPathName();
            EXPECT_EQ (preset.getName(), "Keep") << path.getFullPathName();
        }
    }
}

//==============================================================================
// Header patching

TEST_F (PresetTest, PatchingRewritesOnlyTheFieldsAskedForRemovesEmptyOnesAndKeepsEverythingElse)
{
    const auto file = folder.write ("A.tqprs", "<Preset name=\"A\" author=\"Kim\" id=\"3\" rating=\"4\">"
                                               "<param name=\"Steps\" value=\"12\"/>"
                                               "<param name=\"Unknown\" value=\"x\"/>"
                                               "<ExtraData><Q a=\"1\"/></ExtraData></Preset>");
    const auto before = juce::parseXML (file);

    ASSERT_TRUE (Preset ("", "17").patchFileHeader (file, Preset::idField));
    Preset lee;
    lee.setAuthor ("Lee");
    ASSERT_TRUE (lee.patchFileHeader (file, Preset::authorField));

    // Every other attribute and child, even one this plug-in does not know, is kept as it was.
    before->setAttribute ("author", "Lee");
    before->setAttribute ("id", "17");
    EXPECT_TRUE (juce::parseXML (file)->isEquivalentTo (before.get(), true));

    // An empty text removes its attribute.
    ASSERT_TRUE (Preset().patchFileHeader (file, Preset::authorField));
    EXPECT_FALSE (juce::parseXML (file)->hasAttribute ("author"));
}

TEST_F (PresetTest, APatchOfADamagedForeignMissingOrUnwritableFileFailsAndLeavesItWhole)
{
    // The last name is so long that no temporary file fits beside it: writing it fails.
    const std::pair<juce::String, juce::String> files[] = {
        { "Damaged.tqprs", "<Preset author=\"Kim\"><param" },
        { "Foreign.tqprs", "<PresetBank author=\"Kim\"/>" },
        { juce::String::repeatedString ("p", 244) + ".tqprs", "<Preset author=\"Kim\"><param name=\"Steps\" value=\"12\"/></Preset>" },
    };
    Preset patch;
    patch.setAuthor ("Lee");

    for (const auto& [name, text] : files)
    {
        const auto file = folder.write (name, text);
        ASSERT_TRUE (file.existsAsFile());

        EXPECT_FALSE (patch.patchFileHeader (file, Preset::authorField)) << name;
        EXPECT_EQ (file.loadFileAsString(), text) << name;
    }

    EXPECT_FALSE (patch.patchFileHeader (folder.get().getChildFile ("Missing.tqprs"), Preset::authorField));
    EXPECT_FALSE (folder.get().getChildFile ("Missing.tqprs").exists());
}
