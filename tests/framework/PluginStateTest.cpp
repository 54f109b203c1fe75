#include "framework/XmlFiles.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlugins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace
{
class PluginStateTest : public ::testing::Test
{
protected:
    void SetUp() override       { removeSettingsOf ("TestPlugin"); }
    void TearDown() override    { removeSettingsOf ("TestPlugin"); }

    static juce::File settingsFile() { return TestPlugin().getUserSettingsFile(); }

    static void writeSettings (const juce::String& text)
    {
        ASSERT_TRUE (settingsFile().getParentDirectory().createDirectory());
        ASSERT_TRUE (settingsFile().replaceWithText (text));
    }

    static juce::MemoryBlock blockOf (const juce::String& xml)
    {
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (xml), block);
        return block;
    }

    static void restore (BasePlugin& plugin, const juce::MemoryBlock& block)
    {
        plugin.setStateInformation (block.getData(), static_cast<int> (block.getSize()));
    }

    TemporaryFolder temporary;
    const juce::File& folder = temporary.get();
};
} // namespace

//==============================================================================
// The host's state block

TEST_F (PluginStateTest, TheStateIsAPluginStateOfThisPlugInHoldingTheEditorsElementAndRestoresIntoAnotherInstance)
{
    const auto first = TestPlugin::create();
    const auto second = TestPlugin::create();
    first->getTestEditor()->skin = "Acid";

    juce::MemoryBlock block;
    first->getStateInformation (block);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (block.getData(), static_cast<int> (block.getSize()));

    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PluginState");
    EXPECT_EQ (xml->getStringAttribute ("application"), "TestPlugin");
    ASSERT_EQ (xml->getNumChildElements(), 1);
    EXPECT_EQ (xml->getChildElement (0)->getTagName(), "Editor");
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("skin"), "Acid");

    restore (*second, block);
    EXPECT_EQ (second->getTestEditor()->skin, "Acid");

    // The tag and the application name compare ignoring case.
    restore (*second, blockOf ("<pluginstate application=\"TESTPLUGIN\"><Editor skin=\"Loud\"/></pluginstate>"));
    EXPECT_EQ (second->getTestEditor()->skin, "Loud");
}

TEST_F (PluginStateTest, TheEditorsPartOfAStateRestoredOnTheHostsThreadReachesItOnTheMessageThreadBeforeTheAnnouncement)
{
    // Notes the editor's state when it hears of the restore.
    struct SkinAtRestore : public BasePlugin::Listener
    {
        void pluginStateRestored (BasePlugin* restored) override
        {
            skins.add (dynamic_cast<TestPlugin&> (*restored).getTestEditor()->skin);
        }

        juce::StringArray skins;
    } listener;

    const auto plugin = TestPlugin::create();
    plugin->addListener (&listener);
    plugin->handleUpdateNowIfNeeded();
    const auto block = blockOf ("<PluginState application=\"TestPlugin\"><Editor skin=\"Acid\"/></PluginState>");

    std::thread host ([&] { restore (*plugin, block); });
    host.join();
    EXPECT_EQ (plugin->getTestEditor()->skin, "");

    plugin->handleUpdateNowIfNeeded();
    EXPECT_EQ (plugin->getTestEditor()->skin, "Acid");
    EXPECT_EQ (listener.skins, juce::StringArray ("Acid"));
    plugin->removeListener (&listener);
}

