#include "framework/ParameterManager.h"
#include "framework/Preset.h"
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
        const auto root = juce::parseXML (
            "<PluginParameters application=\"Tarvelin\">"
            "<param index=\"0\" name=\"Cutoff\" type=\"float\" min=\"0\" max=\"1\" value=\"0.5\"/>"
            "<param index=\"1\" name=\"Steps\" type=\"int\" min=\"1\" max=\"16\" value=\"16\"/>"
            "<param index=\"2\" name=\"Wave\" type=\"enum\" enum=\"Square;Sawtooth\" value=\"Square\"/>"
            "<param index=\"7\" name=\"Title\" type=\"string\" value=\"Acid\"/>"
            "<param index=\"9\" name=\"Power\" type=\"state\" value=\"on\"/>"
            "</PluginParameters>");
        manager.loadFromXml (*root);
    }

    static std::unique_ptr<juce::XmlElement> xml (const char* text) { return juce::parseXML (juce::String (text)); }

    bool read (Preset& preset, const char* text, bool headerOnly = false)
    {
        const auto element = xml (text);
        return preset.fromXml (element.get(), &manager, headerOnly);
    }

    static std::vector<std::pair<int, juce::String>> valuesOf (const Preset& preset)
    {
        std::vector<std::pair<int, juce::String>> result;

        for (int i = 0; i < preset.getNumValues(); ++i)
            result.emplace_back (preset.getValue (i)->index, preset.getValue (i)->value);

        return result;
    }

    static juce::StringArray attributeNames (const juce::XmlElement& element)
    {
        juce::StringArray names;

        for (int i = 0; i < element.getNumAttributes(); ++i)
            names.add (element.getAttributeName (i));

        return names;
    }

    using Values = std::vector<std::pair<int, juce::String>>;

    ParameterManager manager;
    TemporaryFolder folder;
};

// A name long enough that no temporary file fits beside it: writing it fails.
juce::String nameWithoutRoomBesideIt() { return juce::String::repeatedString ("p", 244) + ".tqprs"; }
} // namespace

//==============================================================================
// Records

TEST_F (PresetTest, AFreshPresetHasTheDefaultHeaderAndNoValuesAndClearingValuesKeepsTheHeader)
{
    const Preset preset ("Acid", "17");

    EXPECT_EQ (preset.getName(), "Acid");
    EXPECT_EQ (preset.getId(), "17");
    EXPECT_EQ (preset.getAuthor(), "");
    EXPECT_EQ (preset.getRating(), 3);
    EXPECT_FALSE (preset.hasRating());
    EXPECT_EQ (preset.getNumValues(), 0);
    EXPECT_EQ (preset.getExtraData(), nullptr);

    // Clearing values keeps the header.
    Preset filled ("Acid", "3");
    filled.addValueCopy ({ 0, "1" });
    filled.clearValues();
    EXPECT_EQ (filled.getNumValues(), 0);
    EXPECT_EQ (filled.getName(), "Acid");
}

TEST_F (PresetTest, AddedValuesKeepTheirOrderAndDuplicatesAndParametersGiveTheirIdAndText)
{
    Preset preset;
    manager.setValueFromText (2, "Sawtooth");
    preset.addValue (std::make_unique<ParameterValue> (ParameterValue { 1, "4" }));
    preset.addValue (nullptr);
    preset.addValueCopy ({ 0, "0.25" });
    preset.addValueCopy ({ 1, "5" });
    preset.addParameter (manager.getParameter (2));
    preset.addParameter (nullptr);

    EXPECT_EQ (valuesOf (preset), (Values { { 1, "4" }, { 0, "0.25" }, { 1, "5" }, { 2, "Sawtooth" } }));
    EXPECT_EQ (preset.getValue (-1), nullptr);
    EXPECT_EQ (preset.getValue (4), nullptr);
}

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

//==============================================================================
// XML

