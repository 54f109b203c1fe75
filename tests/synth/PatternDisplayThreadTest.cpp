// The audio thread may choose a pattern (a pattern key, the chain moving on),
// but the lamps and displays that show it read what the message thread edits:
// they are written on the message thread, at its next update.

#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
/** Plays the events through one block on a thread of its own, as a host's audio thread would. */
void renderOnAudioThread (Tarvelin& instrument, const std::vector<InstrumentTest::MidiOut>& input)
{
    std::thread audio ([&instrument, &input] { InstrumentTest::render (instrument, 64, 64, input); });
    audio.join();
}

float patternNumberShown (Tarvelin& instrument)
{
    return instrument.getParameterManager().getValue (IntSeqPlugin::patternNumberId);
}
} // namespace

TEST (PatternDisplayThreads, APatternKeyOnTheAudioThreadChoosesThePatternAndLeavesItsDisplayToTheMessageThread)
{
    auto instrument = InstrumentTest::createInstrument();
    dispatchPendingMessages();
    ASSERT_EQ (patternNumberShown (*instrument), 1.0f);

    renderOnAudioThread (*instrument, { InstrumentTest::noteOn (0, 14) });     // D: the chain's second position

    EXPECT_EQ (instrument->getPlayingPatternIndex(), 1);
    EXPECT_EQ (patternNumberShown (*instrument), 1.0f);

    dispatchPendingMessages();

    EXPECT_EQ (patternNumberShown (*instrument), 2.0f);
}

TEST (PatternDisplayThreads, ABankKeyOnTheAudioThreadLightsItsLampAtTheMessageThreadsNextUpdate)
{
    auto instrument = InstrumentTest::createInstrument();
    dispatchPendingMessages();
    auto& parameters = instrument->getParameterManager();
    ASSERT_TRUE (parameters.getParameter (TarvelinIds::gateLamp)->getBoolValue());

    renderOnAudioThread (*instrument, { InstrumentTest::noteOn (0, 28) });     // E: the second bank
    dispatchPendingMessages();

    EXPECT_FALSE (parameters.getParameter (TarvelinIds::gateLamp)->getBoolValue());
    EXPECT_TRUE (parameters.getParameter (TarvelinIds::accentLamp)->getBoolValue());
}
