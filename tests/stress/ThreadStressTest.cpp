// Every thread the instrument lives with, at once: the audio thread renders
// MIDI notes and a learnt controller, a host thread automates the host slots,
// and the message thread drains notifications while it saves and restores the
// state, switches presets, edits and moves patterns and toggles the sequencer.
// Built with ThreadSanitizer (TARVELIN_TSAN) any data race ends the run; in
// every build the output stays finite and no parameter change is lost on its
// way to the message thread.

#include "editor/BasePluginEditor.h"
#include "skin/GFXMultiStateButton.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

namespace
{
using namespace TarvelinIds;

// The threads pace each other so that the work, not the machine, bounds the
// run: the message thread's rounds, a few audio blocks per round, and a few
// host changes per block. Every few rounds the whole state goes out and back.
constexpr int numMessageRounds = 240;
constexpr int roundsPerStateRoundTrip = 20;
constexpr int blocksPerRound = 4;
constexpr int hostChangesPerBlock = 4;
constexpr int learntController = 74;
constexpr int maxBlockSize = 512;

/** Yields until the count reaches the target, or the run is over. The loads are
    relaxed: pacing must not order the threads' other accesses, or the sanitizer
    would take the pacing for the synchronisation that the code lacks. */
void waitUntilAtLeast (const std::atomic<int>& count, int target, const std::atomic<bool>& stopFlag)
{
    while (count.load (std::memory_order_relaxed) < target && ! stopFlag.load (std::memory_order_relaxed))
        std::this_thread::yield();
}

/** Listens asynchronously to every parameter and keeps the last text it heard of each. */
class LastValueRecorder : public Parameter::Listener
{
public:
    explicit LastValueRecorder (ParameterManager& table) : parameters (table)
    {
        for (int i = 0; i < parameters.getNumParameters(); ++i)
        {
            auto* parameter = parameters.getParameterAt (i);
            lastHeard[parameter->getId()] = parameter->getText();
            parameter->addAsyncListener (this);
        }
    }

    ~LastValueRecorder() override
    {
        for (int i = 0; i < parameters.getNumParameters(); ++i)
            parameters.getParameterAt (i)->removeAsyncListener (this);
    }

    void parameterChanged (Parameter* parameter) override
    {
        lastHeard[parameter->getId()] = parameter->getText();
        ++numHeard;
    }

    /** "id: heard -> holds" for every parameter whose value its listeners never heard. */
    juce::StringArray findUnheardValues() const
    {
        juce::StringArray unheard;

        for (int i = 0; i < parameters.getNumParameters(); ++i)
        {
            const auto* parameter = parameters.getParameterAt (i);
            const auto& heard = lastHeard.at (parameter->getId());

            if (heard != parameter->getText())
                unheard.add (juce::String (parameter->getId()) + ": " + heard + " -> " + parameter->getText());
        }

        return unheard;
    }

    int numHeard = 0;

private:
    ParameterManager& parameters;
    std::map<int, juce::String> lastHeard;
};

/** The host's audio callback: blocks of varying size with notes, the learnt
    controller, now and then a program change, and a transport that starts and stops. */
class AudioThread
{
public:
    AudioThread (Tarvelin& instrumentToRun, const std::atomic<int>& messageRounds, const std::atomic<bool>& stopFlag)
        : instrument (instrumentToRun), roundsDone (messageRounds), shouldStop (stopFlag) {}