TEST_F (PresetTest, ReadsTheHeaderValuesAndExtraData)
{
    Preset preset;
    ASSERT_TRUE (read (preset,
                       "<Preset name=\"Acid\" application=\"Tarvelin\" category=\"Bass\" version=\"1.2\""
                       " author=\"Kim\" id=\"42\" rating=\"5\" tags=\"style:acid|techno\">"
                       "<param name=\"Steps\" value=\"12\"/>"
                       "<param name=\"Unknown\" value=\"1\"/>"
                       "<param name=\"Cutoff\" value=\"0.75\"/>"
                       "<ExtraData><Quality realtime=\"2\"/></ExtraData>"
                       "</Preset>"));

    EXPECT_EQ (preset.getName(), "Acid");
    EXPECT_EQ (preset.getApplication(), "Tarvelin");
    EXPECT_EQ (preset.getCategory(), "Bass");
    EXPECT_EQ (preset.getVersion(), "1.2");
    EXPECT_EQ (preset.getAuthor(), "Kim");
    EXPECT_EQ (preset.getId(), "42");
    EXPECT_EQ (preset.getRating(), 5);
    EXPECT_TRUE (preset.hasRating());
    EXPECT_EQ (preset.getTags().toString(), "style:acid|techno");
    EXPECT_EQ (valuesOf (preset), (Values { { 1, "12" }, { 0, "0.75" } }));
    ASSERT_NE (preset.getExtraData(), nullptr);
    EXPECT_EQ (preset.getExtraData()->getTagName(), "Quality");
    EXPECT_EQ (preset.getExtraData()->getIntAttribute ("realtime"), 2);
}

TEST_F (PresetTest, TagNamesAreMatchedIgnoringCase)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<PRESET name=\"Loud\"><PARAM name=\"Steps\" value=\"8\"/>"
                               "<extradata><Data/></extradata></PRESET>"));

    EXPECT_EQ (preset.getName(), "Loud");
    EXPECT_EQ (valuesOf (preset), (Values { { 1, "8" } }));
    EXPECT_NE (preset.getExtraData(), nullptr);
}

class PresetRatingTest : public PresetTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P (PresetRatingTest, ARatingOutsideOneToFiveIsIgnored)
{
    Preset preset;
    const auto text = juce::String ("<Preset rating=\"") + GetParam() + "\"/>";
    ASSERT_TRUE (read (preset, text.toRawUTF8()));

    EXPECT_EQ (preset.getRating(), 3);
    EXPECT_FALSE (preset.toXml (&manager)->hasAttribute ("rating"));
}

INSTANTIATE_TEST_SUITE_P (Preset, PresetRatingTest, ::testing::Values ("0", "6", "abc", "-1", "nan", ""));

TEST_F (PresetTest, RatingAndExtraDataSurviveAnElementWithoutThem)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<Preset name=\"A\" author=\"Kim\" rating=\"2\"><ExtraData><X/></ExtraData></Preset>"));

    ASSERT_TRUE (read (preset, "<Preset name=\"B\"/>"));

    // Header strings are always overwritten, the rest only when given.
    EXPECT_EQ (preset.getName(), "B");
    EXPECT_EQ (preset.getAuthor(), "");
    EXPECT_EQ (preset.getRating(), 2);
    ASSERT_NE (preset.getExtraData(), nullptr);
    EXPECT_EQ (preset.getExtraData()->getTagName(), "X");
}

