#include "synth/Clock.h"
#include "synth/ShuffledClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;

// (sample index, phase entered at that sample)
using Changes = std::vector<std::pair<int, int>>;

Changes runFor (Clock& clock, int numSamples, int firstSample = 0)
{
    Changes changes;

    for (int i = 0; i < numSamples; ++i)
        if (clock.processSample())
            changes.emplace_back (firstSample + i, clock.getState());

    return changes;
}

void setUp (Clock& clock, double tempo, double stepsPerBeat = 4.0, double gate = 0.5)
{
    clock.setSampleRate (sampleRate);
    clock.setTempo (tempo);
    clock.setStepsPerBeat (stepsPerBeat);
    clock.setGate (gate);
}

/** A clock started at a position, and the phases it enters, each at its sample. */
struct GridCase
{
    const char* name;
    double tempo, stepsPerBeat, gate, shuffle, start;
    int numSamples;
    Changes expected;
    bool shuffled = true;
};

void PrintTo (const GridCase& c, std::ostream* os) { *os << c.name; }

const GridCase gridCases[] = {
    // A step is 5088.46 samples.
    { "the plain grid over two pairs at 130 BPM", 130.0, 4.0, 0.5, 0.0, 0.0, 20400,
      { { 0, 0 }, { 2545, 1 }, { 5089, 2 }, { 7633, 3 }, { 10177, 0 }, { 12722, 1 }, { 15266, 2 }, { 17810, 3 }, { 20354, 0 } } },
    // Second step at 0.4 beats (8141.54), first gate end 0.2 (4070.77), second gate end 0.45 (9159.23), pair end 0.5 (10176.92).
    { "shuffle delays the second step and shortens its gate while the pair end stays", 130.0, 4.0, 0.5, 0.6, 0.0, 20400,
      { { 0, 0 }, { 4071, 1 }, { 8142, 2 }, { 9160, 3 }, { 10177, 0 }, { 14248, 1 }, { 18319, 2 }, { 19337, 3 }, { 20354, 0 } } },
    { "the shortest gate of the gate parameter", 131.0, 4.0, 0.04, 0.0, 0.0, 20250,
      { { 0, 0 }, { 202, 1 }, { 5050, 2 }, { 5252, 3 }, { 10100, 0 }, { 10302, 1 }, { 15149, 2 }, { 15351, 3 }, { 20199, 0 } } },
    { "the longest gate of the gate parameter", 131.0, 4.0, 0.96, 0.0, 0.0, 20250,
      { { 0, 0 }, { 4848, 1 }, { 5050, 2 }, { 9898, 3 }, { 10100, 0 }, { 14947, 1 }, { 15149, 2 }, { 19997, 3 }, { 20199, 0 } } },
    { "a zero gate still releases every step one sample after it starts", 130.0, 4.0, 0.0, 0.0, 0.0, 10200,
      { { 0, 0 }, { 1, 1 }, { 5089, 2 }, { 5090, 3 }, { 10177, 0 }, { 10178, 1 } } },
    // A step is a sixth of a beat: 3392.31 samples.
    { "six steps per beat", 130.0, 6.0, 0.5, 0.0, 0.0, 6800, { { 0, 0 }, { 1697, 1 }, { 3393, 2 }, { 5089, 3 }, { 6785, 0 } } },
    // Position 0 is reached after 0.10001 * 22050 = 2205.22 samples; the gate ends 0.125 beats later, at 4961.47.
    { "pre-roll waits for position zero", 120.0, 4.0, 0.5, 0.0, -0.10001, 5000, { { 2206, 0 }, { 4962, 1 } } },
    // Inside the second step of the pair 0..0.5: that step begins at once and keeps a whole
    // gate, 0.125 beats (2544.23 samples); the next begins on the grid at 0.5 (4070.77).
    { "a start inside a second step begins it with a whole gate", 130.0, 4.0, 0.5, 0.0, 0.3, 4100,
      { { 0, 2 }, { 2545, 3 }, { 4071, 0 } } },
    // At 0.45 a whole gate would end at 0.575, past the step at 0.5 (1017.69 samples on): the
    // gate ends at the sample before, and that step starts on the grid with its own gate.
    { "a start late in a step ends its gate before the next step, which starts on the grid", 130.0, 4.0, 0.5, 0.0, 0.45, 6200,
      { { 0, 2 }, { 1017, 3 }, { 1018, 0 }, { 3562, 1 }, { 6107, 2 } } },
    // Gate 0.96 from 0.27 would end at 0.51; the step at 0.5 is 4681.38 samples on.
    { "the longest gate from a start inside a step ends before the next step", 130.0, 4.0, 0.96, 0.0, 0.27, 9800,
      { { 0, 2 }, { 4681, 3 }, { 4682, 0 }, { 9567, 1 }, { 9770, 2 } } },
    // 21 ms before the step at 0.5 (926.1 samples): the first step sounds for those 21 ms.
    { "a start a little more than the shortest note before a step begins at once", 130.0, 4.0, 0.5, 0.0, 0.5 - 0.021 * 130.0 / 60.0, 1000,
      { { 0, 2 }, { 926, 3 }, { 927, 0 } } },
    // 19 ms (837.9 samples) and 1 ms (44.1 samples) before it: the start is that step's.
    { "a start less than the shortest note before a step waits for that step", 130.0, 4.0, 0.5, 0.0, 0.5 - 0.019 * 130.0 / 60.0, 3400,
      { { 838, 0 }, { 3383, 1 } } },
    { "a start a millisecond before a step plays it on the grid", 130.0, 4.0, 0.5, 0.0, 0.5 - 0.001 * 130.0 / 60.0, 2600,
      { { 45, 0 }, { 2589, 1 } } },
    // Within 0.005 of a step past its start a start is on the grid (gate end 0.625, 2539.15
    // samples on); at 0.01 it is inside the step and keeps a whole gate (2544.23).
    { "a start just past a step start is on the grid", 130.0, 4.0, 0.5, 0.0, 0.5 + 0.001 * 0.25, 2600, { { 0, 0 }, { 2540, 1 } } },
    { "a start further past a step start keeps a whole gate", 130.0, 4.0, 0.5, 0.0, 0.5 + 0.01 * 0.25, 5100,
      { { 0, 0 }, { 2545, 1 }, { 5038, 2 } } },
    // With shuffle 0.6 the pair 0..0.5 has its second step at 0.4 (1017.69 samples after 0.35)
    // and the first step's gate is 0.2 beats: cut there, the second step keeps its time.
    { "a start late in a shuffled first step lets the second start at its shuffled time", 130.0, 4.0, 0.5, 0.6, 0.35, 3100,
      { { 0, 0 }, { 1017, 1 }, { 1018, 2 }, { 2036, 3 }, { 3054, 0 } } },
    // 9.2 ms before the pair end at 0.5 (407.08 samples): the next pair begins on the grid.
    { "a start late in a shuffled second step waits for the next pair", 130.0, 4.0, 0.5, 0.6, 0.48, 4500,
      { { 408, 0 }, { 4478, 1 } } },
    // With shuffle 0.6 the second step runs 0.4 to 0.5: its gate is 0.05 beats (1017.69 samples).
    { "a start inside a shuffled second step keeps that step's own gate", 130.0, 4.0, 0.5, 0.6, 0.42, 2100,
      { { 0, 2 }, { 1018, 3 }, { 1629, 0 } } },
    { "a plain clock started inside a step keeps a whole gate", 130.0, 4.0, 0.5, 0.0, 0.3, 4100,
      { { 0, 0 }, { 2545, 1 }, { 4071, 0 } }, false },
    { "a plain clock started late in a step ends its gate before the next", 130.0, 4.0, 0.5, 0.0, 0.45, 3600,
      { { 0, 0 }, { 1017, 1 }, { 1018, 0 }, { 3562, 1 } }, false },
    { "a plain clock started a millisecond before a step plays it on the grid", 130.0, 4.0, 0.5, 0.0, 0.5 - 0.001 * 130.0 / 60.0, 2600,
      { { 45, 0 }, { 2589, 1 } }, false },
    { "a plain clock alternates two phases per step", 130.0, 4.0, 0.5, 0.0, 0.0, 10200,
      { { 0, 0 }, { 2545, 1 }, { 5089, 0 }, { 7633, 1 }, { 10177, 0 } }, false },
    { "a plain clock's pre-roll waits for position zero", 120.0, 4.0, 0.5, 0.0, -0.10001, 5000, { { 2206, 0 }, { 4962, 1 } }, false },
};