    void run()
    {
        juce::Random random (1);
        juce::AudioBuffer<float> buffer (2, maxBlockSize);
        juce::MidiBuffer midi;
        midi.ensureSize (4096);
        int heldNote = -1;

        while (! shouldStop.load (std::memory_order_relaxed))
        {
            waitUntilAtLeast (roundsDone, blocksRendered.load (std::memory_order_relaxed) / blocksPerRound, shouldStop);

            const int blockSize = 32 + random.nextInt (maxBlockSize - 32 + 1);
            buffer.setSize (2, blockSize, false, false, true);
            midi.clear();

            // Notes 0 to 40 reach the voice, the arpeggiator and the sequencer's pattern keys alike.
            if (heldNote >= 0 && random.nextBool())
            {
                midi.addEvent (juce::MidiMessage::noteOff (1, heldNote), random.nextInt (blockSize));
                heldNote = -1;
            }

            if (heldNote < 0 && random.nextBool())
            {
                heldNote = random.nextInt (41);
                midi.addEvent (juce::MidiMessage::noteOn (1, heldNote, (juce::uint8) (1 + random.nextInt (127))),
                               random.nextInt (blockSize));
            }

            midi.addEvent (juce::MidiMessage::controllerEvent (1, learntController, random.nextInt (128)),
                           random.nextInt (blockSize));

            if (random.nextInt (50) == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (128)), random.nextInt (blockSize));

            if (random.nextInt (100) == 0)
                playHead.playing = ! playHead.playing;

            instrument.processBlock (buffer, midi);
            playHead.advance (blockSize);

            for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
                for (int i = 0; i < blockSize; ++i)
                    if (! std::isfinite (buffer.getSample (channel, i)))
                        ++nonFiniteSamples;

            blocksRendered.fetch_add (1, std::memory_order_relaxed);
        }
    }

    InstrumentTest::TestPlayHead playHead;
    std::atomic<int> blocksRendered { 0 };
    std::atomic<int> nonFiniteSamples { 0 };

private:
    Tarvelin& instrument;
    const std::atomic<int>& roundsDone;
    const std::atomic<bool>& shouldStop;
};

/** The host's automation: values, texts and gestures through the host-visible parameter objects. */
class HostThread
{
public:
    HostThread (Tarvelin& instrument, const std::atomic<int>& audioBlocks, const std::atomic<bool>& stopFlag)
        : slots (instrument.getParameters()), blocksRendered (audioBlocks), shouldStop (stopFlag) {}

    void run()
    {
        juce::Random random (2);

        while (! shouldStop.load (std::memory_order_relaxed))
        {
            waitUntilAtLeast (blocksRendered, changesMade.load (std::memory_order_relaxed) / hostChangesPerBlock, shouldStop);

            auto* slot = slots[random.nextInt (slots.size())];
            const bool gesture = random.nextInt (4) == 0;

            if (gesture)
                slot->beginChangeGesture();

            slot->setValue (random.nextFloat());

            if (gesture)
                slot->endChangeGesture();

            // What a host's automation lane and generic editor read back.
            juce::ignoreUnused (slot->getValue(), slot->getCurrentValueAsText(), slot->getName (32));
            changesMade.fetch_add (1, std::memory_order_relaxed);
        }
    }

    std::atomic<int> changesMade { 0 };

private:
    const juce::Array<juce::AudioProcessorParameter*>& slots;
    const std::atomic<int>& blocksRendered;
    const std::atomic<bool>& shouldStop;
};

/** The uids a panel sends: the instrument's edit commands and the sequencer's actions. */
std::vector<int> makePanelEvents()
{
    std::vector<int> uids;

    for (int uid = 0; uid < numEditCommands; ++uid)
        uids.push_back (uid);

    for (int uid = IntSeqPlugin::toggleInternalSequencerEvent; uid <= IntSeqPlugin::setPatternLengthTo16Event; ++uid)
        if (uid != IntSeqPlugin::loadPatternsEvent && uid != IntSeqPlugin::savePatternsEvent)
            uids.push_back (uid);

    return uids;
}

/** The host saves the whole state, or the current program's, and restores it at once. */
void saveAndRestoreState (Tarvelin& instrument, bool wholeState)
{
    juce::MemoryBlock state;

    if (wholeState)
    {
        instrument.getStateInformation (state);
        instrument.setStateInformation (state.getData(), (int) state.getSize());
    }
    else
    {
        instrument.getCurrentProgramStateInformation (state);
        instrument.setCurrentProgramStateInformation (state.getData(), (int) state.getSize());
    }
}

