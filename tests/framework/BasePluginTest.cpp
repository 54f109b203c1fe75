#include "framework/HostSlotParameter.h"
#include "support/TestPlugins.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
class BasePluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        removeSettingsOf ("TestPlugin");
        plugin = TestPlugin::create();
        plugin->addListener (&host);
    }

    void TearDown() override
    {
        plugin->removeListener (&host);
        plugin.reset();
        removeSettingsOf ("TestPlugin");
    }

    Parameter& parameter (int id) { return *plugin->getParameterManager().getParameter (id); }

    std::unique_ptr<TestPlugin> plugin;
    HostRecorder host;
};

int count (const CallLog& log, const juce::String& entry)
{
    return static_cast<int> (std::count (log.begin(), log.end(), entry));
}

int indexOf (const CallLog& log, const juce::String& entry)
{
    const auto found = std::find (log.begin(), log.end(), entry);
    return found == log.end() ? -1 : static_cast<int> (found - log.begin());
}
} // namespace

//==============================================================================
// What the host sees of the slots

TEST_F (BasePluginTest, TheHostSeesAStableIdPerVisibleSlotAndAnUnassignedSlotKeepsTheHostsFiniteValuesShownWithEightDigits)
{
    const auto& slots = plugin->getParameters();
    ASSERT_EQ (slots.size(), 128);
    EXPECT_EQ (dynamic_cast<HostSlotParameter*> (slots[0])->getParameterID(), "slot001");
    EXPECT_EQ (dynamic_cast<HostSlotParameter*> (slots[127])->getParameterID(), "slot128");

    plugin->clearHostParametersMap();
    const auto before = parameter (5).getNormalisedValue();
    plugin->setHostParameter (5, 0.3f);
    plugin->setHostParameter (5, std::numeric_limits<float>::quiet_NaN());
    plugin->setHostParameter (5, std::numeric_limits<float>::infinity());

    EXPECT_EQ (plugin->getHostParameter (5), 0.3f);
    EXPECT_EQ (plugin->getHostParameterText (5), "0.30000001");
    EXPECT_EQ (parameter (5).getNormalisedValue(), before);
    EXPECT_EQ (plugin->getHostParameterName (0), "Parameter 1");
    EXPECT_EQ (slots[41]->getName (100), "Parameter 42");
    EXPECT_EQ (slots[41]->getDefaultValue(), 0.0f);

    // An assigned slot shows its parameter's name, text and normalised value.
    plugin->assignHostParameter (4, 26, false);
    parameter (26).setValue (25.0f, false);
    EXPECT_EQ (slots[4]->getName (100), "Arp Shuffle");
    EXPECT_EQ (slots[4]->getCurrentValueAsText(), "25");
    EXPECT_EQ (slots[4]->getText (0.9f, 100), "25");
    EXPECT_FLOAT_EQ (slots[4]->getValue(), 0.25f);
    EXPECT_EQ (slots[4]->getDefaultValue(), 0.0f);
}

TEST (BasePluginSlots, SlotsBeyondTheVisibleOnesAreEmptyAndOutOfReach)
{
    removeSettingsOf ("TestPlugin");
    TestPlugin::Options options;
    options.numHostParameters = 36;
    const auto plugin = TestPlugin::create (options);
    EXPECT_EQ (plugin->getParameters().size(), 36);
    EXPECT_EQ (plugin->getHostParameterName (35), "Parameter 36");

    for (const auto slot : { 36, 128, 500, -1, std::numeric_limits<int>::min() })
    {
        plugin->assignHostParameter (slot, 0, false);
        plugin->setHostParameter (slot, 0.7f);
        EXPECT_EQ (plugin->getHostParameterAssignment (slot), -1);
        EXPECT_EQ (plugin->getHostParameterName (slot), "");
        EXPECT_EQ (plugin->getHostParameterText (slot), "");
        EXPECT_EQ (plugin->getHostParameter (slot), 0.0f);
        EXPECT_FALSE (plugin->isHostParameterAutomatable (slot));
    }
}

//==============================================================================
// Values between host and parameters

TEST_F (BasePluginTest, TheHostSettingASlotSetsItsParameterWithoutAnEchoButTheParametersNextChangeIsSent)
{
    plugin->assignHostParameter (2, 2, false);

    plugin->getParameters()[2]->setValueNotifyingHost (0.25f);   // the wrapper's own message is the one change
    EXPECT_EQ (parameter (2).getNormalisedValue(), 0.25f);
    plugin->setHostParameter (2, 0.75f);
    EXPECT_EQ (parameter (2).getNormalisedValue(), 0.75f);

    EXPECT_EQ (host.changes.size(), 1u);
    EXPECT_EQ (count (plugin->log, "parameterChanged 2"), 3);   // set-up and both host values were heard

    parameter (2).setNormalisedValue (0.5f, true);
    ASSERT_EQ (host.changes.size(), 2u);
    EXPECT_EQ (host.changes[1].value, 0.5f);
}