class ClockGrid : public ::testing::TestWithParam<GridCase>
{
};
} // namespace

// Expected samples are the first sample at or after each boundary's exact time
// (boundary in beats * 44100 * 60 / tempo). Tempos are chosen so that no
// boundary falls on a whole sample.
TEST_P (ClockGrid, EntersEachPhaseAtTheFirstSampleAfterItsBoundary)
{
    const auto& c = GetParam();
    ShuffledClock shuffled;
    Clock plain;
    Clock& clock = c.shuffled ? shuffled : plain;
    setUp (clock, c.tempo, c.stepsPerBeat, c.gate);
    shuffled.setShuffle (c.shuffle);
    clock.start (c.start);

    EXPECT_EQ (runFor (clock, c.numSamples), c.expected);
}

INSTANTIATE_TEST_SUITE_P (Clock, ClockGrid, ::testing::ValuesIn (gridCases));

TEST (ShuffledClock, HostJumpJustPastAPairStartBeginsThatPairAtOnceAndFurtherPastWaitsForTheNext)
{
    // At 8000 samples the clock waits in phase 3 for the pair end; then the host jumps.
    const auto afterAJumpTo = [] (double position)
    {
        ShuffledClock clock;
        setUp (clock, 130.0);
        clock.start (0.0);
        runFor (clock, 8000);
        clock.setPosition (position);
        return runFor (clock, 10200);
    };

    EXPECT_EQ (afterAJumpTo (1.0 + 0.001 * 0.25), (Changes { { 0, 0 }, { 2540, 1 }, { 5084, 2 }, { 7628, 3 }, { 10172, 0 } }));

    // The next pair starts at 1.5 beats: (1.5 - 1.0025) * 20353.85 = 10126.04 samples on.
    EXPECT_EQ (afterAJumpTo (1.0 + 0.01 * 0.25), (Changes { { 10127, 0 } }));
}

