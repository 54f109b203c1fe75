#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"
#include "support/TemporaryFolder.h"

using InstrumentTest::createInstrument;

// What the hosted instrument does is checked end to end in tests/endtoend (slot
// names, host values without echo, the state round trip); these tests pin the
// wiring the hosts cannot see.

namespace
{
class TarvelinHostBoundary : public ::testing::Test
{
protected:
    void SetUp() override       { instrument->addListener (&host); }
    void TearDown() override
    {
        if (instrument != nullptr)
            instrument->removeListener (&host);
    }

    void closeInstrument()
    {
        instrument->removeListener (&host);
        instrument.reset();
    }

    std::unique_ptr<Tarvelin> instrument = createInstrument();
    HostRecorder host;
};
} // namespace

TEST_F (TarvelinHostBoundary, TheHostSees36SlotsNamedAfterTheFirst36ParametersByTheStoredDefaultMap)
{
    ASSERT_EQ (instrument->getParameters().size(), 36);
    instrument->clearHostParametersMap();

    ASSERT_TRUE (instrument->loadStartupHostParametersMap());

    for (int i = 0; i < 36; ++i)
        EXPECT_EQ (instrument->getHostParameterAssignment (i), i);

    EXPECT_EQ (instrument->getParameters()[35]->getName (100), "Slide Threshold");
}

TEST_F (TarvelinHostBoundary, AParameterChangeReachesTheHostOnceThroughItsSlotAndOneBeyondTheSlotsNever)
{
    instrument->getParameterManager().setBoolValue (TarvelinIds::selfResetState, true);
    EXPECT_TRUE (host.changes.empty());

    instrument->getParameterManager().setNormalisedValue (TarvelinIds::resonance, 0.125f);

    ASSERT_EQ (host.changes.size(), 1u);
    EXPECT_EQ (host.changes[0].index, TarvelinIds::resonance);
    EXPECT_EQ (host.changes[0].value, 0.125f);
}

TEST_F (TarvelinHostBoundary, AForeignOrDamagedStateChangesNothing)
{
    juce::MemoryBlock before;
    instrument->getStateInformation (before);

    juce::MemoryBlock foreign;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML ("<PluginState application=\"Other\"><Editor/></PluginState>"), foreign);
    instrument->setStateInformation (foreign.getData(), static_cast<int> (foreign.getSize()));
    const char garbage[] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    instrument->setStateInformation (garbage, sizeof (garbage));

    juce::MemoryBlock after;
    instrument->getStateInformation (after);
    EXPECT_EQ (before, after);
}

TEST_F (TarvelinHostBoundary, TheUsersSettingsSurviveARestart)
{
    const TemporaryFolder folder;
    const auto ccMap = folder.get().getChildFile ("live.tqccmap");
    const auto hostMap = folder.get().getChildFile ("live.tqhpmap");
    instrument->getMidiControl().assign (74, instrument->getParameterManager().getParameter (TarvelinIds::cutoff), false);
    ASSERT_TRUE (instrument->getMidiControl().saveToFile (ccMap));
    instrument->assignHostParameter (0, TarvelinIds::volume, false);
    ASSERT_TRUE (instrument->saveHostParametersMap (hostMap));

    instrument->setPresetAuthor ("Ann");
    instrument->getMidiControl().setUseUserDefinedMap (true);
    instrument->getMidiControl().setUserDefinedMapFile (ccMap);
    instrument->setHostParametersMapFile (hostMap, true);
    closeInstrument();
    instrument = InstrumentTest::reopenInstrument();

    EXPECT_EQ (instrument->getPresetAuthor(), "Ann");
    EXPECT_EQ (instrument->getMidiControl().getUserDefinedMapFile(), ccMap);
    EXPECT_EQ (instrument->getMidiControl().findController (instrument->getParameterManager().getParameter (TarvelinIds::cutoff)), 74);
    EXPECT_EQ (instrument->getHostParametersMapFile(), hostMap);
    EXPECT_EQ (instrument->getParameters()[0]->getName (100), "Volume");
}

TEST_F (TarvelinHostBoundary, TheInstrumentNamesItselfAndItsFiles)
{
    EXPECT_EQ (instrument->getName(), "Tarvelin");
    EXPECT_EQ (instrument->getPluginShortName(), "TQ");
    EXPECT_EQ (instrument->getHostParametersMapFileExtension(), ".tqhpmap");
    EXPECT_EQ (instrument->getUserSettingsFile().getFileName(), "Tarvelin.ini");
    EXPECT_EQ (instrument->getMidiControl().getMapName(), "Tarvelin");
    EXPECT_EQ (instrument->getSoftwareVersion(), "1.9.5");
    EXPECT_EQ (instrument->getBuildDate(), "2015-01-08");
}

TEST_F (TarvelinHostBoundary, ShutdownWritesTheSettingsAndNoDump)
{
    const auto settings = instrument->getUserSettingsFile();
    const auto dump = instrument->getStateDumpFile();

    closeInstrument();

    const auto xml = XmlFiles::read (settings);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("application"), "Tarvelin");
    EXPECT_FALSE (dump.exists());
}

TEST_F (TarvelinHostBoundary, ThePersistentEditorExistsWithoutADisplay)
{
    ASSERT_NE (instrument->getPersistentEditor(), nullptr);
    std::unique_ptr<juce::AudioProcessorEditor> window (instrument->createEditor());

    ASSERT_NE (window, nullptr);
    EXPECT_GT (window->getWidth(), 0);
}