TEST_F (BasePluginTest, AMappedParameterTellsTheHostOfEachChangeOnceAndOfItsGesturesThroughItsSlotAndAnUnmappedOneNothing)
{
    plugin->clearHostParametersMap();
    parameter (26).setValue (40.0f, true);
    parameter (26).sendGestureBegin();
    plugin->assignHostParameter (7, 26, false);
    parameter (26).setValue (40.0f, true);   // unchanged
    EXPECT_TRUE (host.changes.empty());

    parameter (26).setValue (60.0f, true);
    parameter (26).sendGestureBegin();
    parameter (26).sendGestureEnd();

    ASSERT_EQ (host.changes.size(), 1u);
    EXPECT_EQ (host.changes[0].index, 7);
    EXPECT_FLOAT_EQ (host.changes[0].value, 0.6f);
    EXPECT_EQ (host.gestureBegins, std::vector<int> { 7 });
    EXPECT_EQ (host.gestureEnds, std::vector<int> { 7 });
}

//==============================================================================
// Assignment rules

TEST_F (BasePluginTest, AParameterHoldsOneSlotAndASlotOneParameterWithTheAutoFlag)
{
    plugin->assignHostParameter (1, 10, false);
    plugin->assignHostParameter (3, 10, false);
    EXPECT_EQ (plugin->getHostParameterAssignment (1), -1);
    EXPECT_EQ (plugin->getHostSlotOfParameter (10), 3);

    plugin->assignHostParameter (6, 1, false);
    plugin->assignHostParameter (6, 2, false);
    EXPECT_EQ (plugin->getHostParameterAssignment (6), 2);
    EXPECT_EQ (plugin->getHostSlotOfParameter (1), -1);

    // A parameter without the auto flag never takes a slot and leaves its old one.
    plugin->assignHostParameter (7, 9, false);
    parameter (9).setAutoFlag (false);
    plugin->assignHostParameter (6, 9, false);
    EXPECT_EQ (plugin->getHostParameterAssignment (6), 2);
    EXPECT_EQ (plugin->getHostParameterAssignment (7), -1);
    EXPECT_EQ (plugin->getHostSlotOfParameter (9), -1);

    // An unknown id empties the slot; a slot outside the visible ones is never assigned.
    plugin->assignHostParameter (6, 999, false);
    plugin->assignHostParameter (-1, 12, false);
    plugin->assignHostParameter (128, 13, false);
    EXPECT_EQ (plugin->getHostSlotOfParameter (2), -1);
    EXPECT_EQ (plugin->getHostSlotOfParameter (12), -1);
    EXPECT_EQ (plugin->getHostSlotOfParameter (13), -1);

    plugin->assignHostParameter (127, 1, false);
    plugin->clearHostParametersMap();
    EXPECT_EQ (plugin->getHostParameterAssignment (3), -1);
    EXPECT_EQ (plugin->getHostParameterAssignment (127), -1);
}

TEST_F (BasePluginTest, MapChangesAreBroadcastAndWithNotificationMakeTheHostRereadTheSlots)
{
    struct Counter : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }
        int changes = 0;
    } counter;

    auto& broadcaster = plugin->getHostMapChangeBroadcaster();
    plugin->clearHostParametersMap();
    broadcaster.dispatchPendingMessages();
    broadcaster.addChangeListener (&counter);
    const auto before = host.displayUpdates;

    plugin->assignHostParameter (0, 0, false);
    EXPECT_EQ (host.displayUpdates, before);

    plugin->assignHostParameter (1, 1, true);
    EXPECT_EQ (host.displayUpdates, before + 1);
    broadcaster.dispatchPendingMessages();
    plugin->unassignHostSlot (1);
    broadcaster.dispatchPendingMessages();

    EXPECT_EQ (counter.changes, 2);
    broadcaster.removeChangeListener (&counter);
}

//==============================================================================
// Notifications on the message thread

TEST_F (BasePluginTest, NotificationsPendingWhenTheMessageThreadRunsComeOnceEachInTheDrainsOrderLastListenerFirst)
{
    CallLog log;
    PluginRecorder first (log, "first"), second (log, "second");
    plugin->addListener (&first);
    plugin->addListener (&second);
    plugin->addListener (&second);
    plugin->handleUpdateNowIfNeeded();

    plugin->prepareToPlay (44100.0, 512);
    plugin->prepareToPlay (48000.0, 256);
    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    plugin->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    plugin->prepareToPlay (96000.0, 64);
    plugin->handleUpdateNowIfNeeded();

    EXPECT_EQ (log, (CallLog { "second restored", "first restored", "second saved", "first saved",
                               "second prepared", "first prepared" }));
    plugin->removeListener (&first);
    plugin->removeListener (&second);
}