TEST (ShuffledClock, AStartedStepKeepsItsGateThroughTheHostsBlockByBlockPositionButNotThroughAJump)
{
    // Started at 0.3, the step's whole gate ends at 0.425 (2544.23 samples on).
    const auto afterMovingTo = [] (double offset, bool fromStart)
    {
        ShuffledClock clock;
        setUp (clock, 130.0);
        clock.start (0.3);
        runFor (clock, 512);
        clock.setPosition (fromStart ? offset : clock.getPosition() + offset);
        return runFor (clock, 2600, 512);
    };

    // The host's own sum of its position differs by a hair.
    EXPECT_EQ (afterMovingTo (1.0e-9, false), (Changes { { 2545, 3 } }));

    // A loop back to the start begins the first pair at once, as any relocation does.
    EXPECT_EQ (afterMovingTo (0.0, true), (Changes { { 512, 3 }, { 513, 0 }, { 3057, 1 } }));
}

TEST (ShuffledClock, AStepBegunInsideItsTimeByAJumpOrAFasterStepRateKeepsTheGrid)
{
    // At 4000 samples (0.1965 beats) the clock rests after the first step's gate.
    const auto afterMoving = [] (const std::function<void (ShuffledClock&)>& move)
    {
        ShuffledClock clock;
        setUp (clock, 130.0);
        clock.start (0.0);
        runFor (clock, 4000);
        move (clock);
        return runFor (clock, 6000);
    };

    // A host jumping to 0.40, past the second step's gate (0.375): that step begins at once;
    // a whole gate would end at 0.525, so it ends before the step at 0.5 (2035.38 samples on).
    EXPECT_EQ (afterMoving ([] (ShuffledClock& c) { c.setPosition (0.40); }),
               (Changes { { 0, 2 }, { 2035, 3 }, { 2036, 0 }, { 4580, 1 } }));

    // Jumping to 0.48, 9.2 ms before that step (407.08 samples), waits for it.
    EXPECT_EQ (afterMoving ([] (ShuffledClock& c) { c.setPosition (0.48); }),
               (Changes { { 408, 0 }, { 2952, 1 }, { 5496, 2 } }));

    // Twice the step rate puts the position past the gate of the second step at 0.125: it
    // begins, its gate cut before the pair's end at 0.25 (1088.54 samples on); then the
    // steps at 0.25 and 0.375 with their own gates of 0.0625 beats.
    EXPECT_EQ (afterMoving ([] (ShuffledClock& c) { c.setStepsPerBeat (8.0); }),
               (Changes { { 0, 2 }, { 1088, 3 }, { 1089, 0 }, { 2361, 1 }, { 3633, 2 }, { 4905, 3 } }));
}