TEST_F (PresetTest, OnlyTheFirstExtraDataCountsAndOneWithoutAChildKeepsTheExtraData)
{
    Preset preset;
    ASSERT_TRUE (read (preset, "<Preset><ExtraData><First/></ExtraData><ExtraData><Second/></ExtraData></Preset>"));
    EXPECT_EQ (preset.getExtraData()->getTagName(), "First");

    ASSERT_TRUE (read (preset, "<Preset><ExtraData>text only</ExtraData></Preset>"));
    ASSERT_NE (preset.getExtraData(), nullptr);
    EXPECT_EQ (preset.getExtraData()->getTagName(), "First");
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

TEST_F (PresetTest, AForeignOrMissingElementChangesNothing)
{
    Preset preset ("Keep", "1");
    preset.addValueCopy ({ 0, "0.5" });

    EXPECT_FALSE (preset.fromXml (nullptr, &manager, false));
    EXPECT_FALSE (read (preset, "<Presets name=\"Other\"><param name=\"Steps\" value=\"2\"/></Presets>"));

    EXPECT_EQ (preset.getName(), "Keep");
    EXPECT_EQ (valuesOf (preset), (Values { { 0, "0.5" } }));
}

TEST_F (PresetTest, AHeaderOnlyReadLeavesNoValues)
{
    Preset preset;
    preset.addValueCopy ({ 0, "0.5" });

    ASSERT_TRUE (read (preset, "<Preset name=\"A\"><param name=\"Steps\" value=\"2\"/></Preset>", true));

    EXPECT_EQ (preset.getName(), "A");
    EXPECT_EQ (preset.getNumValues(), 0);
}

TEST_F (PresetTest, WritesHeaderAttributesInTheirOrderAndOnlyWhenSet)
{
    Preset preset ("Acid", "42");
    preset.setAuthor ("Kim");
    preset.setVersion ("1.0");
    preset.setRating (4);
    preset.setTags (PresetTags ("mood:dark"));

    const auto element = preset.toXml (&manager);

    EXPECT_EQ (element->getTagName(), "Preset");
    EXPECT_EQ (attributeNames (*element), juce::StringArray ({ "name", "version", "author", "id", "rating", "tags" }));
    EXPECT_EQ (element->getIntAttribute ("rating"), 4);
    EXPECT_EQ (element->getStringAttribute ("tags"), "mood:dark");

    ASSERT_TRUE (read (preset, "<Preset tags=\"a:1\" rating=\"1\" id=\"i\" author=\"w\" version=\"v\""
                               " category=\"c\" application=\"p\" name=\"n\"/>"));
    EXPECT_EQ (attributeNames (*preset.toXml (&manager)),
               juce::StringArray ({ "name", "application", "category", "version", "author", "id", "rating", "tags" }));
}

TEST_F (PresetTest, WritesValuesByNameSkippingUnknownIdsThenExtraData)
{
    Preset preset;
    preset.addValueCopy ({ 1, "12" });
    preset.addValueCopy ({ 500, "1" });
    preset.addValueCopy ({ 7, "Line A" });
    preset.setExtraData (std::make_unique<juce::XmlElement> ("Quality"));

    const auto element = preset.toXml (&manager);

    ASSERT_EQ (element->getNumChildElements(), 3);
    EXPECT_EQ (element->getChildElement (0)->getStringAttribute ("name"), "Steps");
    EXPECT_EQ (element->getChildElement (0)->getStringAttribute ("value"), "12");
    EXPECT_EQ (element->getChildElement (1)->getStringAttribute ("name"), "Title");
    EXPECT_EQ (element->getChildElement (2)->getTagName(), "ExtraData");
    EXPECT_EQ (element->getChildElement (2)->getChildElement (0)->getTagName(), "Quality");
}

TEST_F (PresetTest, AnElementReadsBackAsItWasWritten)
{
    Preset original ("Acid", "42");
    original.setCategory ("Bass");
    original.setRating (2);
    original.setTags (PresetTags ("a:1|2;b:"));
    original.addValueCopy ({ 0, "0.25" });
    original.addValueCopy ({ 9, "off" });

    Preset copy;
    const auto element = original.toXml (&manager);
    ASSERT_TRUE (copy.fromXml (element.get(), &manager, false));

    EXPECT_TRUE (copy.toXml (&manager)->isEquivalentTo (element.get(), false));
}

//==============================================================================
// Files

TEST_F (PresetTest, AFileLoadsBackAsItWasSaved)
{
    Preset original ("Acid", "42");
    original.setAuthor ("Kim");
    original.addValueCopy ({ 1, "7" });
    const auto file = folder.get().getChildFile ("Acid.tqprs");

    ASSERT_TRUE (original.save (file, &manager));

    Preset loaded;
    ASSERT_TRUE (loaded.load (file, &manager, false));
    EXPECT_EQ (loaded.getAuthor(), "Kim");
    EXPECT_EQ (valuesOf (loaded), (Values { { 1, "7" } }));
}

TEST_F (PresetTest, AHeaderOnlyLoadSkipsEveryValue)
{
    juce::String text ("<Preset name=\"Big\" author=\"Kim\">");

    for (int i = 0; i < 500; ++i)
        text << "<param name=\"Steps\" value=\"" << (i % 16 + 1) << "\"/>";

    const auto file = folder.write ("Big.tqprs", text + "</Preset>");

    Preset preset;
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
        folder.write ("Binary.tqprs", juce::String::charToString (0xfffd) + "\x01\x02 not xml"),
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

TEST_F (PresetTest, SavingOntoAFolderFailsAndKeepsTheFolder)
{
    const auto subFolder = folder.get().getChildFile ("Presets");
    ASSERT_TRUE (subFolder.createDirectory());
    folder.write ("Presets/Inside.tqprs", "<Preset/>");

    EXPECT_FALSE (Preset().save (subFolder, &manager));
    EXPECT_TRUE (subFolder.getChildFile ("Inside.tqprs").existsAsFile());
}

//==============================================================================
// Header patching

TEST_F (PresetTest, PatchingRemovesAnEmptyAuthorAndSetsTheIdKeepingTheValues)
{
    const auto file = folder.write ("A.tqprs", "<Preset name=\"A\" author=\"Kim\" id=\"3\" rating=\"4\">"
                                               "<param name=\"Steps\" value=\"12\"/>"
                                               "<param name=\"Unknown\" value=\"x\"/>"
                                               "<ExtraData><Q a=\"1\"/></ExtraData></Preset>");
    const auto before = juce::parseXML (file);

    Preset patch ("", "17");
    ASSERT_TRUE (patch.patchFileHeader (file, Preset::authorField | Preset::idField));

    const auto after = juce::parseXML (file);
    ASSERT_NE (after, nullptr);
    EXPECT_FALSE (after->hasAttribute ("author"));
    EXPECT_EQ (after->getStringAttribute ("id"), "17");
    EXPECT_EQ (after->getStringAttribute ("name"), "A");
    EXPECT_EQ (after->getIntAttribute ("rating"), 4);

    // Every child, even one this plug-in does not know, is kept as it was.
    ASSERT_EQ (after->getNumChildElements(), before->getNumChildElements());
    for (int i = 0; i < before->getNumChildElements(); ++i)
        EXPECT_TRUE (after->getChildElement (i)->isEquivalentTo (before->getChildElement (i), false));
}

TEST_F (PresetTest, PatchingOnlyTouchesTheFieldsAskedFor)
{
    const auto file = folder.write ("A.tqprs", "<Preset author=\"Kim\" id=\"3\"/>");

    Preset patch ("", "");
    patch.setAuthor ("Lee");
    ASSERT_TRUE (patch.patchFileHeader (file, Preset::authorField));

    const auto after = juce::parseXML (file);
    EXPECT_EQ (after->getStringAttribute ("author"), "Lee");
    EXPECT_EQ (after->getStringAttribute ("id"), "3");
}

TEST_F (PresetTest, PatchingLeavesDamagedForeignOrMissingFilesUntouched)
{
    const juce::String damaged ("<Preset author=\"Kim\"><param");
    const juce::String foreign ("<PresetBank author=\"Kim\"/>");
    const auto damagedFile = folder.write ("Damaged.tqprs", damaged);
    const auto foreignFile = folder.write ("Foreign.tqprs", foreign);
    const auto missingFile = folder.get().getChildFile ("Missing.tqprs");

    Preset patch ("", "9");
    patch.setAuthor ("Lee");

    EXPECT_FALSE (patch.patchFileHeader (damagedFile, Preset::authorField));
    EXPECT_FALSE (patch.patchFileHeader (foreignFile, Preset::authorField));
    EXPECT_FALSE (patch.patchFileHeader (missingFile, Preset::authorField));

    EXPECT_EQ (damagedFile.loadFileAsString(), damaged);
    EXPECT_EQ (foreignFile.loadFileAsString(), foreign);
    EXPECT_FALSE (missingFile.exists());
}

TEST_F (PresetTest, AFailedPatchKeepsTheOldFileWhole)
{
    const juce::String original ("<Preset author=\"Kim\"><param name=\"Steps\" value=\"12\"/></Preset>");
    const auto file = folder.write (nameWithoutRoomBesideIt(), original);
    ASSERT_TRUE (file.existsAsFile());

    Preset patch;
    patch.setAuthor ("Lee");

    EXPECT_FALSE (patch.patchFileHeader (file, Preset::authorField));
    EXPECT_EQ (file.loadFileAsString(), original);
}