/** One round of what the editor and the host do on the message thread. */
void runMessageRound (Tarvelin& instrument, juce::Random& random, const std::vector<int>& panelEvents)
{
    dispatchPendingMessages();

    // Edits, as the panel's buttons send them; most need edit mode, which the rounds switch on and off.
    for (int i = 0; i < 4; ++i)
        instrument.performEvent (panelEvents[(size_t) random.nextInt ((int) panelEvents.size())]);

    // Moves of the pattern that is playing, whatever the mode: the audio thread reads it meanwhile.
    const int playing = instrument.getPlayingPatternIndex();

    switch (random.nextInt (5))
    {
        case 0:  instrument.shiftPatternLeft (playing); break;
        case 1:  instrument.shiftPatternRight (playing); break;
        case 2:  instrument.setPatternLength (playing, 1 + random.nextInt (Pattern::numSteps)); break;
        case 3:  instrument.getPattern (playing) = instrument.getPattern (random.nextInt (Tarvelin::numPatterns)); break;
        default: instrument.getPattern (playing).transpose (random.nextInt (25) - 12); break;
    }

    // A knob on the panel.
    instrument.getParameterManager().setNormalisedValue (random.nextInt (numHostParameters), random.nextFloat());

    switch (random.nextInt (8))
    {
        case 0:
            instrument.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
            break;

        case 1:
            instrument.selectPreset (random.nextInt (instrument.getNumPresets()), false);
            break;

        case 2:
            instrument.performEvent (random.nextBool() ? IntSeqPlugin::togglePatternWriteModeEvent
                                                       : IntSeqPlugin::toggleHostModeEvent);
            break;

        case 3:
            instrument.performEvent (IntSeqPlugin::startStopEvent);
            break;

        case 4:
            instrument.loadStartupHostParametersMap();
            break;

        case 5:
            // Automatic storing writes every preset parameter's change into the
            // current slot, on whichever thread made it.
            instrument.setPresetStoringMode (random.nextBool() ? PresetManager::automaticStoring
                                                               : PresetManager::onDemandStoring);
            break;

        case 6:
        {
            // Learning by example: the next controller the audio thread sees takes the parameter.
            auto& midiControl = instrument.getMidiControl();
            midiControl.setLearnMode (! midiControl.isLearnMode());

            if (midiControl.isLearnMode())
                midiControl.setLearnParameter (instrument.getParameterManager().getParameter (random.nextInt (numHostParameters)));

            break;
        }

        default:
            // The MIDI page learns the controller again while it is moving.
            instrument.getMidiControl().assign (learntController,
                                                instrument.getParameterManager().getParameter (random.nextInt (numHostParameters)),
                                                true);
            break;
    }
}
} // namespace

