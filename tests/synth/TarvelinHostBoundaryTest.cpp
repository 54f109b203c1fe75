#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"
#include "support/TemporaryFolder.h"

#include <pluginterfaces/vst/ivsteditcontroller.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

using InstrumentTest::createInstrument;

// What the hosted instrument does is checked end to end in tests/endtoend (slot
// names, host values without echo, the state round trip); foreign and damaged states go through the state fuzz target's seeds.
// These tests pin the wiring the hosts cannot see.

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

// The CC map at start is checked end to end; its file, with the old-style settings.
TEST_F (TarvelinHostBoundary, TheAuthorAndTheUsersHostParametersMapSurviveARestart)
{
    const TemporaryFolder folder;
    const auto hostMap = folder.get().getChildFile ("live.tqhpmap");
    instrument->assignHostParameter (0, TarvelinIds::volume, false);
    ASSERT_TRUE (instrument->saveHostParametersMap (hostMap));
    instrument->setHostParametersMapFile (hostMap, true);
    instrument->setPresetAuthor ("Ann");
    closeInstrument();
    instrument = InstrumentTest::reopenInstrument();

    EXPECT_EQ (instrument->getPresetAuthor(), "Ann");
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
    EXPECT_EQ (instrument->getSoftwareVersion(), JucePlugin_VersionString);   // what the formats' metadata say
    EXPECT_EQ (instrument->getBuildDate(), "2015-01-08");
}

TEST_F (TarvelinHostBoundary, ShutdownWritesTheSettingsAndNoDump)
{
    const auto settings = instrument->getUserSettingsFile();
    const auto dump = instrument->getStateDumpFile();

    closeInstrument();

    const auto xml = XmlFiles::read (settings, BasePlugin::maxSettingsFileBytes);
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

//==============================================================================
// Values and programs as hosts meet them

TEST_F (TarvelinHostBoundary, TheFirstBlockSendsEverySlotsValueOnceExceptTheOnesTheHostSetItself)
{
    instrument->getParameters()[TarvelinIds::cutoff]->setValue (0.25f);
    InstrumentTest::render (*instrument, 2 * InstrumentTest::blockSize);

    ASSERT_EQ (host.changes.size(), 35u);

    for (const auto& change : host.changes)
    {
        EXPECT_NE (change.index, TarvelinIds::cutoff);
        EXPECT_EQ (change.value, instrument->getParameters()[change.index]->getValue()) << change.index;
    }
}

namespace
{
/** An instrument as the given format's wrapper makes it. */
std::unique_ptr<Tarvelin> createInstrumentFor (juce::AudioProcessor::WrapperType wrapper)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (wrapper);
    auto made = createInstrument();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return made;
}

float cutoffOf (Tarvelin& plugin)
{
    return plugin.getParameterManager().getNormalisedValue (TarvelinIds::cutoff);
}

void sendProgramChange (Tarvelin& plugin, int program)
{
    InstrumentTest::render (plugin, InstrumentTest::blockSize, InstrumentTest::blockSize,
                            { { 0, juce::MidiMessage::programChange (1, program) } });
}
} // namespace

TEST_F (TarvelinHostBoundary, UnderVst3AProgramTheHostChoosesIsAppliedAndEveryOtherChangeOfTheSlotIsToldToIt)
{
    const auto vst3 = createInstrumentFor (juce::AudioProcessor::wrapperType_VST3);
    HostRecorder vst3Host;
    vst3->addListener (&vst3Host);

    vst3->setCurrentProgram (5);
    EXPECT_EQ (vst3->getCurrentProgram(), 5);
    EXPECT_EQ (cutoffOf (*vst3), vst3->getPresetSlot (5)->getValue (TarvelinIds::cutoff));
    EXPECT_EQ (vst3Host.programChanges, 0);   // the host's own choice is not announced back

    sendProgramChange (*vst3, 7);
    EXPECT_EQ (vst3Host.programChanges, 1);

    vst3->selectPreset (7, false);
    EXPECT_EQ (vst3Host.programChanges, 1);   // the same slot is no change

    juce::MemoryBlock state;
    instrument->getStateInformation (state);   // slot 0 current
    vst3->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    EXPECT_EQ (vst3Host.programChanges, 2);
    EXPECT_EQ (vst3->getCurrentProgram(), 0);

    // From the audio thread the news waits for the message thread.
    std::thread audio ([&vst3] { sendProgramChange (*vst3, 9); });
    audio.join();
    EXPECT_EQ (vst3Host.programChanges, 2);
    vst3->handleUpdateNowIfNeeded();
    EXPECT_EQ (vst3Host.programChanges, 3);
    vst3->removeListener (&vst3Host);
}

