#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "support/NotRegularFiles.h"
#include "support/ParameterListeners.h"
#include "support/PresetTestSupport.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlugins.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/stat.h>

namespace
{
constexpr int cutoffId = 2;
constexpr int volumeId = 23;
constexpr int thresholdId = 33;

class BasePluginOldStyleTest : public ::testing::Test
{
protected:
    void SetUp() override       { removeSettingsOf ("Tarvelin"); }
    void TearDown() override    { removeSettingsOf ("Tarvelin"); }

    static void writeSettings (const juce::String& children)
    {
        const auto file = OldStyleTestPlugin().getUserSettingsFile();
        ASSERT_TRUE (file.getParentDirectory().createDirectory());
        ASSERT_TRUE (file.replaceWithText ("<UserSettings application=\"Tarvelin\">" + children + "</UserSettings>"));
    }

    static void writePresetsSetting (const juce::String& mode, const juce::File& file = {})
    {
        writeSettings ("<ResourcesSettings><Presets default=\"" + mode + "\" file=\"" + file.getFullPathName()
                       + "\"/></ResourcesSettings>");
    }

    static std::vector<int> groupCounts (const BasePluginOldStyle& plugin)
    {
        std::vector<int> counts;
        for (int g = 0; g < plugin.getNumGroups(); ++g)
            counts.push_back (plugin.getNumPresetsInGroup (g));
        return counts;
    }

    static float value (BasePluginOldStyle& plugin, int id)             { return plugin.getParameterManager().getNormalisedValue (id); }
    static void setValue (BasePluginOldStyle& plugin, int id, float v)  { plugin.getParameterManager().setNormalisedValue (id, v); }
    static juce::String currentName (BasePluginOldStyle& plugin)        { return plugin.getParameterManager().getText (110001); }

    TemporaryFolder temporary;
    const juce::File& folder = temporary.get();
};

/** Counts the banks it is asked to read. */
class CountingBankReads : public OldStyleTestPlugin
{
public:
    bool loadBankFromXml (const juce::XmlElement& element) override
    {
        ++bankReads;
        return OldStyleTestPlugin::loadBankFromXml (element);
    }

    int bankReads = 0;
};

/** Counts value changes the host hears. */
struct HostChanges : public juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { indexes.push_back (index); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    std::vector<int> indexes;
};
} // namespace

//==============================================================================
TEST_F (BasePluginOldStyleTest, NamesItsFilesAfterTheShortNameAndNumbersAllItsSlots)
{
    OldStyleTestPlugin plugin;

    EXPECT_EQ (dynamic_cast<IntParameter&> (*plugin.getParameterManager().getParameter (110000)).getMaximum(), 127);
    EXPECT_EQ (plugin.getPresetFileExtension() + plugin.getBankFileExtension() + plugin.getMidiCCMapFileExtension(),
               ".tqprs.tqprsb.tqccmap");
    EXPECT_EQ (plugin.getPresetLoadWildcard(), "*.tqprs");
}

//==============================================================================
// The set-up by presets default mode (the factory mode through the instrument: TarvelinPresetsTest)

