// Program changes select presets on the audio thread while the user selects
// them on the message thread. Each selection makes a slot current and applies
// it; another selection coming in between must not write one slot's name or
// values into the other.

#include "support/InstrumentTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{
/** Every slot's name and values, one line each. */
juce::StringArray describePresets (Tarvelin& instrument)
{
    juce::StringArray slots;

    for (int i = 0; i < instrument.getNumPresets(); ++i)
    {
        auto line = instrument.getPresetName (i);

        for (int id = 0; id < instrument.getNumPresetParameters(); ++id)
            line << " " << instrument.getPresetSlot (i)->getValue (id);

        slots.add (line);
    }

    return slots;
}
} // namespace

TEST (PresetSelectionThreads, ProgramChangesAndSelectionsTogetherKeepEveryPresetsNameAndValues)
{
    auto instrument = InstrumentTest::createInstrument();
    instrument->setPresetStoringMode (PresetManager::automaticStoring);
    const auto before = describePresets (*instrument);

    std::atomic<bool> stop { false };
    std::thread audio ([&instrument, &stop]
    {
        juce::Random random (1);
        juce::AudioBuffer<float> buffer (2, 32);
        juce::MidiBuffer midi;

        while (! stop.load (std::memory_order_relaxed))
        {
            midi.clear();
            midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (128)), 0);
            instrument->processBlock (buffer, midi);
        }
    });

    juce::Random random (2);

    for (int i = 0; i < 2000; ++i)
        instrument->selectPreset (random.nextInt (instrument->getNumPresets()), false);

    stop = true;
    audio.join();

    EXPECT_EQ (describePresets (*instrument).joinIntoString ("\n"), before.joinIntoString ("\n"));
}

namespace
{
constexpr int learntController = 74;
constexpr int numMoves = 3000;

/** The slot a preset's index shows now: the number it was created with, which travels with it. */
int slotAt (Tarvelin& instrument, int index)
{
    return instrument.getPresetSlot (index)->getIndex();
}

/** One move the browser could make, chosen at random; moves the collection refuses change nothing. */
void moveSomething (Tarvelin& instrument, juce::Random& random)
{
    const auto numGroups = instrument.getNumGroups();
    const auto from = random.nextInt (instrument.getNumPresets());
    const auto to = random.nextInt (instrument.getNumPresets());

    switch (random.nextInt (3))
    {
        case 0:
            instrument.movePreset (from, to, instrument.getGroupOfPreset (from), instrument.getGroupOfPreset (to));
            break;

        case 1:
        {
            juce::SparseSet<int> positions;
            positions.addRange ({ 0, 1 + random.nextInt (2) });
            instrument.movePresetsToGroup (random.nextInt (numGroups), random.nextInt (numGroups), positions);
            break;
        }

        default:
            instrument.moveGroup (random.nextInt (numGroups), random.nextInt (numGroups));
            break;
    }
}

/** The host's audio thread in lock step with the browser: each round the
    thread renders one short block while the message thread makes one move.
    Every block moves the learnt controller to values no slot holds and, with
    programChanges, may begin with a program change.

    The block is let in at the worst moment: a move stops, its slots moved and
    its current preset not yet current again, until the audio thread has tried
    to take the slot lock. Only where the move left the lock free does the block
    run then, inside the move; otherwise it waits for the lock, as the audio
    thread would. So a move that lets go of the lock too early meets the block
    in every round, however the threads are scheduled. */
class AudioInRounds
{
public:
    AudioInRounds (Tarvelin& instrumentToRun, bool withProgramChanges)
        : instrument (instrumentToRun), programChanges (withProgramChanges), thread ([this] { run(); })
    {
        instrument.getPresetManager().setMoveWindowHook ([this] { letBlockInDuringMove(); });
    }

    ~AudioInRounds()
    {
        instrument.getPresetManager().setMoveWindowHook (nullptr);
        pass (quit);
        thread.join();
    }

    /** One round: the move, with the block let in from inside it (or after it when the move refused). */
    template <typename Move>
    void round (Move&& move)
    {
        move();
        pass (afterMove);
        waitFor ([] (Signal s) { return s == idle; });
    }

    /** Rounds whose block ran inside a move, with the slot lock free. */
    int getBlocksInsideMoves() const { return blocksInsideMoves.load(); }

private:
    enum Signal { idle, duringMove, triedDuringMove, afterMove, quit };

    // The threads wait for each other asleep: spinning would make every round
    // cost a time slice on a busy machine.
    void pass (Signal newSignal)
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            signal = newSignal;
        }