TEST (ThreadStress, AudioHostAndMessageThreadsTogetherLoseNoNotificationAndStayFinite)
{
    auto instrument = InstrumentTest::createInstrument();
    auto& midiControl = instrument->getMidiControl();
    midiControl.setLearnMode (true);
    midiControl.setLearnParameter (instrument->getParameterManager().getParameter (cutoff));
    midiControl.setLearnController (learntController);
    midiControl.setLearnMode (false);
    ASSERT_EQ (midiControl.findController (instrument->getParameterManager().getParameter (cutoff)), learntController);

    dispatchPendingMessages();
    LastValueRecorder recorder (instrument->getParameterManager());
    juce::StringArray presetNames;

    for (int i = 0; i < instrument->getNumPresets(); ++i)
        presetNames.add (instrument->getPresetName (i));

    std::atomic<bool> stop { false };
    std::atomic<int> roundsDone { 0 };
    AudioThread audio (*instrument, roundsDone, stop);
    HostThread host (*instrument, audio.blocksRendered, stop);
    instrument->setPlayHead (&audio.playHead);

    std::thread audioThread ([&audio] { audio.run(); });
    std::thread hostThread ([&host] { host.run(); });

    juce::Random random (3);
    const auto panelEvents = makePanelEvents();

    for (int round = 0; round < numMessageRounds; ++round)
    {
        // Every round overlaps audio blocks that the previous one did not see.
        waitUntilAtLeast (audio.blocksRendered, round * blocksPerRound + 1, stop);
        runMessageRound (*instrument, random, panelEvents);

        if (round % roundsPerStateRoundTrip == 0)
            saveAndRestoreState (*instrument, (round / roundsPerStateRoundTrip) % 2 == 0);

        roundsDone.fetch_add (1, std::memory_order_relaxed);
    }

    waitUntilAtLeast (audio.blocksRendered, numMessageRounds * blocksPerRound, stop);

    stop = true;
    audioThread.join();
    hostThread.join();
    instrument->setPlayHead (nullptr);
    dispatchPendingMessages();

    EXPECT_GE (audio.blocksRendered.load(), numMessageRounds * blocksPerRound);
    EXPECT_GT (host.changesMade.load(), 0);
    EXPECT_GT (recorder.numHeard, 0);
    EXPECT_EQ (audio.nonFiniteSamples.load(), 0);
    EXPECT_EQ (recorder.findUnheardValues().joinIntoString ("\n"), juce::String());

    // Program changes and selections crossed all along; no preset took another's name.
    for (int i = 0; i < instrument->getNumPresets(); ++i)
        EXPECT_EQ (instrument->getPresetName (i), presetNames[i]) << "preset " << i;
}

namespace
{
constexpr int numStateReads = 150;
constexpr int valuesPerSlot = 6;

/** The values a slot's parameter takes from the host's values, and from its start. */
std::vector<std::vector<float>> makeHeldValues (Tarvelin& instrument, const std::vector<std::vector<float>>& hostValues)
{
    std::vector<std::vector<float>> held;

    for (int slot = 0; slot < numHostParameters; ++slot)
    {
        const auto* parameter = instrument.getParameterManager().getParameter (slot);
        std::vector<float> values { parameter->getNormalisedValue() };
        const auto copy = parameter->clone (parameter->getId(), parameter->getName());

        for (const auto value : hostValues[(size_t) slot])
        {
            copy->setNormalisedValue (value, false);
            values.push_back (copy->getNormalisedValue());
        }

        held.push_back (values);
    }

    return held;
}

bool isOneOf (float value, const std::vector<float>& values)
{
    for (const auto candidate : values)
        if (std::abs (value - candidate) < 1.0e-6f)
            return true;

    return false;
}
} // namespace

TEST (ThreadStress, StatesReadWhileHostThreadsSetSlotsHoldOnlyValuesTheSlotsHeld)
{
    auto instrument = InstrumentTest::createInstrument();
    dispatchPendingMessages();

    // Each slot gets its own few values, so that a value in a state tells where it came from.
    juce::Random random (4);
    std::vector<std::vector<float>> hostValues ((size_t) numHostParameters);

    for (auto& values : hostValues)
        for (int i = 0; i < valuesPerSlot; ++i)
            values.push_back (random.nextFloat());

    const auto held = makeHeldValues (*instrument, hostValues);
    std::atomic<bool> stop { false };
    std::atomic<int> statesRead { 0 };

    // An automation thread and a user-interface thread, as hosts have.
    auto setSlots = [&] (int seed)
    {
        juce::Random threadRandom (seed);
        const auto& slots = instrument->getParameters();
        int changes = 0;

        while (! stop.load (std::memory_order_relaxed))
        {
            waitUntilAtLeast (statesRead, changes / 64, stop);
            const auto slot = threadRandom.nextInt (numHostParameters);
            slots[slot]->setValue (hostValues[(size_t) slot][(size_t) threadRandom.nextInt (valuesPerSlot)]);
            ++changes;
        }
    };

    std::thread automation (setSlots, 5);
    std::thread userInterface (setSlots, 6);
    juce::StringArray strangers;

    for (int read = 0; read < numStateReads && strangers.isEmpty(); ++read)
    {
        juce::MemoryBlock block;
        instrument->getStateInformation (block);
        const auto state = juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize());
        ASSERT_NE (state, nullptr);
        const auto* parameters = state->getChildByName ("ParametersState");
        ASSERT_NE (parameters, nullptr);

        for (int slot = 0; slot < numHostParameters; ++slot)
        {
            const auto* param = parameters->getChildElement (slot);
            ASSERT_NE (param, nullptr);
            const auto value = static_cast<float> (param->getDoubleAttribute ("value"));

            if (! isOneOf (value, held[(size_t) slot]))
                strangers.add ("state " + juce::String (read) + ": " + param->getStringAttribute ("name") + " = " + juce::String (value));
        }

        statesRead.fetch_add (1, std::memory_order_relaxed);
        dispatchPendingMessages();
    }

    stop = true;
    automation.join();
    userInterface.join();
    dispatchPendingMessages();

    EXPECT_EQ (statesRead.load(), numStateReads);
    EXPECT_EQ (strangers.joinIntoString ("\n"), juce::String());
}