TEST_F (BasePluginOldStyleTest, SetUpTakesTheDefaultPresetFromItsResourceAndTheBankTheSettingsChoose)
{
    const auto defaultPreset = juce::parseXML (loadBundleResourceAsString ("default.tqprs"));
    const auto factory = juce::parseXML (loadBundleResourceAsString ("default.tqprsb"));
    const auto factoryFirst = factory->getChildElement (0)->getChildElement (0)->getStringAttribute ("name");
    const auto mine = folder.getChildFile ("Mine.tqprsb"), gone = folder.getChildFile ("Gone.tqprsb");
    ASSERT_TRUE (XmlFiles::write (*makeBankXml ({ 2, 3 }), mine, PresetManager::maxBankFileBytes));
    const auto broken = temporary.write ("Broken.tqprsb", "<PresetBank><PresetGroup");
    const auto foreign = temporary.write ("Foreign.tqprsb", "<PresetBank><PresetGroup><Preset application=\"Other\" name=\"A\"/>"
                                                            "</PresetGroup></PresetBank>");

    const struct
    {
        const char* mode;
        juce::File file;
        std::vector<int> groups;
        juce::String currentName;
        int modeAfter;
    } rows[] = {
        { "clearPresets", {}, { 128 }, "Preset 0", BasePluginOldStyle::clearedPresets },
        { "userDefinedPresets", mine, { 2, 3, 123 }, "P0", BasePluginOldStyle::userDefinedPresets },
        // A missing user bank loads the factory bank and keeps the choice; an
        // unreadable one, or one with none of its presets, leaves cleared presets.
        { "userDefinedPresets", gone, { -1 }, factoryFirst, BasePluginOldStyle::userDefinedPresets },
        { "userDefinedPresets", broken, { 128 }, "Preset 0", BasePluginOldStyle::userDefinedPresets },
        { "userDefinedPresets", foreign, { 128 }, "Preset 0", BasePluginOldStyle::userDefinedPresets },
        { "userDefinedPresets", juce::File ("/dev/zero"), { 128 }, "Preset 0", BasePluginOldStyle::userDefinedPresets },
        { "userDefinedPresets", NotRegularFiles::make (temporary, ".tqprsb")[0], { 128 }, "Preset 0", BasePluginOldStyle::userDefinedPresets },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.mode + (" " + row.file.getFileName()));
        removeSettingsOf ("Tarvelin");
        writePresetsSetting (row.mode, row.file);
        OldStyleTestPlugin::create().reset();   // the choice survives a restart

        const auto plugin = OldStyleTestPlugin::create();

        if (row.groups[0] >= 0)
        {
            EXPECT_EQ (groupCounts (*plugin), row.groups);
        }

        if (row.file == mine)
        {
            EXPECT_EQ (plugin->getLastUsedFolder(), folder);
        }

        EXPECT_EQ (currentName (*plugin), row.currentName);
        EXPECT_EQ (plugin->getPresetsDefaultMode(), row.modeAfter);
        EXPECT_EQ (plugin->getUserPresetsFile(), row.file);
        EXPECT_NEAR (plugin->getDefaultPreset().getValue (cutoffId),
                     defaultPreset->getChildByAttribute ("name", "Cutoff")->getDoubleAttribute ("value"), 1.0e-6);

        // Cleared slots hold the default preset's sound, not silence.
        if (row.currentName == "Preset 0")
        {
            EXPECT_FLOAT_EQ (value (*plugin, volumeId), plugin->getDefaultPreset().getValue (volumeId));
            EXPECT_GT (value (*plugin, volumeId), 0.0f);
        }
    }
}

TEST_F (BasePluginOldStyleTest, MissingFactoryResourcesLeaveClearedPresetsWithTheParameterDefaultsAndReportFailures)
{
    const auto plugin = OldStyleTestPlugin::create ({ "XQ" });

    EXPECT_EQ (groupCounts (*plugin), std::vector<int> ({ 128 }));
    EXPECT_EQ (plugin->getPresetName (0), "Preset 0");
    EXPECT_FLOAT_EQ (value (*plugin, volumeId), 0.5f);
    EXPECT_FLOAT_EQ (value (*plugin, 0), 0.5f);

    EXPECT_FALSE (plugin->loadBankFromResource ("default.xqprsb"));
    EXPECT_FALSE (plugin->loadDefaultPresetFromResource ("default.xqprs"));
    EXPECT_FALSE (plugin->loadBankFromFile (folder.getChildFile ("none.tqprsb")));
    EXPECT_TRUE (plugin->loadBankFromResource ("default.tqprsb"));
}

//==============================================================================
// User settings

