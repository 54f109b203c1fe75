#include "synth/ShuffledClock.h"

#include <cmath>

ShuffledClock::ShuffledClock() = default;
ShuffledClock::~ShuffledClock() = default;

void ShuffledClock::setShuffle (double newShuffle)
{
    if (! std::isfinite (newShuffle))
        return;

    newShuffle = juce::jlimit (0.0, 1.0, newShuffle);

    if (newShuffle != shuffle)
    {
        shuffle = newShuffle;
        dirty = true;
    }
}

bool ShuffledClock::isFirstPhase() const
{
    return state == 0 || state == 2;
}

bool ShuffledClock::isSecondPhase() const
{
    return state == 1 || state == 3;
}

bool ShuffledClock::isNearerPreviousStep() const
{
    const auto t = getPairTiming (position);

    if (position <= t.secondStart)
        return (t.secondStart - position) > (position - t.pairStart);

    return (t.pairEnd - position) > (position - t.secondStart);
}

ShuffledClock::PairTiming ShuffledClock::getPairTiming (double at) const noexcept
{
    const auto stepLength = 1.0 / stepsPerBeat;
    const auto pairLength = 2.0 * stepLength;

    PairTiming t;
    t.pairEnd = std::ceil (at / pairLength) * pairLength;
    t.pairStart = t.pairEnd - pairLength;
    t.secondStart = t.pairStart + stepLength * (1.0 + shuffle);
    t.firstGateEnd = t.pairStart + (t.secondStart - t.pairStart) * gate;
    t.secondGateEnd = t.secondStart + (t.pairEnd - t.secondStart) * gate;
    return t;
}

void ShuffledClock::recomputeTiming() noexcept
{
    beatsPerSample = getBeatsPerSample (sampleRate, tempo);
    const auto samplesPerBeat = sampleRate * 60.0 / tempo;
    const auto stepLength = 1.0 / stepsPerBeat;
    const auto t = getPairTiming (position);

    if (position < 0.0 && state == -1)
    {
        // Pre-roll: wait, sample by sample, for the position to reach 0.
        nextState = 0;
        countdown = state = -1;
        return;
    }

    if (state == -1)
    {
        // The step whose time the start lies in begins: the pair's first or second one.
        const auto pairLength = 2.0 * stepLength;
        const auto pairStart = std::floor (position / pairLength) * pairLength;
        const auto secondStart = pairStart + stepLength * (1.0 + shuffle);

        if (position < secondStart)
            beginStepInside (0, pairStart, secondStart, 2, samplesPerBeat);
        else
            beginStepInside (2, secondStart, pairStart + pairLength, 0, samplesPerBeat);

        return;
    }

    // The rest after a begun step's gate is the one before the next step start on the grid.
    if (planBegunGateEnd (state == 2 ? 3 : 1, samplesPerBeat))
        return;

    // Just past the pair's start (e.g. after the host moved the position) the
    // pair's first step begins at once instead of being skipped.
    const auto nearPairStart = position <= t.pairStart + startTolerance * stepLength;
    const auto inFirstStep = position <= t.secondStart;
    const auto withinGate = position <= (inFirstStep ? t.firstGateEnd : t.secondGateEnd);

    switch (state)
    {
        case 0:
            if (inFirstStep && withinGate)
                changeAt (1, t.firstGateEnd, samplesPerBeat);
            else if (! inFirstStep && ! withinGate && position > t.pairEnd - startTolerance * stepLength)
                changeAt (1, t.pairEnd + (t.firstGateEnd - t.pairStart), samplesPerBeat); // already the next pair's step
            else
                changeNow (1);
            break;

        case 1:
            if (inFirstStep)
            {
                changeAt (2, t.secondStart, samplesPerBeat);
            }
            else
            {
                // Moved past the second step's start (a host's jump, a faster step
                // rate): it begins there as at a start, neither a sliver nor running
                // past the pair's end.
                beginStepInside (2, t.secondStart, t.pairEnd, 0, samplesPerBeat);
            }
            break;

        case 2:
            if (inFirstStep)
            {
                if (nearPairStart)
                    changeNow (3);
                else
                    changeAt (3, t.secondGateEnd, samplesPerBeat);
            }
            else if (withinGate)
            {
                changeAt (3, t.secondGateEnd, samplesPerBeat);
            }
            else
            {
                changeNow (3);
            }
            break;

        case 3:
        default:
            if (inFirstStep && nearPairStart)
                changeNow (0);
            else
                changeAt (0, t.pairEnd, samplesPerBeat);
            break;
    }
}