TEST (ShuffledClock, TempoChangeMidPhaseRetimesTheRemainingWait)
{
    ShuffledClock clock;
    setUp (clock, 120.0);
    clock.start (0.0);
    runFor (clock, 1000);

    clock.setTempo (60.0);

    // 0.125 - 1000 / 22050 beats remain, at 44100 samples a beat: 3512.5 samples.
    EXPECT_EQ (runFor (clock, 4000, 1000), (Changes { { 4513, 1 } }));
}

TEST (ShuffledClock, FollowingTheHostPositionEveryBlockKeepsTheGrid)
{
    ShuffledClock free, followed;

    for (auto* clock : { &free, &followed })
    {
        setUp (*clock, 130.0);
        clock->setShuffle (0.6);
        clock->start (0.0);
    }

    const int blockSize = 512;
    Changes followedChanges;

    for (int firstSample = 0; firstSample < 80 * blockSize; firstSample += blockSize)
    {
        followed.setPosition (firstSample * 130.0 / (sampleRate * 60.0));
        const auto changes = runFor (followed, blockSize, firstSample);
        followedChanges.insert (followedChanges.end(), changes.begin(), changes.end());
    }

    EXPECT_EQ (followedChanges, runFor (free, 80 * blockSize));
}

TEST (ShuffledClock, ATempoThatIsNotAFinitePositiveNumberIsRefusedAndKeepsTheTiming)
{
    ShuffledClock clock;
    setUp (clock, 120.0);
    clock.start (0.0);
    runFor (clock, 1000);

    for (auto tempo : { 0.0, -60.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN() })
        clock.setTempo (tempo);

    EXPECT_EQ (clock.getTempo(), 120.0);
    EXPECT_EQ (runFor (clock, 4000, 1000), (Changes { { 2757, 1 } }));
}

TEST (ShuffledClock, WithoutATempoAStartedClockHoldsItsFirstPhase)
{
    ShuffledClock clock;
    clock.start (0.0);

    EXPECT_EQ (runFor (clock, 200000), (Changes { { 0, 0 } }));
}

TEST (ShuffledClock, NearerPreviousStepIsMeasuredWithinTheShuffledPair)
{
    ShuffledClock shuffled;
    shuffled.setShuffle (0.6); // second step of the pair 0..0.5 starts at 0.4
    Clock plain;

    shuffled.setPosition (0.3);
    plain.setPosition (0.3);
    EXPECT_FALSE (shuffled.isNearerPreviousStep()); // 0.3 after the pair start, 0.1 before the second step
    EXPECT_TRUE (plain.isNearerPreviousStep());     // 0.05 after a step start, 0.2 before the next

    shuffled.setPosition (0.42);
    EXPECT_TRUE (shuffled.isNearerPreviousStep());  // 0.02 after the second step, 0.08 before the pair end

    plain.setPosition (0.5);
    EXPECT_FALSE (plain.isNearerPreviousStep());    // at a step start
}