TEST_F (BasePluginOldStyleTest, AutomaticStoringFromTheSettingsStoresTheCurrentValuesAtOnceAndThenEveryPresetParameterChange)
{
    const auto plugin = OldStyleTestPlugin::create();
    plugin->selectPreset (2, false);
    setValue (*plugin, cutoffId, 0.8f);
    writeSettings ("<PresetSettings storing=\"AUTOMATIC\"/>");

    plugin->loadUserSettings();
    EXPECT_EQ (plugin->getPresetStoringMode(), PresetManager::automaticStoring);
    EXPECT_FLOAT_EQ (plugin->getPresetSlot (2)->getValue (cutoffId), 0.8f);

    setValue (*plugin, cutoffId, 0.91f);
    setValue (*plugin, thresholdId, 0.91f);
    EXPECT_FLOAT_EQ (plugin->getPresetSlot (2)->getValue (cutoffId), 0.91f);
    EXPECT_EQ (plugin->getPresetSlot (2)->getValue (thresholdId), 0.0f);
}

TEST_F (BasePluginOldStyleTest, UnknownSettingValuesAndSettingsOfAnotherPlugInChangeNothing)
{
    writeSettings ("<PresetSettings storing=\"sometimes\" changing=\"loud\"/>"
                   "<ResourcesSettings><Presets default=\"bestPresets\"/><MidiCCMap default=\"maybe\"/></ResourcesSettings>");
    OldStyleTestPlugin plugin;

    plugin.loadUserSettings();
    plugin.loadUserSettingsFromXml (*juce::parseXML ("<UserSettings application=\"Other\"><PresetSettings storing=\"automatic\"/></UserSettings>"));

    EXPECT_EQ (plugin.getPresetStoringMode(), PresetManager::onDemandStoring);
    EXPECT_EQ (plugin.getPresetChangingMode(), PresetManager::normalChanging);
    EXPECT_EQ (plugin.getPresetsDefaultMode(), BasePluginOldStyle::factoryPresets);
    EXPECT_FALSE (plugin.getMidiControl().isUsingUserDefinedMap());
}

TEST_F (BasePluginOldStyleTest, SettingsAreWrittenWithTheirTextsAndSurviveARestart)
{
    const auto ccMap = folder.getChildFile ("map.tqccmap");
    const auto bankFile = folder.getChildFile ("Mine.tqprsb");
    const auto text = [] (const juce::XmlElement& settings, const char* path, const char* attribute)
    {
        const auto* element = &settings;

        for (const auto& name : juce::StringArray::fromTokens (path, "/", {}))
            element = element->getChildByName (name);

        return element->getStringAttribute (attribute);
    };

    {
        const auto plugin = OldStyleTestPlugin::create();
        const auto defaults = plugin->createUserSettingsXml();
        EXPECT_EQ (defaults->getStringAttribute ("application"), "Tarvelin");
        EXPECT_EQ (text (*defaults, "ResourcesSettings/Presets", "default"), "factoryPresets");
        EXPECT_EQ (text (*defaults, "ResourcesSettings/MidiCCMap", "default"), "noMapping");
        EXPECT_EQ (text (*defaults, "PresetSettings", "storing") + " " + text (*defaults, "PresetSettings", "changing"), "onDemand normal");

        plugin->setPresetStoringMode (PresetManager::automaticStoring);
        plugin->setPresetChangingMode (PresetManager::silentChanging);
        plugin->setPresetsDefaultMode (BasePluginOldStyle::userDefinedPresets);
        plugin->setUserPresetsFile (bankFile);
        plugin->setLastUsedFolder (folder);
        plugin->getMidiControl().setUseUserDefinedMap (true);
        plugin->getMidiControl().setUserDefinedMapFile (ccMap);

        const auto settings = plugin->createUserSettingsXml();
        EXPECT_EQ (text (*settings, "PluginDirectories/RecentlyUsed", "dir"), folder.getFullPathName());
        EXPECT_EQ (text (*settings, "ResourcesSettings/Presets", "default"), "userDefinedPresets");
    }

    const auto plugin = OldStyleTestPlugin::create();

    EXPECT_EQ (plugin->getPresetStoringMode(), PresetManager::automaticStoring);
    EXPECT_EQ (plugin->getPresetChangingMode(), PresetManager::silentChanging);
    EXPECT_EQ (plugin->getPresetsDefaultMode(), BasePluginOldStyle::userDefinedPresets);
    EXPECT_EQ (plugin->getUserPresetsFile(), bankFile);
    EXPECT_EQ (plugin->getLastUsedFolder(), folder);
    EXPECT_TRUE (plugin->getMidiControl().isUsingUserDefinedMap());
    EXPECT_EQ (plugin->getMidiControl().getUserDefinedMapFile(), ccMap);
}