// Restores off the message thread wait for it, each holding only the editor's
// part; whatever comes later, from any thread, wins over a part still waiting.
TEST_F (PluginStateTest, TheLatestRestoreOfTheEditorsPartWinsWhateverThreadEachCameOn)
{
    struct Restore
    {
        const char* skin;   // none: a state without the editor's part
        bool onHostThread;
    };

    struct Case
    {
        const char* description;
        std::vector<Restore> restores;
        const char* expectedSkin;
    };

    const Case cases[] = {
        { "host thread, then message thread", { { "Acid", true }, { "Loud", false } }, "Loud" },
        { "two on host threads", { { "Acid", true }, { "Loud", true } }, "Loud" },
        { "message thread, then host thread", { { "Acid", false }, { "Loud", true } }, "Loud" },
        { "host thread, then one without the editor's part", { { "Acid", true }, { nullptr, false } }, "Acid" },
        { "host thread, then one without it on a host thread", { { "Acid", true }, { nullptr, true } }, "Acid" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        const auto plugin = TestPlugin::create();
        plugin->getTestEditor()->skin = "Mine";
        plugin->handleUpdateNowIfNeeded();

        for (const auto& r : c.restores)
        {
            // The editor's part among others, as a layered plug-in's state has it.
            const auto block = blockOf ("<PluginState application=\"TestPlugin\"><Other/>"
                                        + juce::String (r.skin != nullptr ? "<Editor skin=\"" + juce::String (r.skin) + "\"/>" : "")
                                        + "<Other/></PluginState>");

            if (r.onHostThread)
                std::thread ([&] { restore (*plugin, block); }).join();
            else
                restore (*plugin, block);
        }

        plugin->handleUpdateNowIfNeeded();
        EXPECT_EQ (plugin->getTestEditor()->skin, juce::String (c.expectedSkin));

        const auto applied = std::find_if (c.restores.rbegin(), c.restores.rend(), [] (const Restore& r) { return r.skin != nullptr; });
        EXPECT_EQ (plugin->getTestEditor()->restoredWithSiblings, ! applied->onHostThread)
            << "a restore off the message thread keeps a copy of the editor's part alone";
    }
}

// The state block is written up to the length its reader reads. A longer
// state would restore nothing: the host gets the last block written or
// restored instead, which does, and a fresh instance hands over nothing.
TEST_F (PluginStateTest, AStateLongerThanItsReaderReadsIsNotWrittenAndTheHostGetsTheLastOneThatRestores)
{
    constexpr int blockFrame = 9;   // magic number, length and closing zero around the text
    const auto plugin = TestPlugin::create();
    auto& skin = plugin->getTestEditor()->skin;

    juce::MemoryBlock bare;
    plugin->getStateInformation (bare);
    const auto textBesidesSkin = static_cast<int> (bare.getSize()) - blockFrame;
    const auto skinForText = [&] (int textBytes) { return juce::String::repeatedString ("a", textBytes - textBesidesSkin); };

    const auto skinRestoredFrom = [] (const juce::MemoryBlock& block)
    {
        const auto other = TestPlugin::create();
        restore (*other, block);
        return other->getTestEditor()->skin;
    };

    skin = skinForText (BasePlugin::maxStateBytes);
    juce::MemoryBlock atLimit;
    plugin->getStateInformation (atLimit);
    EXPECT_EQ (static_cast<int> (atLimit.getSize()), BasePlugin::maxStateBytes + blockFrame);
    EXPECT_EQ (skinRestoredFrom (atLimit), skin);

    skin = skinForText (BasePlugin::maxStateBytes + 1);
    juce::MemoryBlock over;
    plugin->getStateInformation (over);
    EXPECT_TRUE (over == atLimit) << "a block of " << over.getSize() << " bytes";

    // A block the host restored counts as well.
    restore (*plugin, blockOf ("<PluginState application=\"TestPlugin\"><Editor skin=\"Loud\"/></PluginState>"));
    skin = skinForText (BasePlugin::maxStateBytes + 1);
    plugin->getStateInformation (over);
    EXPECT_EQ (skinRestoredFrom (over), "Loud");

    const auto fresh = TestPlugin::create();
    fresh->getTestEditor()->skin = skin;
    juce::MemoryBlock none;
    fresh->getStateInformation (none);
    EXPECT_EQ (none.getSize(), 0u);
}

TEST_F (PluginStateTest, AStateOfAnotherPlugInOrKindOrADamagedBlockChangesNothingButIsStillAnnounced)
{
    const auto plugin = TestPlugin::create();
    CallLog log;
    PluginRecorder recorder (log);
    plugin->addListener (&recorder);
    plugin->getTestEditor()->skin = "Mine";
    plugin->handleUpdateNowIfNeeded();

    restore (*plugin, blockOf ("<PluginState application=\"Other\"><Editor skin=\"Theirs\"/></PluginState>"));
    restore (*plugin, blockOf ("<UserSettings application=\"TestPlugin\"><Editor skin=\"Theirs\"/></UserSettings>"));
    restore (*plugin, blockOf ("<PluginState><Editor skin=\"Theirs\"/></PluginState>"));
    const char garbage[] = "this is no state at all";
    plugin->setStateInformation (garbage, sizeof (garbage));
    auto truncated = blockOf ("<PluginState application=\"TestPlugin\"><Editor skin=\"Theirs\"/></PluginState>");
    truncated.setSize (20);
    restore (*plugin, truncated);
    plugin->setStateInformation (nullptr, 0);
    plugin->handleUpdateNowIfNeeded();

    EXPECT_EQ (plugin->getTestEditor()->skin, "Mine");
    EXPECT_EQ (log, CallLog { "listener restored" });
    plugin->removeListener (&recorder);
}

//==============================================================================
// User settings

TEST_F (PluginStateTest, EverySettingOfThisLayerSurvivesARestartInADocumentOfItsChildrenInOrder)
{
    const auto ccMap = folder.getChildFile ("my.tpccmap");
    const auto hostMap = folder.getChildFile ("my.tphpmap");

    {
        const auto plugin = TestPlugin::create();
        plugin->setPresetAuthor ("Ann Author");
        plugin->getMidiControl().setUseUserDefinedMap (true);
        plugin->getMidiControl().setUserDefinedMapFile (ccMap);
        plugin->setHostParametersMapFile (hostMap, true);
        plugin->getTestEditor()->defaultSkin = "Dark";
    }

    const auto xml = XmlFiles::read (settingsFile(), BasePlugin::maxSettingsFileBytes);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "UserSettings");
    EXPECT_EQ (xml->getStringAttribute ("application"), "TestPlugin");
    ASSERT_EQ (xml->getNumChildElements(), 5);
    EXPECT_EQ (xml->getChildElement (0)->getChildByName ("Author")->getStringAttribute ("name"), "Ann Author");
    EXPECT_EQ (xml->getChildElement (1)->getTagName(), "MidiControlMap");
    EXPECT_EQ (xml->getChildElement (1)->getStringAttribute ("default"), "yes");
    EXPECT_EQ (xml->getChildElement (2)->getTagName(), "HostParametersMap");
    EXPECT_EQ (xml->getChildElement (3)->getStringAttribute ("name"), "DefaultProcessingQuality");
    EXPECT_EQ (xml->getChildElement (4)->getTagName(), "Editor");
    EXPECT_EQ (xml->getChildElement (4)->getStringAttribute ("defaultSkin"), "Dark");

    const auto plugin = TestPlugin::create();

    EXPECT_EQ (plugin->getPresetAuthor(), "Ann Author");
    EXPECT_TRUE (plugin->getMidiControl().isUsingUserDefinedMap());
    EXPECT_EQ (plugin->getMidiControl().getUserDefinedMapFile(), ccMap);
    EXPECT_TRUE (plugin->isHostParametersMapFileLoadedAtStart());
    EXPECT_EQ (plugin->getHostParametersMapFile(), hostMap);
}