namespace
{
constexpr int numLearningRounds = 50;
} // namespace

// JUCE 7's LV2 wrapper restores a project on the host's thread. A restore reads
// the CC map, which leaves learn mode, while the user learns on the panel: the
// editor hears of it on the message thread only, so its status bar, learn
// button and timers are never touched from two threads.
TEST (ThreadStress, AHostRestoringOnItsOwnThreadWhileThePanelLearnsLeavesTheEditorToTheMessageThread)
{
    auto instrument = InstrumentTest::createInstrument();
    auto* editor = dynamic_cast<BasePluginEditor*> (instrument->getPersistentEditor());
    ASSERT_NE (editor, nullptr);
    auto* learnButton = dynamic_cast<GFXMultiStateButton*> (editor->findChildComponentByName ("MidiLearnButton", true));
    ASSERT_NE (learnButton, nullptr);

    // As a host window shows it: the editor's timer works only while it is visible.
    editor->setVisible (true);
    auto& midiControl = instrument->getMidiControl();
    auto& parameters = instrument->getParameterManager();
    midiControl.assign (learntController, parameters.getParameter (cutoff), true);
    juce::MemoryBlock project;
    instrument->getStateInformation (project);
    dispatchPendingMessages();

    std::atomic<bool> stop { false };
    std::atomic<int> restores { 0 };
    std::thread host ([&]
    {
        while (! stop.load (std::memory_order_relaxed))
        {
            instrument->setStateInformation (project.getData(), (int) project.getSize());
            restores.fetch_add (1, std::memory_order_relaxed);
        }
    });

    juce::Random random (7);

    auto& statusBar = editor->getStatusBar();

    for (int round = 0; round < numLearningRounds; ++round)
    {
        // The panel paints while the host restores: the status line and the learn button.
        while (restores.load (std::memory_order_relaxed) < round)
        {
            juce::ignoreUnused (statusBar.createComponentSnapshot (statusBar.getLocalBounds()),
                                learnButton->createComponentSnapshot (learnButton->getLocalBounds()));
        }

        midiControl.setLearnMode (true);
        midiControl.setLearnParameter (parameters.getParameter (random.nextInt (numHostParameters)));
        editor->timerCallback();
        dispatchPendingMessages();
    }

    // One whole restore after the last round's learning (the one under way may have begun before it).
    waitUntilAtLeast (restores, restores.load() + 2, stop);
    stop = true;
    host.join();
    dispatchPendingMessages();

    EXPECT_GE (restores.load(), numLearningRounds);
    EXPECT_FALSE (midiControl.isLearnMode()) << "the last restore left learn mode";
    EXPECT_EQ (learnButton->getState(), 0) << "the panel shows the learn mode the map has";
    EXPECT_FALSE (learnButton->isBlinking());
    editor->setVisible (false);
}
