#include "framework/HostSlotParameter.h"
#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"

using InstrumentTest::createInstrument;

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

    juce::AudioProcessorParameter& slot (int index) { return *instrument->getParameters()[index]; }

    std::unique_ptr<Tarvelin> instrument = createInstrument();
    HostRecorder host;
};
} // namespace

TEST_F (TarvelinHostBoundary, TheHostSees36SlotsNamedAfterTheFirst36ParametersByTheStoredDefaultMap)
{
    const auto& parameters = instrument->getParameterManager();

    ASSERT_EQ (instrument->getParameters().size(), 36);

    for (int i = 0; i < 36; ++i)
    {
        EXPECT_EQ (slot (i).getName (100), parameters.getNameOf (i)) << "slot " << i;
        EXPECT_EQ (dynamic_cast<HostSlotParameter&> (slot (i)).getParameterID(), "slot" + juce::String (i + 1).paddedLeft ('0', 3));
        EXPECT_EQ (instrument->getHostParameterAssignment (i), i);
    }

    EXPECT_EQ (slot (0).getName (100), "Tune");
    EXPECT_EQ (slot (35).getName (100), "Slide Threshold");

    // They come from the stored default map.
    instrument->clearHostParametersMap();
    ASSERT_TRUE (instrument->loadStartupHostParametersMap());
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ (instrument->getHostParameterAssignment (i), i);
}

TEST_F (TarvelinHostBoundary, AHostValueReachesTheParameterWithoutAnEcho)
{
    instrument->setHostParameter (TarvelinIds::cutoff, 0.25f);
    instrument->setHostParameter (TarvelinIds::waveform, 0.0f);

    EXPECT_EQ (instrument->getParameterManager().getNormalisedValue (TarvelinIds::cutoff), 0.25f);
    EXPECT_EQ (slot (TarvelinIds::cutoff).getCurrentValueAsText(), "25.0");
    EXPECT_EQ (slot (TarvelinIds::waveform).getCurrentValueAsText(), "Square");
    EXPECT_TRUE (host.changes.empty());
}

TEST_F (TarvelinHostBoundary, AParameterChangeReachesTheHostOnceThroughItsSlot)
{
    instrument->getParameterManager().setNormalisedValue (TarvelinIds::resonance, 0.125f);

    ASSERT_EQ (host.changes.size(), 1u);
    EXPECT_EQ (host.changes[0].index, TarvelinIds::resonance);
    EXPECT_EQ (host.changes[0].value, 0.125f);
}

TEST_F (TarvelinHostBoundary, ParametersBeyondTheHostSlotsNeverReachTheHost)
{
    instrument->getParameterManager().setBoolValue (TarvelinIds::selfResetState, true);

    EXPECT_TRUE (host.changes.empty());
    EXPECT_EQ (instrument->getHostParameterName (36), "");
}

TEST_F (TarvelinHostBoundary, TheStateRoundTripsIntoAnotherInstance)
{
    juce::MemoryBlock saved;
    instrument->getStateInformation (saved);
    const auto other = createInstrument();

    other->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    juce::MemoryBlock again;
    other->getStateInformation (again);

    EXPECT_EQ (saved, again);
    const auto xml = juce::AudioProcessor::getXmlFromBinary (saved.getData(), static_cast<int> (saved.getSize()));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PluginState");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Tarvelin");
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
    const juce::TemporaryFile temporaryFolder;
    const auto folder = temporaryFolder.getFile();
    const auto ccMap = folder.getChildFile ("live.tqccmap");
    const auto hostMap = folder.getChildFile ("live.tqhpmap");
    instrument->getMidiControl().assign (74, instrument->getParameterManager().getParameter (TarvelinIds::cutoff), false);
    ASSERT_TRUE (instrument->getMidiControl().saveToFile (ccMap));
    instrument->assignHostParameter (0, TarvelinIds::volume, false);
    ASSERT_TRUE (instrument->saveHostParametersMap (hostMap));

    instrument->setPresetAuthor ("Ann");
    instrument->getMidiControl().setUseUserDefinedMap (true);
    instrument->getMidiControl().setUserDefinedMapFile (ccMap);
    instrument->setHostParametersMapFile (hostMap, true);
    instrument->removeListener (&host);
    instrument.reset();

    instrument = InstrumentTest::reopenInstrument();
    folder.deleteRecursively();

    EXPECT_EQ (instrument->getPresetAuthor(), "Ann");
    EXPECT_EQ (instrument->getMidiControl().getUserDefinedMapFile(), ccMap);
    EXPECT_EQ (instrument->getMidiControl().findController (instrument->getParameterManager().getParameter (TarvelinIds::cutoff)), 74);
    EXPECT_EQ (instrument->getHostParametersMapFile(), hostMap);
    EXPECT_EQ (instrument->getHostParameterAssignment (0), TarvelinIds::volume);
    EXPECT_EQ (slot (0).getName (100), "Volume");
}

TEST_F (TarvelinHostBoundary, TheInstrumentNamesItselfAndItsFiles)
{
    EXPECT_EQ (instrument->getName(), "Tarvelin");
    EXPECT_EQ (instrument->getPluginShortName(), "TQ");
    EXPECT_EQ (instrument->getHostParametersMapFileExtension(), ".tqhpmap");
    EXPECT_EQ (instrument->getUserSettingsFile().getFileName(), "Tarvelin.ini");
    EXPECT_EQ (instrument->getUserSettingsFolder().getParentDirectory().getFileName(), "Ulvra Group");
    EXPECT_EQ (instrument->getMidiControl().getMapName(), "Tarvelin");
    EXPECT_FALSE (instrument->isStateDumpEnabled());
    EXPECT_EQ (instrument->getSoftwareVersion(), "1.9.5");
    EXPECT_EQ (instrument->getBuildDate(), "2015-01-08");
}

TEST_F (TarvelinHostBoundary, ShutdownWritesTheSettingsAndNoDump)
{
    const auto settings = instrument->getUserSettingsFile();
    const auto dump = instrument->getStateDumpFile();
    instrument->removeListener (&host);
    instrument.reset();

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