TEST_F (PluginStateTest, AMapsDefaultOfYesCountsInAnyCaseARelativeOrEmptyPathNamesNoFileAndAMissingAuthorLeavesTheAuthor)
{
    writeSettings ("<UserSettings application=\"TestPlugin\"><Presets/>"
                   "<MidiControlMap default=\"YES\" file=\"maps/a.tpccmap\"/>"
                   "<HostParametersMap default=\"Yes\"/></UserSettings>");
    TestPlugin plugin;
    plugin.setPresetAuthor ("Kept");

    plugin.loadUserSettings();

    EXPECT_EQ (plugin.getPresetAuthor(), "Kept");
    EXPECT_TRUE (plugin.getMidiControl().isUsingUserDefinedMap());
    EXPECT_TRUE (plugin.isHostParametersMapFileLoadedAtStart());
    EXPECT_EQ (plugin.getMidiControl().getUserDefinedMapFile(), juce::File());
    EXPECT_EQ (plugin.getHostParametersMapFile(), juce::File());
}

TEST_F (PluginStateTest, SettingsOfAnotherPlugInOrDamagedOnesAreTreatedAsNone)
{
    for (const auto* text : { "<UserSettings application=\"Other\"><Presets><Author name=\"Them\"/></Presets>"
                              "<MidiControlMap default=\"yes\" file=\"/tmp/a.tpccmap\"/></UserSettings>",
                              "<UserSettings application=\"TestPlugin\"><Presets><Author name=\"Them" })
    {
        writeSettings (text);

        const auto plugin = TestPlugin::create();

        EXPECT_EQ (plugin->getPresetAuthor(), "") << text;
        EXPECT_FALSE (plugin->getMidiControl().isUsingUserDefinedMap()) << text;
        EXPECT_EQ (std::count (plugin->log.begin(), plugin->log.end(), "userSettingsLoaded"), 1) << text;
    }
}

