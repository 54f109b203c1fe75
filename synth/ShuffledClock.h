#pragma once

#include "synth/Clock.h"

/*  The step clock the instrument runs: steps go in pairs, and the second step
    of every pair starts late by the shuffle amount while the pair's end stays
    on the beat grid. Each step's gate is the gate fraction of that step's own
    (shuffled) length.

    Its phases run 0, 1, 2, 3: the first step's gate, the first step's rest,
    the second step's gate, the second step's rest.
*/
class ShuffledClock : public Clock
{
public:
    ShuffledClock();
    ~ShuffledClock() override;

    /** The delay of every second step as a fraction of a step, limited to 0..1. */
    void setShuffle (double newShuffle);
    double getShuffle() const noexcept          { return shuffle; }

    bool isFirstPhase() const override;
    bool isSecondPhase() const override;

    /** Measured within the pair: from the first step to the pair's start and to
        the second step's start; from the second step to its start and to the
        pair's end.
    */
    bool isNearerPreviousStep() const override;


private:
    struct PairTiming
    {
        double pairStart, secondStart, pairEnd, firstGateEnd, secondGateEnd;
    };

    PairTiming getPairTiming (double at) const noexcept;
    void recomputeTiming() noexcept override;

    double shuffle = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShuffledClock)
};
