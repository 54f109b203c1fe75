#include "framework/BundleResources.h"
#include "framework/Preset.h"
#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"
#include "support/TemporaryFolder.h"

#include <functional>
#include <set>
#include <vector>

using namespace InstrumentTest;

// Each kind of file is read up to its own size limit: a file of exactly that
// many bytes loads, one byte more is refused unread and changes nothing. Real
// files stay far below (the limits' comments give their sizes).
namespace
{
struct SizedKind
{
    const char* description;
    juce::int64 limit;
    const char* extension;
    juce::String content;

    /** Loads the file into the instrument; true when it was read. */
    std::function<bool (Tarvelin&, const juce::File&)> load;

    /** What the file's content left in the instrument; none for a record read apart from it. */
    std::function<bool (Tarvelin&)> wasRead;
};

const juce::String app ("application=\"Tarvelin\"");

/** The content followed by blanks up to exactly the size. */
juce::String paddedTo (const juce::String& content, juce::int64 size)
{
    return content + juce::String::repeatedString (" ", static_cast<int> (size) - content.getNumBytesAsUTF8());
}

std::vector<SizedKind> sizedKinds()
{
    juce::String textBank;

    for (int p = 0; p < Tarvelin::numPatterns; ++p)
    {
        textBank << "3 0 0\n";

        for (int s = 0; s < Pattern::numSteps; ++s)
            textBank << "7 0 0 1 0 0 0 0 0\n";
    }

    return {
        { "preset", PresetManager::maxPresetFileBytes, ".tqprs",
          "<Preset " + app + " name=\"Sized\"><param name=\"Cutoff\" value=\"0.25\"/></Preset>",
          [] (Tarvelin& t, const juce::File& f) { return t.loadPresetFileIntoSlot (f, 3); },
          [] (Tarvelin& t) { return t.getPresetName (3) == "Sized"; } },
        { "bank", PresetManager::maxBankFileBytes, ".tqprsb",
          "<PresetBank name=\"Sized\"><PresetGroup name=\"G\"><Preset " + app + " name=\"Sized\"/></PresetGroup></PresetBank>",
          [] (Tarvelin& t, const juce::File& f) { return t.loadBankFromFile (f); },
          [] (Tarvelin& t) { return t.getPresetName (0) == "Sized"; } },
        { "preset record", Preset::maxFileBytes, ".tqpreset",
          "<Preset name=\"Sized\"><param name=\"Cutoff\" value=\"0.25\"/></Preset>",
          [] (Tarvelin& t, const juce::File& f) { Preset record; return record.load (f, &t.getParameterManager(), false); },
          nullptr },
        { "pattern", IntSeqPlugin::maxPatternFileBytes, ".tqptr",
          "<Pattern " + app + " name=\"Sized\" length=\"4\"/>",
          [] (Tarvelin& t, const juce::File& f) { return t.loadPatternFile (f, 3); },
          [] (Tarvelin& t) { return t.getPattern (3).getName() == "Sized"; } },
        { "pattern bank", IntSeqPlugin::maxPatternBankFileBytes, ".tqptrb",
          "<PatternBank><Pattern " + app + " name=\"Sized\" length=\"4\"/></PatternBank>",
          [] (Tarvelin& t, const juce::File& f) { return t.loadPatternBankFile (f); },
          [] (Tarvelin& t) { return t.getPattern (0).getName() == "Sized"; } },
        { "text pattern bank", Tarvelin::maxPatternTextFileBytes, ".tq", textBank,
          [] (Tarvelin& t, const juce::File& f) { return t.loadPatternBankFile (f); },
          [] (Tarvelin& t) { return t.getPattern (0).getLength() == 3 && t.getPattern (95).getLength() == 3; } },
        { "CC map", MidiControl::maxMapFileBytes, ".tqccmap",
          "<MidiControlMap name=\"Tarvelin\"><assign CC=\"9\" param=\"Cutoff\"/></MidiControlMap>",
          [] (Tarvelin& t, const juce::File& f) { return t.getMidiControl().loadFromFile (f); },
          [] (Tarvelin& t) { return t.getMidiControl().getParameter (9) != nullptr; } },
        { "host map", BasePlugin::maxHostMapFileBytes, ".tqhpmap",
          "<HostParametersMap name=\"Tarvelin\"><assign hostParam=\"1\" pluginParam=\"Cutoff\"/></HostParametersMap>",
          [] (Tarvelin& t, const juce::File& f) { return t.loadHostParametersMap (f); },
          [] (Tarvelin& t) { return t.getHostParameterAssignment (0) == cutoff; } },
    };
}
} // namespace