TEST_F (BasePluginOldStyleTest, ChangingModeIsNeitherReadNorWrittenWhenUnsupported)
{
    writeSettings ("<PresetSettings changing=\"silent\"/>");
    OldStyleTestPlugin plugin ({ "TQ", false });

    plugin.loadUserSettings();

    EXPECT_EQ (plugin.getPresetChangingMode(), PresetManager::normalChanging);
    EXPECT_FALSE (plugin.createUserSettingsXml()->getChildByName ("PresetSettings")->hasAttribute ("changing"));
}

//==============================================================================
// Storing and the preset parameters

TEST_F (BasePluginOldStyleTest, OnDemandStoringDropsUnsavedEditsWhenAnotherPresetIsSelectedAndKeepsStoredOnes)
{
    const auto plugin = OldStyleTestPlugin::create();
    const auto stored = plugin->getPresetSlot (0)->getValue (cutoffId);

    setValue (*plugin, cutoffId, 0.91f);
    plugin->selectPreset (1, false);
    plugin->selectPreset (0, false);
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), stored);

    setValue (*plugin, cutoffId, 0.91f);
    EXPECT_FLOAT_EQ (plugin->getPresetSlot (0)->getValue (cutoffId), stored);
    plugin->storeCurrentPreset();
    EXPECT_FLOAT_EQ (plugin->getPresetSlot (0)->getValue (cutoffId), 0.91f);
}

TEST_F (BasePluginOldStyleTest, EditingThePresetNameRenamesTheCurrentSlotSilentlyAndTheNumberSelectsNothing)
{
    const auto plugin = OldStyleTestPlugin::create();
    HostChanges host;
    auto& processor = static_cast<juce::AudioProcessor&> (*plugin);
    processor.addListener (&host);
    plugin->selectPreset (4, false);
    host.indexes.clear();

    plugin->getParameterManager().setValueFromText (110001, "My Bass");
    plugin->getParameterManager().setIntValue (110000, 9);

    EXPECT_EQ (plugin->getPresetName (4), "My Bass");
    EXPECT_TRUE (host.indexes.empty());
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 4);
    processor.removeListener (&host);
}

//==============================================================================
// The state

TEST_F (BasePluginOldStyleTest, TheStateHoldsParametersPresetsAndTheCcMapInOrderAndRestoresTheBankAndCurrentPresetWithoutApplyingIt)
{
    const auto source = OldStyleTestPlugin::create();
    source->setPresetName (1, "Renamed");
    source->insertNewGroup (0);
    source->setGroupName (0, "Mine");
    setValue (*source, cutoffId, 0.123f);
    source->setCurrentPresetIndex (5, false);

    const auto state = source->createStateXml();
    ASSERT_EQ (state->getNumChildElements(), 3);
    EXPECT_EQ (state->getStringAttribute ("application"), "Tarvelin");
    EXPECT_EQ (state->getChildElement (0)->getTagName(), "ParametersState");
    EXPECT_EQ (state->getChildElement (0)->getNumChildElements(), 36);
    EXPECT_EQ (state->getChildElement (1)->getTagName(), "PresetsState");
    EXPECT_EQ (state->getChildElement (1)->getIntAttribute ("currentPreset"), 5);
    EXPECT_EQ (state->getChildElement (1)->getChildElement (0)->getTagName(), "PresetBank");
    EXPECT_EQ (state->getChildElement (2)->getTagName(), "MidiControlMap");

    juce::MemoryBlock block;
    source->getStateInformation (block);
    const auto plugin = OldStyleTestPlugin::create();
    plugin->setStateInformation (block.getData(), static_cast<int> (block.getSize()));

    EXPECT_EQ (plugin->getPresetName (1), "Renamed");
    EXPECT_EQ (plugin->getGroupName (0), "Mine");
    EXPECT_EQ (groupCounts (*plugin), groupCounts (*source));
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 5);
    EXPECT_EQ (plugin->getParameterManager().getParameter (110000)->getIntValue(), 5);
    EXPECT_EQ (currentName (*plugin), plugin->getPresetName (5));
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.123f);
    EXPECT_NE (plugin->getPresetSlot (5)->getValue (cutoffId), 0.123f);
}

