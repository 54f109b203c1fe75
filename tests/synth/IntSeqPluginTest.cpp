#include "framework/BundleResources.h"
#include "support/TestPlugins.h"
#include "synth/IntSeqPlugin.h"
#include "synth/Pattern.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
/** A sequencer layer over 96 plain patterns, recording the pattern commands it receives. */
class TestSequencer : public WithoutIdentity<IntSeqPlugin>
{
public:
    TestSequencer() : WithoutIdentity (33, 3) {}

    ~TestSequencer() override
    {
        saveSettingsOnClose();
        deleteEditor();
    }

    /** Made and set up the way the format wrappers make a plug-in, by default with cleared patterns. */
    static std::unique_ptr<TestSequencer> create (int patternsMode = IntSeqPlugin::clearPatterns,
                                                  const juce::File& userPatterns = {})
    {
        auto plugin = std::make_unique<TestSequencer>();

        if (patternsMode == IntSeqPlugin::userDefinedPatterns)
            plugin->setUserPatternsFile (userPatterns);
        else
            plugin->setDefaultPatternsMode (patternsMode);

        return setUp (std::move (plugin));
    }

    juce::String getPluginName() const override         { return "Tarvelin"; }
    juce::String getPluginShortName() const override    { return "TQ"; }
    int getNumHostParameters() const override           { return 36; }
    std::unique_ptr<PersistentEditor> createPluginEditor() override { return nullptr; }

    Pattern& at (int i)                                 { return patterns[static_cast<size_t> (i)]; }

    int getCurrentPatternIndex() override               { return current; }
    int getNumPatterns() override                       { return 96; }
    juce::String getPatternName (int i) override        { return at (i).getName(); }
    int getPatternLength (int i) override               { return at (i).getLength(); }
    double getPatternTempo (int i) override             { return at (i).getTempo(); }
    int getPatternShuffle (int i) override              { return at (i).getShuffle(); }

    void setPatternName (int i, const juce::String& n) override { at (i).setName (n); IntSeqPlugin::setPatternName (i, n); }
    void setPatternLength (int i, int steps) override   { at (i).setLength (steps); IntSeqPlugin::setPatternLength (i, steps); }
    void setPatternTempo (int i, double tempo) override { at (i).setTempo (tempo); IntSeqPlugin::setPatternTempo (i, tempo); }
    void setPatternShuffle (int i, int percent) override { at (i).setShuffle (percent); IntSeqPlugin::setPatternShuffle (i, percent); }

    void clearPattern() override                        { ++clears; }
    void undoPatternClear() override                    { ++undos; }
    void shiftPatternLeft (int) override                { ++shifts; }
    void selectNextPattern() override                   { ++current; IntSeqPlugin::selectNextPattern(); }
    bool selectNextRandomVariant() override             { ++variants; return true; }
    void rejectRandomVariant() override                 { ++rejects; }
    void resetPatternUndo() override                    { ++undoResets; }

    void readPatternXml (const juce::XmlElement& element, int index) override
    {
        at (index).loadFromXml (element);
        ++patternReads;
    }

    std::unique_ptr<juce::XmlElement> createPatternXml (int index) override
    {
        auto element = std::make_unique<juce::XmlElement> ("Pattern");
        element->setAttribute ("application", getPluginName());
        at (index).saveToXml (*element);
        return element;
    }

    bool boolState (int id)     { return parameterManager.getParameter (id)->getBoolValue(); }

    std::array<Pattern, 96> patterns;
    int current = 0;
    int clears = 0, undos = 0, shifts = 0, variants = 0, rejects = 0, undoResets = 0, patternReads = 0;
};

std::unique_ptr<TestSequencer> createWithoutSettings()
{
    removeSettingsOf ("Tarvelin");
    return TestSequencer::create();
}

struct SequencerLayer : public ::testing::Test
{
    std::unique_ptr<TestSequencer> owned = createWithoutSettings();
    TestSequencer& plugin = *owned;
};
} // namespace