TEST_F (TarvelinHostBoundary, ChoosingTheCurrentProgramAgainKeepsRestoredValues)
{
    const auto vst3 = createInstrumentFor (juce::AudioProcessor::wrapperType_VST3);
    vst3->setCurrentProgram (5);
    vst3->getParameters()[TarvelinIds::cutoff]->setValue (0.875f);
    juce::MemoryBlock project;
    vst3->getStateInformation (project);

    const auto restored = createInstrumentFor (juce::AudioProcessor::wrapperType_VST3);
    restored->setStateInformation (project.getData(), static_cast<int> (project.getSize()));
    restored->setCurrentProgram (5);   // hosts re-send the program while restoring a project

    EXPECT_EQ (restored->getCurrentProgram(), 5);
    EXPECT_EQ (cutoffOf (*restored), 0.875f);
}

TEST_F (TarvelinHostBoundary, OtherFormatsHaveOneProgramNamedAfterTheCurrentPresetWhoseChoiceChangesNothing)
{
    for (const auto wrapper : { juce::AudioProcessor::wrapperType_LV2, juce::AudioProcessor::wrapperType_Standalone })
    {
        const auto plugin = createInstrumentFor (wrapper);
        sendProgramChange (*plugin, 5);
        plugin->getParameters()[TarvelinIds::cutoff]->setValue (0.875f);

        plugin->setCurrentProgram (0);

        EXPECT_EQ (plugin->getNumPrograms(), 1);
        EXPECT_EQ (plugin->getCurrentProgram(), 0);
        EXPECT_EQ (plugin->getProgramName (0), plugin->getPresetName (5));
        EXPECT_EQ (plugin->getCurrentPresetIndex(), 5);
        EXPECT_EQ (cutoffOf (*plugin), 0.875f);
    }
}

namespace
{
// VST3's interfaces are released through their reference count, never deleted
// through the base, which therefore has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

/** A VST3 host's component handler that notes every finished edit. */
class RecordingComponentHandler final : public Steinberg::Vst::IComponentHandler
{
public:
    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID interfaceId, void** object) override
    {
        if (Steinberg::FUnknownPrivate::iidEqual (interfaceId, Steinberg::Vst::IComponentHandler_iid)
            || Steinberg::FUnknownPrivate::iidEqual (interfaceId, Steinberg::FUnknown_iid))
        {
            addRef();
            *object = this;
            return Steinberg::kResultOk;
        }

        *object = nullptr;
        return Steinberg::kNoInterface;
    }

    Steinberg::uint32 PLUGIN_API addRef() override  { return (Steinberg::uint32) ++references; }
    Steinberg::uint32 PLUGIN_API release() override { return (Steinberg::uint32) --references; }

    Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID id) override
    {
        open.push_back (id);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override
    {
        if (! open.empty() && open.back() == id)
            values[id] = static_cast<float> (value);

        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID id) override
    {
        if (! open.empty() && open.back() == id)
            open.pop_back();

        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32) override { return Steinberg::kResultOk; }

    std::atomic<int> references { 1 };
    std::vector<Steinberg::Vst::ParamID> open;
    std::map<Steinberg::Vst::ParamID, float> values;
};

#pragma GCC diagnostic pop
} // namespace

TEST_F (TarvelinHostBoundary, AProgramAVst3HostChoosesOnItsOwnThreadIsToldToItWithEverySlotsValue)
{
    const auto vst3 = createInstrumentFor (juce::AudioProcessor::wrapperType_VST3);
    RecordingComponentHandler handler;
    vst3->setIComponentHandler (&handler);
    EXPECT_EQ (handler.references.load(), 2);

    // The host's user-interface thread: neither the plug-in's message thread nor the processing's.
    InstrumentTest::render (*vst3, InstrumentTest::blockSize, InstrumentTest::blockSize);
    std::thread hostInterface ([&vst3] { vst3->setCurrentProgram (5); });
    hostInterface.join();

    ASSERT_EQ (handler.values.size(), static_cast<size_t> (TarvelinIds::numHostParameters));
    EXPECT_TRUE (handler.open.empty());
    const auto cutoffId = static_cast<Steinberg::Vst::ParamID> (juce::String ("slot003").hashCode()) & 0x7fffffffu;
    ASSERT_EQ (handler.values.count (cutoffId), 1u);
    EXPECT_EQ (handler.values[cutoffId], vst3->getPresetSlot (5)->getValue (TarvelinIds::cutoff));

    // On the processing thread the wrapper's processing output tells the host.
    handler.values.clear();
    std::thread processing ([&vst3]
    {
        InstrumentTest::render (*vst3, InstrumentTest::blockSize, InstrumentTest::blockSize);
        vst3->setCurrentProgram (7);
    });
    processing.join();
    EXPECT_TRUE (handler.values.empty());

    vst3->setIComponentHandler (nullptr);
    EXPECT_EQ (handler.references.load(), 1);
}
