// A host may restore its state, or choose a program, on a thread of its own
// (JUCE 7's LV2 wrapper restores state on the host's thread). The editor lives
// on the message thread: whatever such a call changes reaches it there, later.

#include "editor/TarvelinEditor.h"
#include "skin/GFXMultiStateButton.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace
{
/** Where the editor's entry points ran: each notes its name and thread, then does its work. */
class ThreadRecordingEditor : public TarvelinEditor
{
public:
    using Call = std::pair<juce::String, std::thread::id>;

    explicit ThreadRecordingEditor (Tarvelin& instrument) : TarvelinEditor (instrument) {}

    std::vector<Call> takeCalls()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return std::exchange (calls, {});
    }

    void midiControlMapChanged (MidiControl* m) override           { note ("midiControlMapChanged"); TarvelinEditor::midiControlMapChanged (m); }
    void midiLearnStateChanged (MidiControl* m) override           { note ("midiLearnStateChanged"); TarvelinEditor::midiLearnStateChanged (m); }
    void midiControlReceived (MidiControl* m) override             { note ("midiControlReceived"); TarvelinEditor::midiControlReceived (m); }
    void pluginStateRestored (BasePlugin* p) override              { note ("pluginStateRestored"); TarvelinEditor::pluginStateRestored (p); }
    void pluginStateSaved (BasePlugin* p) override                 { note ("pluginStateSaved"); TarvelinEditor::pluginStateSaved (p); }
    void pluginPreparedToPlay (BasePlugin* p) override             { note ("pluginPreparedToPlay"); TarvelinEditor::pluginPreparedToPlay (p); }
    void processingModeChanged (BasePlugin* p, int mode) override  { note ("processingModeChanged"); TarvelinEditor::processingModeChanged (p, mode); }
    void parameterChanged (Parameter* p) override                  { note ("parameterChanged"); TarvelinEditor::parameterChanged (p); }
    void restoreStateXml (const juce::XmlElement& e) override      { note ("restoreStateXml"); TarvelinEditor::restoreStateXml (e); }
    void clockStartedOrStopped (Clock* c) override                 { note ("clockStartedOrStopped"); TarvelinEditor::clockStartedOrStopped (c); }
    void clockStateChanged (Clock* c) override                     { note ("clockStateChanged"); TarvelinEditor::clockStateChanged (c); }
    void controllerValueChanged (GUIController* c) override        { note ("controllerValueChanged"); TarvelinEditor::controllerValueChanged (c); }
    void displayTextChanged (GFXDisplay* d) override               { note ("displayTextChanged"); TarvelinEditor::displayTextChanged (d); }
    void handleSkinLoaded() override                               { note ("handleSkinLoaded"); TarvelinEditor::handleSkinLoaded(); }
    void updateFromTimer() override                                { note ("updateFromTimer"); TarvelinEditor::updateFromTimer(); }

private:
    void note (const char* name)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        calls.emplace_back (name, std::this_thread::get_id());
    }

    std::mutex mutex;
    std::vector<Call> calls;
};

/** The instrument as a VST3 host has it (the presets are its programs), with the recording editor. */
std::unique_ptr<Tarvelin> createRecordedInstrument()
{
    removeSettingsOf ("Tarvelin");
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST3);
    auto instrument = std::make_unique<Tarvelin>();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    auto& plugin = *instrument;
    instrument->setEditorFactory ([&plugin] { return std::make_unique<ThreadRecordingEditor> (plugin); });
    auto created = BasePlugin::createAndSetUp (std::move (instrument));
    auto made = std::unique_ptr<Tarvelin> (dynamic_cast<Tarvelin*> (created.release()));
    made->setRateAndBufferSizeDetails (InstrumentTest::sampleRate, InstrumentTest::blockSize);
    made->prepareToPlay (InstrumentTest::sampleRate, InstrumentTest::blockSize);
    return made;
}

/** The names of the calls made on the given thread. */
juce::StringArray callsOn (const std::vector<ThreadRecordingEditor::Call>& calls, std::thread::id thread)
{
    juce::StringArray names;

    for (const auto& [name, caller] : calls)
        if (caller == thread)
            names.add (name);

    return names;
}