TEST (FileSizeLimits, EachKindOfFileIsReadUpToItsLimitAndRefusedOneByteOver)
{
    const TemporaryFolder folder;

    for (const auto& kind : sizedKinds())
    {
        const auto atLimit = folder.write (juce::String ("at-limit") + kind.extension, paddedTo (kind.content, kind.limit));
        const auto over = folder.write (juce::String ("over") + kind.extension, paddedTo (kind.content, kind.limit + 1));
        ASSERT_EQ (atLimit.getSize(), kind.limit) << kind.description;

        const auto refusing = createInstrument();
        EXPECT_FALSE (kind.load (*refusing, over)) << kind.description;
        EXPECT_TRUE (kind.wasRead == nullptr || ! kind.wasRead (*refusing)) << kind.description;

        const auto reading = createInstrument();
        EXPECT_TRUE (kind.load (*reading, atLimit)) << kind.description;
        EXPECT_TRUE (kind.wasRead == nullptr || kind.wasRead (*reading)) << kind.description;
    }
}

// The settings file is read at creation; a host's state and program blocks
// are bounded by the length of their text.
TEST (FileSizeLimits, SettingsAndStateBlocksAreReadUpToTheirLimitAndIgnoredOneByteOver)
{
    const auto settings = "<UserSettings " + app + "><InternalSequencer><IntSeq state=\"off\"/></InternalSequencer></UserSettings>";
    const auto settingsFile = createInstrument()->getUserSettingsFile();

    for (const auto extra : { 0, 1 })
    {
        removeSettingsOf ("Tarvelin");
        ASSERT_TRUE (settingsFile.getParentDirectory().createDirectory());
        ASSERT_TRUE (settingsFile.replaceWithText (paddedTo (settings, BasePlugin::maxSettingsFileBytes + extra)));
        EXPECT_EQ (reopenInstrument()->isInternalSequencerOn(), extra != 0) << extra;
    }

    const auto state = "<PluginState " + app + "><InternalSettings><AccentVelocityLevel value=\"high\"/></InternalSettings></PluginState>";

    for (const auto extra : { 0, 1 })
    {
        // As juce::AudioProcessor::copyXmlToBinary lays a block out.
        const auto text = paddedTo (state, BasePlugin::maxStateBytes + extra);
        juce::MemoryOutputStream block;
        block.writeInt (0x21324356);
        block.writeInt (static_cast<int> (text.getNumBytesAsUTF8()));
        block << text;
        block.writeByte (0);

        const auto restored = createInstrument();
        restored->setStateInformation (block.getData(), static_cast<int> (block.getDataSize()));
        EXPECT_EQ (restored->getAccentVelocityLevel(), extra == 0 ? 2 : 1) << extra;

        const auto programmed = createInstrument();
        programmed->setCurrentProgramStateInformation (block.getData(), static_cast<int> (block.getDataSize()));
        EXPECT_EQ (programmed->getAccentVelocityLevel(), extra == 0 ? 2 : 1) << extra;
    }
}