TEST_F (SequencerLayer, SetUpAppliesTheDefaultsAndNamesThePatterns)
{
    EXPECT_TRUE (plugin.isInternalSequencerOn() && plugin.isNoteOffModeOn());
    EXPECT_FALSE (plugin.isInternalSyncOn() || plugin.isHostModeOn());
    EXPECT_EQ (plugin.patterns[0].getName(), "Pattern 1");
    EXPECT_EQ (plugin.patterns[95].getName(), "Pattern 96");
    EXPECT_TRUE (plugin.boolState (IntSeqPlugin::internalSequencerStateId));
    EXPECT_TRUE (plugin.boolState (IntSeqPlugin::nativeModeReadyStateId));
    EXPECT_EQ (plugin.getParameterManager().getText (IntSeqPlugin::patternNameId), "Pattern 1");
}

TEST_F (SequencerLayer, WithTheSequencerOffOnlyTheFirstActionActs)
{
    plugin.setInternalSequencer (false);

    for (int uid = 2001; uid <= 2038; ++uid)
        plugin.performEvent (uid);

    EXPECT_FALSE (plugin.isInternalSyncOn() || plugin.isHostModeOn() || plugin.isWriteModeOn());
    EXPECT_EQ (plugin.getRequestedPlayState(), IntSeqPlugin::stopped);
    EXPECT_EQ (plugin.clears + plugin.undos + plugin.shifts + plugin.variants, 0);

    // Every display of the layer goes dark.
    for (int id = IntSeqPlugin::internalSequencerStateId; id <= IntSeqPlugin::nativeModeReadyStateId; ++id)
        EXPECT_FALSE (plugin.boolState (id)) << id;

    for (const int id : { IntSeqPlugin::patternNameEditionStateId, IntSeqPlugin::patternTempoStateId, IntSeqPlugin::firstStepLengthStateId })
        EXPECT_FALSE (plugin.boolState (id)) << id;

    auto& manager = plugin.getParameterManager();
    EXPECT_FLOAT_EQ (manager.getNormalisedValue (IntSeqPlugin::patternTempoId), 0.0f);
    EXPECT_EQ (manager.getText (IntSeqPlugin::patternNameId), "");
    EXPECT_EQ (manager.getParameter (IntSeqPlugin::patternNumberId)->getIntValue(), 0);

    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    EXPECT_TRUE (plugin.isInternalSequencerOn());
}

TEST_F (SequencerLayer, HostModeCountsAsEditModeAndBlocksTheWriteSwitch)
{
    plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
    ASSERT_TRUE (plugin.isHostModeOn());
    EXPECT_TRUE (plugin.boolState (IntSeqPlugin::writeModeStateId));
    EXPECT_FALSE (plugin.boolState (IntSeqPlugin::writeModeActivityId));

    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    EXPECT_FALSE (plugin.isWriteModeOn());

    // In host mode the number shows the note that selects the pattern.
    EXPECT_EQ (plugin.getParameterManager().getParameter (IntSeqPlugin::patternNumberId)->getIntValue(), 12);
}

TEST_F (SequencerLayer, ClearIsRefusedWithAFullClipboardOrInLengthOrRandomizerModeAndUndoThenCancelsTheCopy)
{
    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    plugin.performEvent (IntSeqPlugin::copyEvent);
    ASSERT_TRUE (plugin.isClipboardFull());
    EXPECT_TRUE (plugin.boolState (IntSeqPlugin::clipboardStateId));

    plugin.performEvent (IntSeqPlugin::clearEvent);
    EXPECT_EQ (plugin.clears, 0);

    plugin.performEvent (IntSeqPlugin::undoEvent);
    EXPECT_FALSE (plugin.isClipboardFull());
    EXPECT_EQ (plugin.undos, 0);

    plugin.performEvent (IntSeqPlugin::clearEvent);
    plugin.performEvent (IntSeqPlugin::undoEvent);
    EXPECT_EQ (plugin.clears, 1);
    EXPECT_EQ (plugin.undos, 1);

    // Nor does it act in length or randomizer mode.
    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);
    plugin.performEvent (IntSeqPlugin::clearEvent);
    plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);
    plugin.performEvent (IntSeqPlugin::clearEvent);
    EXPECT_EQ (plugin.clears, 1);
}