TEST_F (BasePluginOldStyleTest, AForeignStateNonFiniteValuesAndACurrentPresetOutsideTheSlotsChangeNothing)
{
    const auto plugin = OldStyleTestPlugin::create();
    setValue (*plugin, cutoffId, 0.4f);
    plugin->selectPreset (2, false);
    setValue (*plugin, cutoffId, 0.4f);

    for (const auto* state : { "<PluginState application=\"Other\"><ParametersState><param name=\"Cutoff\" value=\"0.9\"/>"
                               "</ParametersState></PluginState>",
                               "<PluginState application=\"Tarvelin\"><ParametersState><param name=\"Cutoff\" value=\"nan\"/>"
                               "<param name=\"Volume\" value=\"0.25\"/></ParametersState><PresetsState currentPreset=\"inf\"/></PluginState>",
                               "<PluginState application=\"Tarvelin\"><PresetsState currentPreset=\"300\"/></PluginState>" })
        plugin->setStateFromXml (*juce::parseXML (state));

    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.4f);
    EXPECT_FLOAT_EQ (value (*plugin, volumeId), 0.25f);
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 2);
}

TEST_F (BasePluginOldStyleTest, AStateWhoseBankHoldsNoneOfItsPresetsKeepsTheBankAndTakesTheCurrentIndexAndValues)
{
    const auto plugin = OldStyleTestPlugin::create();
    plugin->setPresetName (3, "Mine");
    const auto groupsBefore = groupCounts (*plugin);

    plugin->setStateFromXml (*juce::parseXML ("<PluginState application=\"Tarvelin\"><ParametersState><param name=\"Cutoff\" value=\"0.75\"/>"
                                              "</ParametersState><PresetsState currentPreset=\"3\"><PresetBank name=\"Theirs\"><PresetGroup>"
                                              "<Preset application=\"Other\" name=\"A\"/></PresetGroup></PresetBank></PresetsState></PluginState>"));

    EXPECT_EQ (plugin->getPresetName (3), "Mine");
    EXPECT_EQ (groupCounts (*plugin), groupsBefore);
    EXPECT_NE (plugin->getBankName(), "Theirs");
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 3);
    EXPECT_EQ (currentName (*plugin), "Mine");
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.75f);
}

// Each bank read resets all 128 slots and each value set notifies its
// listeners: a state repeating them is applied once, as the last copy says.
TEST_F (BasePluginOldStyleTest, ARepeatedParameterValueOrBankInTheStateIsAppliedOnceAsItsLastCopySays)
{
    RecordingListener cutoff;   // declared first: a parameter keeps its listeners for its whole life
    const auto plugin = setUp (std::make_unique<CountingBankReads>());
    plugin->getParameterManager().getParameter (cutoffId)->addListener (&cutoff);

    juce::String values, banks;

    for (int i = 0; i < 30; ++i)
    {
        values << "<param name=\"Cutoff\" value=\"" << (i % 2 == 0 ? "0.2" : "0.3") << "\"/>";
        banks << "<PresetBank name=\"Bank " << i << "\"><PresetGroup name=\"G\"><Preset application=\"Tarvelin\" name=\"P"
              << i << "\"/></PresetGroup></PresetBank>";
    }

    values << "<param name=\"Volume\" value=\"0.25\"/><param name=\"Cutoff\" value=\"0.75\"/>";
    banks << "<PresetBank name=\"Theirs\"><PresetGroup><Preset application=\"Other\" name=\"A\"/></PresetGroup></PresetBank>";

    plugin->setStateFromXml (*juce::parseXML ("<PluginState application=\"Tarvelin\"><ParametersState>" + values
                                              + "</ParametersState><PresetsState currentPreset=\"0\">" + banks
                                              + "</PresetsState></PluginState>"));

    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.75f);
    EXPECT_FLOAT_EQ (value (*plugin, volumeId), 0.25f);
    EXPECT_EQ (cutoff.numChanges(), 1);

    // The last bank holds none of its presets and changes nothing: the one before counts.
    EXPECT_EQ (plugin->getBankName(), "Bank 29");
    EXPECT_EQ (plugin->getPresetName (0), "P29");
    EXPECT_EQ (groupCounts (*plugin), std::vector<int> ({ 1, 127 }));
    EXPECT_EQ (plugin->bankReads, 2);
}