// Names are cut to 256 characters and the presets keep at most 256 groups,
// so that whatever the plug-in writes reads back: written with each character
// a reference of ten bytes, the fullest bank, pattern bank and state it can
// make stay within what their readers read, and read back whole.
TEST (FileSizeLimits, TheFullestBankPatternBankAndStateThePlugInCanWriteReadBack)
{
    const TemporaryFolder folder;
    const auto longest = juce::String::repeatedString (juce::String::charToString (0x10fffd), 300);
    const auto instrument = createInstrument();

    ASSERT_TRUE (instrument->getPresetManager().loadBankFromXml (*juce::parseXML (
        "<PresetBank name=\"" + longest + "\"><PresetGroup><Preset " + app + " name=\"P\"/></PresetGroup></PresetBank>")));

    for (int tries = 0; tries < 300 && instrument->insertNewGroup (0); ++tries) {}

    for (int group = 0; group < instrument->getNumGroups(); ++group)
        instrument->setGroupName (group, longest);

    for (int index = 0; index < PresetManager::numPresets; ++index)
    {
        instrument->setPresetName (index, longest);

        for (int id = 0; id < instrument->getPresetSlot (index)->getNumValues(); ++id)
            instrument->getPresetSlot (index)->setValue (id, 0.1234567f);
    }

    for (int pattern = 0; pattern < Tarvelin::numPatterns; ++pattern)
        instrument->setPatternName (pattern, longest);

    const auto cut = longest.substring (0, 256);
    auto& parameters = instrument->getParameterManager();
    parameters.setValueFromText (PresetManager::currentPresetNameId, longest);   // a name typed on the panel
    EXPECT_EQ (parameters.getText (PresetManager::currentPresetNameId), cut);
    EXPECT_EQ (instrument->getPresetName (instrument->getCurrentPresetIndex()), cut);
    EXPECT_EQ (instrument->getNumGroups(), 256);
    EXPECT_EQ (instrument->getBankName(), cut);
    EXPECT_EQ (instrument->getGroupName (255), cut);
    EXPECT_EQ (instrument->getPresetName (127), cut);
    EXPECT_EQ (instrument->getPattern (95).getName(), cut);

    const auto bankFile = folder.get().getChildFile ("full.tqprsb");
    const auto patternsFile = folder.get().getChildFile ("full.tqptrb");
    ASSERT_TRUE (instrument->saveBankToFile (bankFile));
    ASSERT_TRUE (instrument->savePatternBankFile (patternsFile));
    juce::MemoryBlock state;
    instrument->getStateInformation (state);

    // The fullest state is written, not refused: its text (the block less its
    // 9 bytes of frame), 1,610,094 bytes, stays below what the reader reads.
    EXPECT_LE (static_cast<juce::int64> (state.getSize()) - 9, BasePlugin::maxStateBytes);

    const auto fromFiles = createInstrument();
    EXPECT_TRUE (fromFiles->loadBankFromFile (bankFile));
    EXPECT_TRUE (fromFiles->loadPatternBankFile (patternsFile));

    const auto fromState = createInstrument();
    fromState->setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    for (auto* restored : { fromFiles.get(), fromState.get() })
    {
        EXPECT_EQ (restored->getNumGroups(), 256);
        EXPECT_EQ (restored->getBankName(), cut);
        EXPECT_EQ (restored->getGroupName (0), cut);
        EXPECT_EQ (restored->getPresetName (127), cut);
        EXPECT_EQ (restored->getPattern (95).getName(), cut);
    }
}

// A pattern's name is cut to 256 characters wherever it is read, as the
// setter cuts it, so that a bank read whole is written back within limits.
TEST (FileSizeLimits, PatternNamesAreCutTo256CharactersWhereverTheyAreRead)
{
    const TemporaryFolder folder;
    const auto longest = juce::String::repeatedString (juce::String::charToString (0x10fffd), 300);
    const auto pattern = "<Pattern " + app + " name=\"" + longest + "\" length=\"4\"/>";
    const auto state = "<PluginState " + app + "><InternalSequencer><PatternsState><PatternBank>" + pattern
                     + "</PatternBank></PatternsState></InternalSequencer></PluginState>";
    const auto patternFile = folder.write ("long.tqptr", pattern);
    const auto bankFile = folder.write ("long.tqptrb", "<PatternBank>" + pattern + "</PatternBank>");

    const std::pair<const char*, std::function<void (Tarvelin&)>> readers[] = {
        { "pattern file", [&] (Tarvelin& t) { t.loadPatternFile (patternFile, 0); } },
        { "pattern bank", [&] (Tarvelin& t) { t.loadPatternBankFile (bankFile); } },
        { "state", [&] (Tarvelin& t)
          {
              juce::MemoryBlock block;
              juce::AudioProcessor::copyXmlToBinary (*XmlFiles::parse (state), block);
              t.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
          } },
    };

    for (const auto& [description, read] : readers)
    {
        const auto instrument = createInstrument();
        read (*instrument);
        EXPECT_EQ (instrument->getPattern (0).getName().length(), Pattern::maxNameLength) << description;
        EXPECT_TRUE (instrument->getPattern (0).getName() == longest.substring (0, Pattern::maxNameLength)) << description;
    }
}