TEST (ShuffledClock, StartsStopsResetsAndRelocatesWhereItIsTold)
{
    ShuffledClock clock;
    setUp (clock, 120.0);
    clock.setGate (1.5);
    clock.setShuffle (-0.2);
    EXPECT_EQ (clock.getGate(), 1.0);
    EXPECT_EQ (clock.getShuffle(), 0.0);
    clock.setGate (0.5);

    // Stopped, it neither advances nor relocates unless asked to start.
    clock.setPosition (0.25);
    EXPECT_FALSE (clock.processSample());
    EXPECT_EQ (clock.getPosition(), 0.25);
    clock.relocate (true, 2.0);
    EXPECT_FALSE (clock.isRunning());

    // A second start does not move it.
    clock.start (0.0);
    runFor (clock, 100);
    clock.start (3.0);
    EXPECT_NEAR (clock.getPosition(), 100.0 / 22050.0, 1.0e-12);

    // A reset begins a new first phase at the next sample.
    runFor (clock, 2900);
    clock.reset();
    EXPECT_TRUE (clock.isRunning());
    EXPECT_EQ (clock.getPosition(), 0.0);
    EXPECT_EQ (runFor (clock, 2800), (Changes { { 0, 0 }, { 2757, 1 } }));

    // Relocating restarts at the new position: a step begins at once and keeps a whole gate,
    // which ends 0.125 beats on, 0.125 * 22050 = 2756.25 samples.
    clock.relocate (false, 0.05);
    EXPECT_EQ (clock.getPosition(), 0.05);
    EXPECT_EQ (runFor (clock, 2800), (Changes { { 0, 0 }, { 2757, 1 } }));

    clock.stop();
    EXPECT_FALSE (clock.isRunning());
    EXPECT_EQ (clock.getPosition(), 0.0);
    EXPECT_EQ (clock.getState(), -1);

    clock.relocate (false, 2.0);
    EXPECT_TRUE (clock.isRunning());
    EXPECT_EQ (clock.getPosition(), 2.0);
}

//==============================================================================
namespace
{
using Log = std::vector<std::string>;

struct RecordingListener : public Clock::Listener
{
    RecordingListener (std::string nameToUse, Log& logToUse) : name (std::move (nameToUse)), log (logToUse) {}

    void clockStartedOrStopped (Clock*) override    { log.push_back (name + " started/stopped"); }
    void clockStateChanged (Clock*) override        { log.push_back (name + " state"); }

    std::string name;
    Log& log;
};

class ClockNotifications : public ::testing::Test
{
protected:
    ClockNotifications()            { setUp (clock, 130.0); }
    ~ClockNotifications() override  { clock.removeListener (&first); clock.removeListener (&second); }

    ShuffledClock clock;
    Log log;
    RecordingListener first { "first", log }, second { "second", log };
};
} // namespace

TEST_F (ClockNotifications, ChangesAreReportedOnTheMessageThreadOnceBetweenTwoUpdatesAndNothingForAReset)
{
    clock.addListener (&first);

    clock.start (0.0);
    runFor (clock, 20400); // nine phase changes
    clock.stop();
    EXPECT_TRUE (log.empty());

    clock.handleUpdateNowIfNeeded();
    EXPECT_EQ (log, (Log { "first started/stopped", "first state" }));

    log.clear();
    clock.start (0.0);
    runFor (clock, 10);
    clock.handleUpdateNowIfNeeded();
    log.clear();

    runFor (clock, 100); // inside the first gate
    clock.handleUpdateNowIfNeeded();
    clock.reset();
    clock.handleUpdateNowIfNeeded();
    EXPECT_TRUE (log.empty());
}

TEST_F (ClockNotifications, ListenersAreHeldOnceCalledLastAddedFirstAndMayRemoveThemselvesWhileCalled)
{
    struct SelfRemovingListener : public RecordingListener
    {
        SelfRemovingListener (Clock& c, Log& l) : RecordingListener ("self", l), clock (c) {}

        void clockStartedOrStopped (Clock* c) override
        {
            RecordingListener::clockStartedOrStopped (c);
            clock.removeListener (this);
        }

        Clock& clock;
    } self (clock, log);

    RecordingListener removed ("removed", log);
    clock.addListener (nullptr);
    clock.addListener (&first);
    clock.addListener (&second);
    clock.addListener (&first);
    clock.addListener (&removed);
    clock.removeListener (&removed);
    clock.addListener (&self);

    clock.start (0.0);
    clock.processSample();
    clock.handleUpdateNowIfNeeded();
    clock.stop();
    clock.handleUpdateNowIfNeeded();

    EXPECT_EQ (log, (Log { "self started/stopped", "second started/stopped", "first started/stopped",
                           "second state", "first state",
                           "second started/stopped", "first started/stopped" }));
}