TEST_F (BasePluginOldStyleTest, TheProgramStateIsTheCurrentPresetAndIsReadIntoTheCurrentSlotAndApplied)
{
    const auto plugin = OldStyleTestPlugin::create();
    plugin->selectPreset (1, false);
    const auto xml = plugin->createCurrentProgramStateXml();
    EXPECT_EQ (xml->getTagName(), "Preset");
    EXPECT_EQ (xml->getStringAttribute ("name"), plugin->getPresetName (1));

    plugin->selectPreset (3, false);
    plugin->setCurrentProgramStateFromXml (*makePresetXml ("From Host", 0.66f));
    EXPECT_EQ (plugin->getPresetName (3), "From Host");
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.66f);

    // A foreign one keeps unsaved edits.
    setValue (*plugin, cutoffId, 0.31f);
    plugin->setCurrentProgramStateFromXml (*makePresetXml ("Alien", 0.9f, "Other"));
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), 0.31f);
}

TEST_F (BasePluginOldStyleTest, UnderVst3AMoveThatChangesTheCurrentPresetsIndexTellsTheHostItsNewProgram)
{
    for (const auto wrapper : { juce::AudioProcessor::wrapperType_VST3, juce::AudioProcessor::wrapperType_LV2 })
    {
        SCOPED_TRACE (juce::AudioProcessor::getWrapperTypeDescription (wrapper));
        juce::AudioProcessor::setTypeOfNextNewPlugin (wrapper);
        const auto plugin = OldStyleTestPlugin::create();
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
        HostRecorder host;
        plugin->addListener (&host);
        plugin->clearPresets();
        ASSERT_TRUE (plugin->insertNewGroup (0));
        plugin->selectPreset (0, false);
        host.programChanges = 0;
        const bool vst3 = wrapper == juce::AudioProcessor::wrapperType_VST3;

        // The current preset 0 goes behind 1 and 2 in its group: it is program 2 now.
        ASSERT_TRUE (plugin->movePreset (0, 2, 1, 1));
        EXPECT_EQ (plugin->getCurrentPresetIndex(), 2);
        EXPECT_EQ (plugin->getCurrentProgram(), vst3 ? 2 : 0);
        EXPECT_EQ (host.programChanges, vst3 ? 1 : 0);

        // Moves behind it leave its number, and the host hears nothing.
        ASSERT_TRUE (plugin->movePreset (5, 9, 1, 1));
        EXPECT_EQ (host.programChanges, vst3 ? 1 : 0);

        // Into the empty group before it, and the groups swapped back: each changes its number.
        juce::SparseSet<int> first;
        first.addRange ({ 0, 1 });
        ASSERT_TRUE (plugin->movePresetsToGroup (0, 1, first));
        EXPECT_EQ (plugin->getCurrentPresetIndex(), 2);
        EXPECT_EQ (host.programChanges, vst3 ? 1 : 0) << "the slot before it only changed groups";

        ASSERT_TRUE (plugin->moveGroup (0, 1));
        EXPECT_EQ (plugin->getCurrentPresetIndex(), 1);
        EXPECT_EQ (plugin->getCurrentProgram(), vst3 ? 1 : 0);
        EXPECT_EQ (host.programChanges, vst3 ? 2 : 0);

        juce::SparseSet<int> two;
        two.addRange ({ 0, 2 });
        ASSERT_TRUE (plugin->movePresetsToGroup (1, 0, two));
        EXPECT_EQ (plugin->getCurrentPresetIndex(), 127);
        EXPECT_EQ (host.programChanges, vst3 ? 3 : 0);
        plugin->removeListener (&host);
    }
}