TEST_F (PluginStateTest, QualityDefaultsAreReadWrittenAndCopiedIntoTheCurrentQuality)
{
    TestPlugin::Options options;
    options.realtimeQualityId = 72;
    options.offlineQualityId = 73;
    options.defaultRealtimeQualityId = 84;
    options.defaultOfflineQualityId = 85;

    {
        const auto plugin = TestPlugin::create (options);
        plugin->getParameterManager().setValue (84, 1.0f);
        plugin->getParameterManager().setValue (85, 0.0f);
    }

    const auto plugin = TestPlugin::create (options);
    auto& parameters = plugin->getParameterManager();

    EXPECT_EQ (parameters.getValue (84), 1.0f);
    EXPECT_EQ (parameters.getValue (85), 0.0f);
    EXPECT_EQ (parameters.getValue (72), 1.0f);
    EXPECT_EQ (parameters.getValue (73), 0.0f);
}

TEST_F (PluginStateTest, AQualityPresetTouchesOnlyTheQualityDefaults)
{
    writeSettings ("<UserSettings application=\"TestPlugin\">"
                   "<Preset name=\"DefaultProcessingQuality\">"
                   "<param name=\"Cutoff\" value=\"0.9\"/><param name=\"Nothing\" value=\"0.9\"/></Preset>"
                   "<Preset name=\"defaultprocessingquality\"><param name=\"Resonance\" value=\"0.9\"/></Preset>"
                   "</UserSettings>");
    TestPlugin::Options options;
    options.defaultRealtimeQualityId = 2;

    const auto plugin = TestPlugin::create (options);

    EXPECT_FLOAT_EQ (plugin->getParameterManager().getValue (2), 0.9f);
    EXPECT_FLOAT_EQ (plugin->getParameterManager().getValue (3), 0.5f);
}

TEST_F (PluginStateTest, APlugInNeverSetUpOrALayeredOneWithoutADocumentLeavesTheSettingsAndWithOneWritesExactlyIt)
{
    const juce::String annsSettings ("<UserSettings application=\"TestPlugin\"><Presets><Author name=\"Ann\"/></Presets></UserSettings>");
    writeSettings (annsSettings);
    TestPlugin::Options options;
    options.useInitialise = true;

    {
        TestPlugin neverSetUp;
        const auto plugin = TestPlugin::create (options);
        EXPECT_FALSE (plugin->saveUserSettings());
    }

    EXPECT_EQ (settingsFile().loadFileAsString(), annsSettings);

    {
        const auto plugin = TestPlugin::create (options);
        plugin->layeredSettings = std::make_unique<juce::XmlElement> ("UserSettings");
        plugin->layeredSettings->setAttribute ("application", "TestPlugin");
        plugin->layeredSettings->createNewChildElement ("PresetSettings");
        plugin->setPresetAuthor ("Not written");
    }

    const auto xml = XmlFiles::read (settingsFile(), BasePlugin::maxSettingsFileBytes);
    ASSERT_NE (xml, nullptr);
    ASSERT_EQ (xml->getNumChildElements(), 1);
    EXPECT_EQ (xml->getChildElement (0)->getTagName(), "PresetSettings");
}