TEST_F (SequencerLayer, PrevAndNextDoNothingWhileAutoFollowIsActive)
{
    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    ASSERT_TRUE (plugin.isAutoFollowActive());
    plugin.performEvent (IntSeqPlugin::nextEvent);
    EXPECT_EQ (plugin.current, 0);

    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.performEvent (IntSeqPlugin::nextEvent);
    EXPECT_EQ (plugin.current, 1);
}

TEST_F (SequencerLayer, RandomizerAndLengthModeExcludeEachOtherAndTheRandomizerTurnsNextAndUndoIntoVariantCommands)
{
    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);
    ASSERT_TRUE (plugin.isLengthModeOn());

    plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);
    EXPECT_TRUE (plugin.isRandomizerOn());
    EXPECT_FALSE (plugin.isLengthModeOn());
    EXPECT_EQ (plugin.undoResets, 1);

    plugin.performEvent (IntSeqPlugin::nextEvent);
    plugin.performEvent (IntSeqPlugin::undoEvent);
    plugin.performEvent (IntSeqPlugin::shiftLeftEvent);
    EXPECT_EQ (plugin.variants, 1);
    EXPECT_EQ (plugin.rejects, 1);
    EXPECT_EQ (plugin.shifts, 0);

    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);
    EXPECT_TRUE (plugin.isLengthModeOn());
    EXPECT_FALSE (plugin.isRandomizerOn());
    EXPECT_FALSE (plugin.boolState (IntSeqPlugin::randomizerStateId));
}

TEST_F (SequencerLayer, PatternLengthActionsActOnlyInLengthMode)
{
    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    plugin.performEvent (IntSeqPlugin::setPatternLengthTo01Event + 4);
    EXPECT_EQ (plugin.patterns[0].getLength(), 16);

    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);
    plugin.performEvent (IntSeqPlugin::setPatternLengthTo01Event + 4);
    EXPECT_EQ (plugin.patterns[0].getLength(), 5);
    EXPECT_TRUE (plugin.boolState (IntSeqPlugin::firstStepLengthStateId + 4));   // the lamp of the length
    EXPECT_FALSE (plugin.boolState (IntSeqPlugin::firstStepLengthStateId + 5));
}

TEST_F (SequencerLayer, PlayActionsLeaveRequestsForTheAudioThread)
{
    plugin.performEvent (IntSeqPlugin::startStopEvent);
    EXPECT_EQ (plugin.getRequestedPlayState(), IntSeqPlugin::playing);

    plugin.performEvent (IntSeqPlugin::stopEvent);
    EXPECT_EQ (plugin.getRequestedPlayState(), IntSeqPlugin::stopped);

    plugin.performEvent (IntSeqPlugin::startEvent);
    EXPECT_EQ (plugin.getRequestedPlayState(), IntSeqPlugin::playing);
    EXPECT_FALSE (plugin.getSequencerClock().isRunning());
}

TEST_F (SequencerLayer, TheEditorsPatternNameNeedsEditModeAndItsTempoInternalSync)
{
    auto& manager = plugin.getParameterManager();
    manager.setValueFromText (IntSeqPlugin::patternNameId, "Renamed");
    EXPECT_EQ (plugin.patterns[0].getName(), "Pattern 1");

    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);

    manager.setValue (IntSeqPlugin::patternTempoId, 150.0f);
    EXPECT_DOUBLE_EQ (plugin.patterns[0].getTempo(), 120.0);

    plugin.performEvent (IntSeqPlugin::toggleInternalSyncEvent);
    manager.setValue (IntSeqPlugin::patternTempoId, 150.0f);
    EXPECT_DOUBLE_EQ (plugin.patterns[0].getTempo(), 150.0);

    manager.setNormalisedValue (IntSeqPlugin::patternShuffleId, 0.426f);
    EXPECT_EQ (plugin.patterns[0].getShuffle(), 43);

    manager.setValueFromText (IntSeqPlugin::patternNameId, "Rolling");
    EXPECT_EQ (plugin.patterns[0].getName(), "Rolling");
}

