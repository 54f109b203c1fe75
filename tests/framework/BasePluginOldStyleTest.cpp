#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "support/ParameterListeners.h"
#include "support/PresetTestSupport.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlugins.h"

#include <gtest/gtest.h>

#include <thread>

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

/** Counts value changes the host hears. */
struct HostChanges : public juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { indexes.push_back (index); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    std::vector<int> indexes;
};
} // namespace

//==============================================================================
TEST_F (BasePluginOldStyleTest, AddsTheTwoPresetParametersAndNamesItsFilesAfterTheShortName)
{
    OldStyleTestPlugin plugin;

    auto* number = dynamic_cast<IntParameter*> (plugin.getParameterManager().getParameter (110000));
    ASSERT_NE (number, nullptr);
    EXPECT_EQ (number->getName(), "Current Preset Number");
    EXPECT_EQ (number->getMaximum(), 127);
    EXPECT_EQ (plugin.getParameterManager().getParameter (110001)->getName(), "Current Preset Name");

    EXPECT_EQ (plugin.getPresetFileExtension(), ".tqprs");
    EXPECT_EQ (plugin.getBankFileExtension(), ".tqprsb");
    EXPECT_EQ (plugin.getMidiCCMapFileExtension(), ".tqccmap");
    EXPECT_EQ (plugin.getPresetLoadWildcard(), "*.tqprs");
}

//==============================================================================
// The set-up by presets default mode (the factory mode through the instrument: TarvelinPresetsTest)

TEST_F (BasePluginOldStyleTest, SetUpTakesTheDefaultPresetFromItsResource)
{
    const auto preset = juce::parseXML (loadBundleResourceAsString ("default.tqprs"));
    const auto plugin = OldStyleTestPlugin::create();

    EXPECT_NEAR (plugin->getDefaultPreset().getValue (cutoffId),
                 preset->getChildByAttribute ("name", "Cutoff")->getDoubleAttribute ("value"), 1.0e-6);
}

TEST_F (BasePluginOldStyleTest, ClearPresetsModeGivesNumberedDefaultPresetsInOneGroup)
{
    writePresetsSetting ("clearPresets");

    const auto plugin = OldStyleTestPlugin::create();

    EXPECT_EQ (groupCounts (*plugin), std::vector<int> ({ 128 }));
    EXPECT_EQ (plugin->getPresetName (3), "Preset 3");
    EXPECT_EQ (plugin->getGroupName (0), "Not used");
    EXPECT_FLOAT_EQ (value (*plugin, cutoffId), plugin->getDefaultPreset().getValue (cutoffId));
    EXPECT_EQ (plugin->getPresetsDefaultMode(), BasePluginOldStyle::clearedPresets);
}

TEST_F (BasePluginOldStyleTest, UserBankModeLoadsTheUsersBank)
{
    const auto bankFile = folder.getChildFile ("Mine.tqprsb");
    ASSERT_TRUE (XmlFiles::write (*makeBankXml ({ 2, 3 }), bankFile));
    writePresetsSetting ("userDefinedPresets", bankFile);

    const auto plugin = OldStyleTestPlugin::create();

    EXPECT_EQ (groupCounts (*plugin), std::vector<int> ({ 2, 3, 123 }));
    EXPECT_EQ (currentName (*plugin), "P0");
    EXPECT_EQ (plugin->getLastUsedFolder(), folder);
}

TEST_F (BasePluginOldStyleTest, AMissingUserBankLoadsTheFactoryBankAndKeepsTheChoice)
{
    const auto missing = folder.getChildFile ("Gone.tqprsb");
    writePresetsSetting ("userDefinedPresets", missing);
    const auto factory = juce::parseXML (loadBundleResourceAsString ("default.tqprsb"));

    OldStyleTestPlugin::create().reset();

    const auto plugin = OldStyleTestPlugin::create();
    EXPECT_EQ (currentName (*plugin), factory->getChildElement (0)->getChildElement (0)->getStringAttribute ("name"));
    EXPECT_EQ (plugin->getPresetsDefaultMode(), BasePluginOldStyle::userDefinedPresets);
    EXPECT_EQ (plugin->getUserPresetsFile(), missing);
}