//==============================================================================
// Settings folders

TEST_F (PluginStateTest, TheSettingsFoldersFollowTheXdgVariablesOrElseLieInTheHomeFolder)
{
    const auto config = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});
    const auto data = juce::SystemStats::getEnvironmentVariable ("XDG_DATA_HOME", {});
    const auto home = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    const TestPlugin plugin;

    EXPECT_EQ (plugin.getUserSettingsFolder(), juce::File (config).getChildFile ("Ulvra Group/TestPlugin"));
    EXPECT_EQ (plugin.getCommonSettingsFolder(), juce::File (data).getChildFile ("Ulvra Group/TestPlugin"));
    EXPECT_EQ (plugin.getUserSettingsFile().getFileName(), "TestPlugin.ini");
    EXPECT_EQ (plugin.getStateDumpFile(), plugin.getUserSettingsFolder().getChildFile ("TestPlugin.dump"));

    ::setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    ::unsetenv ("XDG_CONFIG_HOME");
    ::setenv ("XDG_DATA_HOME", "relative/paths/do/not/count", 1);
    const auto user = plugin.getUserSettingsFolder();
    const auto common = plugin.getCommonSettingsFolder();
    ::setenv ("HOME", home.toRawUTF8(), 1);
    ::setenv ("XDG_CONFIG_HOME", config.toRawUTF8(), 1);
    ::setenv ("XDG_DATA_HOME", data.toRawUTF8(), 1);

    EXPECT_EQ (user, folder.getChildFile (".config/Ulvra Group/TestPlugin"));
    EXPECT_EQ (common, folder.getChildFile (".local/share/Ulvra Group/TestPlugin"));
}

//==============================================================================
// The state dump

TEST_F (PluginStateTest, TheStateDumpIsWrittenAtShutdownAndReadAtCreationOnlyWhenOn)
{
    TestPlugin::create().reset();
    EXPECT_TRUE (settingsFile().existsAsFile());
    EXPECT_FALSE (TestPlugin().getStateDumpFile().exists());

    TestPlugin::Options options;
    options.stateDump = true;

    {
        const auto plugin = TestPlugin::create (options);
        plugin->getTestEditor()->skin = "Dumped";
    }

    EXPECT_TRUE (TestPlugin().getStateDumpFile().existsAsFile());
    const auto plugin = TestPlugin::create (options);
    EXPECT_EQ (plugin->getTestEditor()->skin, "Dumped");
}

//==============================================================================
// Host-parameter map files

TEST_F (PluginStateTest, AMapHoldsOneAssignmentPerAssignedSlotCountingFromOneAndSurvivesAFileRoundTrip)
{
    const auto plugin = TestPlugin::create();
    plugin->clearHostParametersMap();
    plugin->assignHostParameter (1, 2, false);
    plugin->assignHostParameter (127, 5, false);
    const auto file = folder.getChildFile ("map.tphpmap");

    ASSERT_TRUE (plugin->saveHostParametersMap (file));

    const auto xml = XmlFiles::read (file, BasePlugin::maxHostMapFileBytes);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "HostParametersMap");
    EXPECT_EQ (xml->getStringAttribute ("name"), "TestPlugin");
    ASSERT_EQ (xml->getNumChildElements(), 2);
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("hostParam"), "2");
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("pluginParam"), "Cutoff");
    EXPECT_EQ (xml->getChildElement (1)->getStringAttribute ("hostParam"), "128");
    EXPECT_EQ (plugin->getHostParametersMapFileExtension(), ".tphpmap");

    plugin->clearHostParametersMap();
    ASSERT_TRUE (plugin->loadHostParametersMap (file));
    EXPECT_EQ (plugin->getHostParameterAssignment (1), 2);
    EXPECT_EQ (plugin->getHostParameterAssignment (127), 5);
}