TEST_F (SequencerLayer, StateElementHoldsTheSwitchesInOrderThenThePatterns)
{
    plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
    plugin.patterns[7].setName ("Eighth");

    const auto state = plugin.createInternalSequencerStateXml();
    ASSERT_EQ (state->getNumChildElements(), 7);
    const char* expected[] = { "IntSeq", "IntSync", "HostMode", "NoteOff", "PattWriteMode", "AutoFollow", "PatternsState" };

    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (state->getChildElement (i)->getTagName(), expected[i]);

    // Host mode counts as write mode in the stored state.
    EXPECT_EQ (state->getChildByName ("PattWriteMode")->getStringAttribute ("state"), "on");

    auto restored = TestSequencer::create();
    restored->loadInternalSequencerStateFromXml (*state);
    EXPECT_TRUE (restored->isHostModeOn() && restored->isWriteModeOn());
    EXPECT_EQ (restored->patterns[7].getName(), "Eighth");
}

TEST_F (SequencerLayer, DefaultsRoundTripThroughTheSettingsElementAndUnknownTextsLeaveThem)
{
    plugin.setDefaultInternalSequencer (false);
    plugin.setDefaultHostMode (true);
    plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);

    const auto settings = plugin.createInternalSequencerDefaultsXml();
    ASSERT_EQ (settings->getNumChildElements(), 5);
    EXPECT_EQ (settings->getChildElement (4)->getStringAttribute ("type"), "byLowestCNoteOn");

    auto other = TestSequencer::create();
    other->loadInternalSequencerDefaultsFromXml (*settings);
    EXPECT_FALSE (other->getDefaultInternalSequencer());
    EXPECT_TRUE (other->getDefaultHostMode());
    EXPECT_TRUE (other->getDefaultNoteOffMode());
    EXPECT_EQ (other->getHostPlayDetection(), IntSeqPlugin::byLowestCNoteOn);

    plugin.setHostPlayDetection (IntSeqPlugin::byTransportChange);
    plugin.loadInternalSequencerDefaultsFromXml (*juce::parseXML ("<InternalSequencer><HostPlayDetection type=\"BYLOWESTCNOTEON\"/></InternalSequencer>"));
    EXPECT_EQ (plugin.getHostPlayDetection(), IntSeqPlugin::byTransportChange);
}

TEST_F (SequencerLayer, BankReadingSkipsForeignPatternsAndKeepsTheRest)
{
    plugin.patterns[12].setName ("Keep me");
    juce::XmlElement bank ("PatternBank");

    for (int i = 0; i < 10; ++i)
    {
        auto* element = bank.createNewChildElement ("Pattern");
        element->setAttribute ("application", i == 3 ? "Other" : "Tarvelin");
        element->setAttribute ("name", "Bank " + juce::String (i));
    }

    EXPECT_TRUE (plugin.readPatternBankXml (bank));
    EXPECT_EQ (plugin.patterns[0].getName(), "Bank 0");
    EXPECT_EQ (plugin.patterns[3].getName(), "Bank 4");
    EXPECT_EQ (plugin.patterns[8].getName(), "Bank 9");
    EXPECT_EQ (plugin.patterns[9].getName(), "Pattern 10");
    EXPECT_EQ (plugin.patterns[12].getName(), "Keep me");

    EXPECT_FALSE (plugin.readPatternBankXml (juce::XmlElement ("Patterns")));
}

