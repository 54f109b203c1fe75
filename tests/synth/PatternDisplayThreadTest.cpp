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
} // namespace

TEST (PatternDisplayThreads, PatternAndBankKeysOnTheAudioThreadChooseAtOnceAndAreShownAtTheMessageThreadsNextUpdate)
{
    auto instrument = InstrumentTest::createInstrument();
    dispatchPendingMessages();
    auto& parameters = instrument->getParameterManager();
    const auto lamp = [&parameters] (int id) { return parameters.getParameter (id)->getBoolValue(); };
    ASSERT_EQ (parameters.getValue (IntSeqPlugin::patternNumberId), 1.0f);
    ASSERT_TRUE (lamp (TarvelinIds::gateLamp));

    // D: the chain's second position; then E: the second bank.
    renderOnAudioThread (*instrument, { InstrumentTest::noteOn (0, 14), InstrumentTest::noteOn (1, 28) });

    EXPECT_EQ (instrument->getPlayingPatternIndex(), 1);
    EXPECT_EQ (instrument->getBankGroup(), 1);
    EXPECT_EQ (parameters.getValue (IntSeqPlugin::patternNumberId), 1.0f);
    EXPECT_TRUE (lamp (TarvelinIds::gateLamp));

    dispatchPendingMessages();

    EXPECT_EQ (parameters.getValue (IntSeqPlugin::patternNumberId), 2.0f);
    EXPECT_FALSE (lamp (TarvelinIds::gateLamp));
    EXPECT_TRUE (lamp (TarvelinIds::accentLamp));
}