// The guarded parse refuses an element of more than 256 attributes and a text
// of more than 1024 distinct names or 65,536 nodes: every real file, stored
// with the plug-in or written by it at its fullest, stays far below each.
TEST (FileSizeLimits, RealFilesUseAFractionOfTheNamesAttributesAndNodesTheParseTakes)
{
    const auto instrument = createInstrument();
    const auto longest = juce::String::repeatedString (juce::String::charToString (0x10fffd), 300);

    for (int index = 0; index < PresetManager::numPresets; ++index)
        instrument->setPresetName (index, longest);

    for (int pattern = 0; pattern < Tarvelin::numPatterns; ++pattern)
        instrument->setPatternName (pattern, longest);

    juce::MemoryBlock state;
    instrument->getStateInformation (state);
    const auto stateText = XmlFiles::parseBinary (state.getData(), static_cast<int> (state.getSize()), BasePlugin::maxStateBytes);
    ASSERT_NE (stateText, nullptr);

    const std::pair<const char*, juce::String> documents[] = {
        { "default skin", loadBundleResourceAsString ("skin.xml") },
        { "factory bank", loadBundleResourceAsString ("default.tqprsb") },
        { "factory patterns", loadBundleResourceAsString ("default.tqptrb") },
        { "default preset", loadBundleResourceAsString ("default.tqprs") },
        { "default host map", loadBundleResourceAsString ("default.tqhpmap") },
        { "parameters", loadBundleResourceAsString ("parameters.xml") },
        { "events", loadBundleResourceAsString ("events.xml") },
        { "full state", stateText->toString() },
        { "full bank", instrument->createBankXml()->toString() },
        { "full pattern bank", instrument->createPatternBankXml()->toString() },
        { "settings", instrument->createUserSettingsXml()->toString() },
    };

    for (const auto& [description, text] : documents)
    {
        const auto root = XmlFiles::parse (text);
        ASSERT_NE (root, nullptr) << description;

        std::set<juce::String> names;
        auto mostAttributes = 0;
        auto nodes = 0;
        std::vector<const juce::XmlElement*> pending { root.get() };

        while (! pending.empty())
        {
            const auto* element = pending.back();
            pending.pop_back();
            nodes += element->getNumChildElements() + 1;
            names.insert (element->getTagName());
            mostAttributes = juce::jmax (mostAttributes, element->getNumAttributes());

            for (int i = 0; i < element->getNumAttributes(); ++i)
                names.insert (element->getAttributeName (i));

            for (const auto* child : element->getChildIterator())
                if (! child->isTextElement())
                    pending.push_back (child);
        }

        EXPECT_LE (static_cast<int> (names.size()) * 8, XmlFiles::maxDistinctNames) << description << ": " << names.size();
        EXPECT_LE (mostAttributes * 8, XmlFiles::maxAttributesPerElement) << description << ": " << mostAttributes;
        EXPECT_LE (nodes * 4, XmlFiles::maxNodes) << description << ": " << nodes;
    }
}

// A bank of more groups than the presets keep: the presets of the groups past
// the 256th join the last one, and so do the slots left unused.
TEST (FileSizeLimits, TheGroupsOfABankPastThe256thJoinTheLastOne)
{
    juce::String bank ("<PresetBank name=\"Many\">");

    for (int group = 0; group < 300; ++group)
    {
        bank << "<PresetGroup name=\"G" << group << "\">";

        if (group == 0 || group == 200 || group == 280 || group == 299)
            bank << "<Preset " << app << " name=\"P" << group << "\"/>";

        bank << "</PresetGroup>";
    }

    const auto instrument = createInstrument();
    ASSERT_TRUE (instrument->getPresetManager().loadBankFromXml (*juce::parseXML (bank + "</PresetBank>")));

    EXPECT_EQ (instrument->getNumGroups(), 256);
    EXPECT_EQ (instrument->getGroupName (255), "G255");
    EXPECT_EQ (instrument->getNumPresetsInGroup (200), 1);
    EXPECT_EQ (instrument->getPresetName (2), "P280");
    EXPECT_EQ (instrument->getPresetName (3), "P299");
    EXPECT_EQ (instrument->getGroupOfPreset (2), 255);
    EXPECT_EQ (instrument->getNumPresetsInGroup (255), 2 + 124);   // two presets and the unused slots
    EXPECT_FALSE (instrument->insertNewGroup (0));
}