        changed.notify_all();
    }

    template <typename Predicate>
    Signal waitFor (Predicate&& predicate)
    {
        std::unique_lock<std::mutex> lock (mutex);
        changed.wait (lock, [&] { return predicate (signal) || signal == quit; });
        return signal;
    }

    // On the message thread, with whatever lock the move holds.
    void letBlockInDuringMove()
    {
        pass (duringMove);
        waitFor ([] (Signal s) { return s != duringMove; });
    }

    void run()
    {
        juce::Random random (3);
        juce::AudioBuffer<float> buffer (2, 32);
        juce::MidiBuffer midi;
        midi.ensureSize (1024);
        const auto& slotLock = instrument.getPresetManager().getSlotLock();

        for (;;)
        {
            const auto reason = waitFor ([] (Signal s) { return s == duringMove || s == afterMove; });

            if (reason == quit)
                return;

            midi.clear();

            if (programChanges && random.nextBool())
                midi.addEvent (juce::MidiMessage::programChange (1, random.nextInt (128)), 0);

            for (int i = 0; i < 16; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, learntController, 100 + random.nextInt (28)), 2 * i);

            if (reason == duringMove && slotLock.tryEnter())
            {
                instrument.processBlock (buffer, midi);
                slotLock.exit();
                blocksInsideMoves.fetch_add (1);
                pass (triedDuringMove);
                waitFor ([] (Signal s) { return s == afterMove; });
            }
            else
            {
                if (reason == duringMove)
                {
                    // The move holds the lock: the block waits for it.
                    pass (triedDuringMove);
                    waitFor ([] (Signal s) { return s == afterMove; });
                }

                instrument.processBlock (buffer, midi);
            }

            pass (idle);
        }
    }

    Tarvelin& instrument;
    const bool programChanges;
    std::mutex mutex;
    std::condition_variable changed;
    Signal signal = idle;
    std::atomic<int> blocksInsideMoves { 0 };
    std::thread thread;
};

/** With automatic storing the current slot always holds what the parameters
    hold; answers the preset parameters where it does not. */
juce::StringArray findValuesApartFromTheCurrentSlot (Tarvelin& instrument)
{
    auto& parameters = instrument.getParameterManager();
    const auto index = instrument.getCurrentPresetIndex();
    const auto* slot = instrument.getPresetSlot (index);
    juce::StringArray apart;

    for (int id = 0; id < instrument.getNumPresetParameters(); ++id)
        if (slot->getValue (id) != parameters.getNormalisedValue (id))
            apart.add (parameters.getNameOf (id));

    if (parameters.getParameter (PresetManager::currentPresetNumberId)->getIntValue() != index
        || parameters.getText (PresetManager::currentPresetNameId) != slot->getName())
        apart.add ("number or name");

    return apart;
}
} // namespace

// Moving presets in the browser keeps the current preset current under its new
// index, while a learnt controller in automatic storing mode writes into the
// current slot and program changes select others, both on the audio thread.
TEST (PresetSelectionThreads, MovesWhileControllersAndProgramChangesArriveKeepEverySlotsValuesItsOwn)
{
    auto instrument = InstrumentTest::createInstrument();
    auto& parameters = instrument->getParameterManager();
    instrument->setPresetStoringMode (PresetManager::automaticStoring);
    instrument->getMidiControl().assign (learntController, parameters.getParameter (TarvelinIds::cutoff), true);

    // Every slot's cutoff tells where it came from, and stays below any value the controller sends.
    for (int i = 0; i < instrument->getNumPresets(); ++i)
        instrument->getPresetSlot (i)->setValue (TarvelinIds::cutoff, static_cast<float> (i) / 1000.0f);

    instrument->reloadCurrentPreset();
    const auto current = slotAt (*instrument, instrument->getCurrentPresetIndex());
    juce::Random random (4);

    // Controllers only: nothing but the current slot may take their values.
    {
        AudioInRounds audio (*instrument, false);

        for (int round = 0; round < numMoves; ++round)
            audio.round ([&] { moveSomething (*instrument, random); });

        EXPECT_EQ (audio.getBlocksInsideMoves(), 0) << "blocks that found the slot lock free inside a move";
    }

    EXPECT_EQ (slotAt (*instrument, instrument->getCurrentPresetIndex()), current) << "the current preset stays current";

    for (int i = 0; i < instrument->getNumPresets(); ++i)
    {
        const auto* slot = instrument->getPresetSlot (i);

        if (slot->getIndex() != current)
        {
            EXPECT_EQ (slot->getValue (TarvelinIds::cutoff), static_cast<float> (slot->getIndex()) / 1000.0f) << "slot " << slot->getIndex();
        }
    }

    // Program changes as well: after every round the program chosen last is the
    // current preset, whose slot holds the values it gave the parameters.
    {
        AudioInRounds audio (*instrument, true);
        int roundsApart = 0;
        juce::String firstApart;

        for (int round = 0; round < numMoves; ++round)
        {
            audio.round ([&] { moveSomething (*instrument, random); });

            if (const auto apart = findValuesApartFromTheCurrentSlot (*instrument); ! apart.isEmpty())
            {
                if (roundsApart++ == 0)
                    firstApart = "round " + juce::String (round) + ": " + apart.joinIntoString (", ");
            }
        }

        EXPECT_EQ (roundsApart, 0) << firstApart;
        EXPECT_EQ (audio.getBlocksInsideMoves(), 0) << "blocks that found the slot lock free inside a move";
    }
}