bool contains (const std::vector<ThreadRecordingEditor::Call>& calls, const juce::String& name)
{
    for (const auto& call : calls)
        if (call.first == name)
            return true;

    return false;
}

class EditorOnHostThreads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE (editor, nullptr);
        ASSERT_NE (learnButton, nullptr);
        dispatchPendingMessages();
        editor->takeCalls();
    }

    /** Learning on from the panel, as the user leaves it while the host does its work. */
    void startLearning()
    {
        instrument->getMidiControl().setLearnMode (true);
        instrument->getMidiControl().setLearnParameter (instrument->getParameterManager().getParameter (TarvelinIds::cutoff));
        dispatchPendingMessages();
        ASSERT_EQ (learnButton->getState(), 1);
        ASSERT_TRUE (editor->getStatusBar().getText().startsWith ("'Cutoff' parameter is free"));
        editor->takeCalls();
    }

    /** Runs the host's calls on a thread of its own; answers that thread's id. */
    template <typename HostCalls>
    std::thread::id onHostThread (HostCalls&& hostCalls)
    {
        std::thread host (std::forward<HostCalls> (hostCalls));
        const auto id = host.get_id();
        host.join();
        return id;
    }

    std::unique_ptr<Tarvelin> instrument = createRecordedInstrument();
    ThreadRecordingEditor* editor = dynamic_cast<ThreadRecordingEditor*> (instrument->getPersistentEditor());
    GFXMultiStateButton* learnButton = editor != nullptr ? dynamic_cast<GFXMultiStateButton*> (editor->findChildComponentByName ("MidiLearnButton", true))
                                                         : nullptr;
};
} // namespace

TEST_F (EditorOnHostThreads, AStateRestoredOnTheHostsThreadWhileLearningReachesTheEditorOnTheMessageThreadOnly)
{
    instrument->getMidiControl().assign (20, instrument->getParameterManager().getParameter (TarvelinIds::resonance), true);
    juce::MemoryBlock project;
    instrument->getStateInformation (project);
    startLearning();

    const auto host = onHostThread ([&]
    {
        instrument->setStateInformation (project.getData(), static_cast<int> (project.getSize()));
    });

    EXPECT_EQ (callsOn (editor->takeCalls(), host).joinIntoString (", "), juce::String());
    EXPECT_FALSE (instrument->getMidiControl().isLearnMode()) << "reading the map leaves learn mode";

    // The news arrives with the message thread's next round: the panel stops learning.
    dispatchPendingMessages();
    const auto heard = editor->takeCalls();
    EXPECT_TRUE (contains (heard, "midiLearnStateChanged"));
    EXPECT_TRUE (contains (heard, "pluginStateRestored"));
    EXPECT_EQ (callsOn (heard, host).joinIntoString (", "), juce::String());
    EXPECT_EQ (learnButton->getState(), 0);
    EXPECT_FALSE (learnButton->isBlinking());
    EXPECT_EQ (editor->getStatusBar().getText(), juce::String());
}

TEST_F (EditorOnHostThreads, AProgramStateAProgramChoiceAndTheAudioThreadsMidiTouchNoEditorCodeOnTheirThread)
{
    juce::MemoryBlock program;
    instrument->getCurrentProgramStateInformation (program);
    startLearning();

    const auto host = onHostThread ([&]
    {
        instrument->setCurrentProgramStateInformation (program.getData(), static_cast<int> (program.getSize()));
        instrument->setCurrentProgram (5);

        // It processes a block too: a program change and a controller.
        InstrumentTest::render (*instrument, InstrumentTest::blockSize, InstrumentTest::blockSize,
                                { { 0, juce::MidiMessage::programChange (1, 7) },
                                  { 10, juce::MidiMessage::controllerEvent (1, 30, 64) } });
    });

    EXPECT_EQ (callsOn (editor->takeCalls(), host).joinIntoString (", "), juce::String());
    EXPECT_EQ (instrument->getCurrentPresetIndex(), 7);

    dispatchPendingMessages();
    const auto heard = editor->takeCalls();
    EXPECT_TRUE (contains (heard, "midiLearnStateChanged"));
    EXPECT_TRUE (contains (heard, "parameterChanged"));
    EXPECT_EQ (callsOn (heard, host).joinIntoString (", "), juce::String());
    EXPECT_EQ (learnButton->getState(), 0);
}