TEST_F (BasePluginTest, SwitchingToOfflineProcessingIsToldOnceWithMode2)
{
    CallLog log;
    PluginRecorder recorder (log);
    plugin->addListener (&recorder);
    juce::AudioBuffer<float> buffer (2, 16);
    juce::MidiBuffer midi;

    plugin->setNonRealtime (true);
    plugin->processBlock (buffer, midi);
    plugin->processBlock (buffer, midi);
    plugin->handleUpdateNowIfNeeded();
    plugin->setNonRealtime (false);
    plugin->processBlock (buffer, midi);
    plugin->handleUpdateNowIfNeeded();

    EXPECT_EQ (log, (CallLog { "listener mode 2", "listener mode 1" }));
    EXPECT_EQ (count (plugin->log, "offline"), 1);
    EXPECT_EQ (count (plugin->log, "realtime"), 1);
    plugin->removeListener (&recorder);
}

//==============================================================================
// Creation, set-up and the editor

TEST (BasePluginCreation, SetUpRunsItsStepsInOrderAnnouncesEveryParameterOnceAndAddsTheBuiltInEvents)
{
    removeSettingsOf ("TestPlugin");
    const auto plugin = TestPlugin::create();
    const auto& log = plugin->log;

    EXPECT_EQ (indexOf (log, "initialise"), -1);
    EXPECT_LT (indexOf (log, "userSettingsLoaded"), indexOf (log, "createPluginEditor"));
    EXPECT_LT (indexOf (log, "createPluginEditor"), indexOf (log, "initialiseEditor"));
    EXPECT_LT (indexOf (log, "initialiseEditor"), indexOf (log, "handleEditorCreated"));
    EXPECT_LT (indexOf (log, "handleEditorCreated"), indexOf (log, "parameterChanged 0"));
    EXPECT_LT (indexOf (log, "parameterChanged 85"), indexOf (log, "postInitialise"));
    EXPECT_EQ (log.back(), "postInitialise");

    EXPECT_EQ (count (log, "parameterChanged 0"), 1);
    EXPECT_EQ (count (log, "parameterChanged 85"), 1);
    EXPECT_EQ (plugin->getParameterManager().getParameter (40)->getNumListeners(), 1);   // the host slots listen
    EXPECT_EQ (plugin->getEventsMap().getEventUid ("Options"), 1000);
    EXPECT_EQ (plugin->getEventsMap().getEventUid ("Toggle Midi Learn"), 1010);
    EXPECT_EQ (plugin->getMidiControl().getMapName(), "TestPlugin");
    EXPECT_EQ (BasePlugin::createAndSetUp (nullptr), nullptr);
}

TEST (BasePluginCreation, APlugInWithTheInitialiseChainRunsItAndNoPostInitialise)
{
    removeSettingsOf ("TestPlugin");
    TestPlugin::Options options;
    options.useInitialise = true;
    const auto plugin = TestPlugin::create (options);
    const auto& log = plugin->log;

    EXPECT_EQ (indexOf (log, "initialise"), 0);
    EXPECT_LT (indexOf (log, "userSettingsLoaded"), indexOf (log, "createPluginEditor"));
    EXPECT_LT (indexOf (log, "handleEditorCreated"), indexOf (log, "parameterChanged 0"));
    EXPECT_EQ (indexOf (log, "postInitialise"), -1);
}

TEST (BasePluginEditor, TheHostWindowWrapsThePersistentEditorAndOnlyHidesIt)
{
    removeSettingsOf ("TestPlugin");
    const auto plugin = TestPlugin::create();
    auto* editor = plugin->getTestEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (editor->isTimerRunning());

    {
        std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
        ASSERT_NE (window, nullptr);
        EXPECT_EQ (window->getWidth(), 640);
        EXPECT_EQ (window->getHeight(), 480);
        EXPECT_EQ (editor->getParentComponent(), window.get());
        EXPECT_TRUE (editor->isVisible());
    }

    EXPECT_EQ (plugin->getPersistentEditor(), editor);
    EXPECT_FALSE (editor->isVisible());
    EXPECT_EQ (editor->getParentComponent(), nullptr);

    // Without a persistent editor there is no window.
    plugin->deleteEditor();
    EXPECT_EQ (plugin->createEditor(), nullptr);
}

TEST (BasePluginHelpers, StateElementsAreWrittenOnOrOffAndReadAsOnInAnyCase)
{
    EXPECT_EQ (BasePlugin::createStateElement ("IntSeq", true)->getStringAttribute ("state"), "on");
    EXPECT_EQ (BasePlugin::createStateElement ("IntSeq", false)->getStringAttribute ("state"), "off");

    juce::XmlElement on ("IntSeq");
    on.setAttribute ("state", "ON");
    EXPECT_TRUE (BasePlugin::isStateOn (&on));
    EXPECT_FALSE (BasePlugin::isStateOn (nullptr));
}