TEST_F (BasePluginOldStyleTest, AnUnreadableUserBankLeavesClearedPresetsNotEmptySlots)
{
    writePresetsSetting ("userDefinedPresets", temporary.write ("Broken.tqprsb", "<PresetBank><PresetGroup"));

    const auto plugin = OldStyleTestPlugin::create();

    EXPECT_EQ (groupCounts (*plugin), std::vector<int> ({ 128 }));
    EXPECT_FLOAT_EQ (value (*plugin, volumeId), plugin->getDefaultPreset().getValue (volumeId));
    EXPECT_GT (value (*plugin, volumeId), 0.0f);
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

TEST_F (BasePluginOldStyleTest, SettingsSurviveARestart)
{
    const auto ccMap = folder.getChildFile ("map.tqccmap");
    const auto bankFile = folder.getChildFile ("Mine.tqprsb");

    {
        const auto plugin = OldStyleTestPlugin::create();
        plugin->setPresetStoringMode (PresetManager::automaticStoring);
        plugin->setPresetChangingMode (PresetManager::silentChanging);
        plugin->setPresetsDefaultMode (BasePluginOldStyle::userDefinedPresets);
        plugin->setUserPresetsFile (bankFile);
        plugin->setLastUsedFolder (folder);
        plugin->getMidiControl().setUseUserDefinedMap (true);
        plugin->getMidiControl().setUserDefinedMapFile (ccMap);
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

TEST_F (BasePluginOldStyleTest, WrittenSettingsHoldDirectoriesResourcesAndPresetSettings)
{
    OldStyleTestPlugin plugin;
    plugin.setLastUsedFolder (folder);

    const auto settings = plugin.createUserSettingsXml();

    EXPECT_EQ (settings->getStringAttribute ("application"), "Tarvelin");
    EXPECT_EQ (settings->getChildByName ("PluginDirectories")->getChildByName ("RecentlyUsed")->getStringAttribute ("dir"),
               folder.getFullPathName());
    EXPECT_EQ (settings->getChildByName ("ResourcesSettings")->getChildByName ("Presets")->getStringAttribute ("default"),
               "factoryPresets");
    EXPECT_EQ (settings->getChildByName ("ResourcesSettings")->getChildByName ("MidiCCMap")->getStringAttribute ("default"),
               "noMapping");
    EXPECT_EQ (settings->getChildByName ("PresetSettings")->getStringAttribute ("storing"), "onDemand");
    EXPECT_EQ (settings->getChildByName ("PresetSettings")->getStringAttribute ("changing"), "normal");
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
TEST_F (BasePluginOldStyleTest, AnOlderSettingsFileMovesIntoTheNewUserFolderUnlessTheUserHasSettings)
{
    OldStyleTestPlugin plugin;
    const auto oldFile = plugin.getCommonSettingsFolder().getChildFile ("Tarvelin.ini");
    ASSERT_TRUE (oldFile.getParentDirectory().createDirectory());
    ASSERT_TRUE (oldFile.replaceWithText ("<UserSettings application=\"Tarvelin\"/>"));

    plugin.moveSettingsToUserFolder();
    EXPECT_EQ (plugin.getUserSettingsFile().loadFileAsString(), "<UserSettings application=\"Tarvelin\"/>");
    EXPECT_FALSE (oldFile.exists());

    ASSERT_TRUE (oldFile.replaceWithText ("old"));
    plugin.moveSettingsToUserFolder();
    EXPECT_TRUE (oldFile.exists());
    EXPECT_NE (plugin.getUserSettingsFile().loadFileAsString(), "old");
}

TEST_F (BasePluginOldStyleTest, AnOlderSettingsFileThatCannotBeCopiedWholeStaysAndLeavesNoPartialCopy)
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
}