TEST_F (PluginStateTest, ReadingAMapAssignsOnlyKnownLearnableParametersToSlotsOneTo128)
{
    const auto plugin = TestPlugin::create();
    const auto map = juce::parseXML ("<HostParametersMap name=\"TestPlugin\">"
                                     "<assign hostParam=\"5\" pluginParam=\"Cutoff\"/>"
                                     "<assign hostParam=\"0\" pluginParam=\"Cutoff\"/>"      // takes it out of slot 5, assigns nothing
                                     "<assign pluginParam=\"Decay\"/>"
                                     "<assign hostParam=\"1\" pluginParam=\"Resonance\"/>"
                                     "<assign hostParam=\"9\" pluginParam=\"Resonance\"/>"   // named twice: its later slot
                                     "<assign hostParam=\"1\" pluginParam=\"Nothing\"/>"
                                     "<assign hostParam=\"2\" pluginParam=\"Self Reset State\"/>"
                                     "<assign hostParam=\"129\" pluginParam=\"Decay\"/>"
                                     "<assign hostParam=\"-2147483648\" pluginParam=\"Attack\"/>"
                                     "<assign hostParam=\"nan\" pluginParam=\"Drive\"/>"
                                     "<assign hostParam=\"3\" pluginParam=\"Volume\"/>"
                                     "</HostParametersMap>");

    ASSERT_TRUE (plugin->readHostParametersMap (map.get()));

    for (int slot = 0; slot < 128; ++slot)
        EXPECT_EQ (plugin->getHostParameterAssignment (slot), slot == 8 ? 3 : slot == 2 ? 23 : -1) << "slot " << slot;
}

TEST_F (PluginStateTest, AMapOfAnotherPlugInIsNotAppliedButOneOfThisPlugInInAnyCaseMakesTheHostRereadTheSlots)
{
    const auto plugin = TestPlugin::create();
    plugin->assignHostParameter (0, 1, false);
    HostRecorder host;
    plugin->addListener (&host);
    const auto broken = folder.getChildFile ("broken.tphpmap");
    broken.replaceWithText ("<HostParametersMap name=\"TestPlugin\"><assign hostParam=");

    EXPECT_FALSE (plugin->readHostParametersMap (juce::parseXML ("<HostParametersMap name=\"Other\">"
                                                                 "<assign hostParam=\"2\" pluginParam=\"Cutoff\"/></HostParametersMap>").get()));
    EXPECT_FALSE (plugin->readHostParametersMap (nullptr));
    EXPECT_FALSE (plugin->loadHostParametersMap (broken));
    EXPECT_FALSE (plugin->loadHostParametersMap (folder.getChildFile ("missing.tphpmap")));
    EXPECT_EQ (plugin->getHostParameterAssignment (0), 1);
    EXPECT_EQ (plugin->getHostParameterAssignment (1), -1);
    EXPECT_EQ (host.displayUpdates, 0);

    // An empty map of this plug-in assigns nothing, yet the host must reread the cleared slots.
    ASSERT_TRUE (plugin->readHostParametersMap (juce::parseXML ("<hostparametersmap name=\"TESTPLUGIN\"/>").get()));
    EXPECT_EQ (plugin->getHostParameterAssignment (0), -1);
    EXPECT_EQ (host.displayUpdates, 1);
    plugin->removeListener (&host);
}

TEST_F (PluginStateTest, WithoutAStoredDefaultMapTheSlotsStayAsTheSetUpLeftThem)
{
    const auto plugin = TestPlugin::create();   // short name "TP": there is no "default.tphpmap"

    EXPECT_FALSE (plugin->loadStartupHostParametersMap());
    EXPECT_EQ (plugin->getHostParameterAssignment (0), -1);
}