//==============================================================================
TEST_F (BasePluginOldStyleTest, AProgramChangeOnTheAudioThreadAppliesThePresetThere)
{
    struct ThreadRecorder : public BasePluginOldStyle::PresetManagerListener
    {
        void currentPresetLoaded() override { thread = std::this_thread::get_id(); }
        std::thread::id thread;
    } recorder;
    const auto plugin = OldStyleTestPlugin::create();
    plugin->addPresetManagerListener (&recorder);
    RecordingListener numberDisplay;
    auto* number = plugin->getParameterManager().getParameter (110000);
    number->addAsyncListener (&numberDisplay);
    const auto expected = plugin->getPresetSlot (7)->getValue (cutoffId);

    // The audio thread must finish without the message thread's help: this one waits.
    std::thread audio ([&] { plugin->selectPreset (7, false); });
    const auto audioThread = audio.get_id();
    audio.join();

    EXPECT_EQ (recorder.thread, audioThread);
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), expected);

    drainAsync (*number);
    EXPECT_EQ (numberDisplay.values, std::vector<float> ({ 7.0f }));
    number->removeAsyncListener (&numberDisplay);
}

//==============================================================================
TEST_F (BasePluginOldStyleTest, AnOlderSettingsFileMovesIntoTheNewUserFolderOnlyWholeAndUnlessTheUserHasSettings)
{
    OldStyleTestPlugin plugin;
    const auto oldFile = plugin.getCommonSettingsFolder().getChildFile ("Tarvelin.ini");
    ASSERT_TRUE (oldFile.getParentDirectory().createDirectory());
    const auto settings = "<UserSettings application=\"Tarvelin\">" + juce::String::repeatedString ("<Presets/>", 200) + "</UserSettings>";
    ASSERT_TRUE (oldFile.replaceWithText (settings));

    {
        const ScopedFileSizeLimit fullDisk (1000);   // smaller than the file, so the copy stops short
        plugin.moveSettingsToUserFolder();
    }

    EXPECT_EQ (oldFile.loadFileAsString(), settings);
    EXPECT_FALSE (plugin.getUserSettingsFile().exists());

    plugin.moveSettingsToUserFolder();
    EXPECT_EQ (plugin.getUserSettingsFile().loadFileAsString(), settings);
    EXPECT_FALSE (oldFile.exists());

    ASSERT_TRUE (oldFile.replaceWithText ("old"));
    plugin.moveSettingsToUserFolder();
    EXPECT_TRUE (oldFile.exists());
    EXPECT_EQ (plugin.getUserSettingsFile().loadFileAsString(), settings);
}

TEST_F (BasePluginOldStyleTest, AnOlderSettingsPathThatIsNoRegularFileIsLeftUnread)
{
    OldStyleTestPlugin plugin;
    const auto oldFile = plugin.getCommonSettingsFolder().getChildFile ("Tarvelin.ini");
    ASSERT_TRUE (oldFile.getParentDirectory().createDirectory());

    for (const auto isPipe : { true, false })
    {
        oldFile.deleteFile();

        if (isPipe)
            ASSERT_EQ (::mkfifo (oldFile.getFullPathName().toRawUTF8(), 0600), 0);
        else
            ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (oldFile, true));

        plugin.moveSettingsToUserFolder();

        EXPECT_FALSE (plugin.getUserSettingsFile().exists()) << isPipe;
        EXPECT_TRUE (oldFile.isSymbolicLink() || oldFile.exists()) << isPipe;
    }

    oldFile.deleteFile();
}