// Banks in a state overwrite in turn the patterns they hold; each pattern is
// read once, from the last bank that holds one at its index.
TEST_F (SequencerLayer, PatternBanksInTheStateReadEachPatternOnceFromTheLastBankHoldingIt)
{
    const auto bankOf = [] (const juce::String& prefix, int count)
    {
        juce::String bank ("<PatternBank>");

        for (int i = 0; i < count; ++i)
            bank << "<Pattern application=\"Tarvelin\" name=\"" << prefix << i << "\"/>";

        return bank + "</PatternBank>";
    };

    auto banks = bankOf ("A", 3);

    for (int copy = 0; copy < 30; ++copy)
        banks << bankOf ("B", 1);

    banks << bankOf ("C", 2);
    plugin.patternReads = 0;
    plugin.loadInternalSequencerStateFromXml (*juce::parseXML ("<InternalSequencer><PatternsState>" + banks
                                                               + "</PatternsState></InternalSequencer>"));

    EXPECT_EQ (plugin.patterns[0].getName(), "C0");
    EXPECT_EQ (plugin.patterns[1].getName(), "C1");
    EXPECT_EQ (plugin.patterns[2].getName(), "A2");
    EXPECT_EQ (plugin.patterns[3].getName(), "Pattern 4");
    EXPECT_EQ (plugin.patternReads, 3);
}

TEST (SequencerSetUp, ThePatternsModeLoadsTheFactoryBankOrTheUsersBankFileOrKeepsTheNamedClearedPatterns)
{
    const auto factory = juce::parseXML (loadBundleResourceAsString ("default.tqptrb"));
    ASSERT_NE (factory, nullptr);
    const juce::TemporaryFile bankFile (".tqptrb");
    removeSettingsOf ("Tarvelin");

    {
        const auto source = TestSequencer::create();
        source->patterns[4].setName ("Mine");
        ASSERT_TRUE (source->savePatternBankFile (bankFile.getFile()));
    }

    removeSettingsOf ("Tarvelin");
    const auto fromFactory = TestSequencer::create (IntSeqPlugin::factoryPatterns);
    EXPECT_EQ (fromFactory->patterns[0].getName(), factory->getChildElement (0)->getStringAttribute ("name"));
    EXPECT_EQ (fromFactory->patterns[95].getName(), factory->getChildElement (95)->getStringAttribute ("name"));

    removeSettingsOf ("Tarvelin");
    const auto fromUser = TestSequencer::create (IntSeqPlugin::userDefinedPatterns, bankFile.getFile());
    EXPECT_EQ (fromUser->patterns[4].getName(), "Mine");
    EXPECT_EQ (fromUser->getDefaultPatternsMode(), IntSeqPlugin::userDefinedPatterns);

    removeSettingsOf ("Tarvelin");
    const auto missing = TestSequencer::create (IntSeqPlugin::userDefinedPatterns, juce::File ("/nonexistent/folder/patterns.tqptrb"));
    EXPECT_EQ (missing->patterns[0].getName(), "Pattern 1");
    EXPECT_EQ (missing->patterns[0].getStep (0), PatternStep (false));
}

TEST_F (SequencerLayer, ThePatternsSettingRoundTripsAsTheSecondResourcesChild)
{
    plugin.setUserPatternsFile (juce::File ("/tmp/some/bank.tqptrb"));
    const auto resources = plugin.createResourcesSettingsXml();
    ASSERT_NE (resources, nullptr);
    const auto* patterns = resources->getChildElement (1);
    ASSERT_NE (patterns, nullptr);
    EXPECT_EQ (patterns->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               "<Patterns default=\"userDefinedPatterns\" file=\"/tmp/some/bank.tqptrb\"/>");

    plugin.setDefaultPatternsMode (IntSeqPlugin::clearPatterns);
    plugin.loadResourcesSettingsFromXml (*resources);
    EXPECT_EQ (plugin.getDefaultPatternsMode(), IntSeqPlugin::userDefinedPatterns);
    EXPECT_EQ (plugin.getUserPatternsFileName(), "bank.tqptrb");

    const auto unknown = juce::parseXML ("<ResourcesSettings><Presets default=\"factoryPresets\"/>"
                                         "<Patterns default=\"FactoryPatterns\"/></ResourcesSettings>");
    plugin.loadResourcesSettingsFromXml (*unknown);
    EXPECT_EQ (plugin.getDefaultPatternsMode(), IntSeqPlugin::userDefinedPatterns);
}

