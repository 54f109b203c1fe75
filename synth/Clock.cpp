#include "synth/Clock.h"

#include <climits>
#include <cmath>

namespace
{
bool isFinitePositive (double value)
{
    return std::isfinite (value) && value > 0.0;
}

// A wait this long is no real wait (a tempo of 0 or nearly so): the clock holds
// its phase and looks again when the countdown runs out.
constexpr int holdCountdown = INT_MAX;
} // namespace

Clock::Clock() = default;

Clock::~Clock()
{
    cancelPendingUpdate();
}

void Clock::setSampleRate (double newSampleRate)
{
    if (isFinitePositive (newSampleRate) && newSampleRate != sampleRate)
    {
        sampleRate = newSampleRate;
        dirty = true;
    }
}

void Clock::setTempo (double newTempo)
{
    if (isFinitePositive (newTempo) && newTempo != tempo)
    {
        tempo = newTempo;
        dirty = true;
    }
}

void Clock::setStepsPerBeat (double newStepsPerBeat)
{
    if (isFinitePositive (newStepsPerBeat) && newStepsPerBeat != stepsPerBeat)
    {
        stepsPerBeat = newStepsPerBeat;
        dirty = true;
    }
}

void Clock::setGate (double newGate)
{
    if (! std::isfinite (newGate))
        return;

    newGate = juce::jlimit (0.0, 1.0, newGate);

    if (newGate != gate)
    {
        gate = newGate;
        dirty = true;
    }
}

void Clock::setPosition (double newPosition)
{
    if (std::isfinite (newPosition) && newPosition != position)
    {
        // A host reports its position every block, a hair from the clock's own sum;
        // a real move (a jump, a loop) ends the started step's own gate.
        if (std::abs (newPosition - position) > startTolerance / stepsPerBeat)
            startedGateEnd = -1.0;

        position = newPosition;
        dirty = true;
    }
}

double Clock::getBeatsPerSample (double sampleRate, double tempo)
{
    return tempo / (sampleRate * 60.0);
}

void Clock::start (double startPosition)
{
    if (isRunning())
        return;

    position = 0.0;
    state = -1;
    running.store (true, std::memory_order_relaxed);
    dirty = true;
    notifyStartOrStop();
    setPosition (startPosition);
}

void Clock::stop()
{
    if (! isRunning())
        return;

    position = 0.0;
    state = -1;
    running.store (false, std::memory_order_relaxed);
    dirty = true;
    notifyStartOrStop();
}

void Clock::reset()
{
    position = 0.0;
    state = -1;
    dirty = true;
}

void Clock::relocate (bool onlyIfRunning, double newPosition)
{
    if (onlyIfRunning && ! isRunning())
        return;

    running.store (false, std::memory_order_relaxed);
    start (newPosition);
}

void Clock::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void Clock::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void Clock::handleAsyncUpdate()
{
    // A listener may remove itself while being called: index from the end and
    // re-check the bounds each time.
    if (startStopPending.exchange (0) == 1)
        for (int i = listeners.size(); --i >= 0;)
            if (auto* listener = listeners[i])
                listener->clockStartedOrStopped (this);

    if (stateChangePending.exchange (0) == 1)
        for (int i = listeners.size(); --i >= 0;)
            if (auto* listener = listeners[i])
                listener->clockStateChanged (this);
}

bool Clock::isFirstPhase() const
{
    return state == 0;
}

bool Clock::isSecondPhase() const
{
    return state == 1;
}

bool Clock::isNearerPreviousStep() const
{
    const auto p = position * stepsPerBeat;
    const auto c = std::ceil (p);
    return (c - p) > (p - (c - 1.0));
}

bool Clock::processSampleWithTiming()
{
    if (dirty)
    {
        dirty = false;
        recomputeTiming();
    }

    return advanceOneSample();
}

void Clock::recomputeTiming() noexcept
{
    beatsPerSample = getBeatsPerSample (sampleRate, tempo);
    const auto samplesPerBeat = sampleRate * 60.0 / tempo;
    const auto stepLength = 1.0 / stepsPerBeat;
    const auto nextStart = std::ceil (position / stepLength) * stepLength;
    const auto stepStart = nextStart - stepLength;
    const auto gateEnd = stepStart + gate * stepLength;

    if (position < 0.0)
    {
        // Pre-roll: wait, sample by sample, for the position to reach 0.
        nextState = 0;
        countdown = state = -1;
        return;
    }

    if (state == -1)
    {
        // The step whose time the start lies in begins.
        const auto startedStep = std::floor (position / stepLength) * stepLength;
        beginStepInside (0, startedStep, startedStep + stepLength, 0, samplesPerBeat);
        return;
    }

    if (planBegunGateEnd (1, samplesPerBeat))
        return;

    if (position <= gateEnd)
    {
        if (state == 0)
            changeAt (1, gateEnd, samplesPerBeat);
        else if (position <= stepStart + startTolerance * stepLength)
            changeNow (0);
        else
            changeAt (0, nextStart, samplesPerBeat);
    }
    else
    {
        if (state == 1)
            changeAt (0, nextStart, samplesPerBeat);
        else if (position > nextStart - startTolerance * stepLength)
            changeAt (1, nextStart + gate * stepLength, samplesPerBeat);
        else
            changeNow (1);
    }
}

void Clock::beginStepInside (int phase, double stepStart, double nextStart, int nextPhase, double samplesPerBeat) noexcept
{
    const auto tolerance = startTolerance / stepsPerBeat;
    startedGateEnd = startedStepEnd = -1.0;

    if (position <= stepStart + tolerance)
    {
        changeNow (phase);
        return;
    }

    // Too near the next step for a note of its own: the start is that step's.
    if (nextStart - position < std::max (shortestBegunNote * tempo / 60.0, tolerance))
    {
        changeAt (nextPhase, nextStart, samplesPerBeat);
        return;
    }

    // A whole gate from where it begins, as long as any other step's, unless the
    // next step on the grid comes first.
    startedGateEnd = position + gate * (nextStart - stepStart);
    startedStepEnd = nextStart;
    changeNow (phase);
}

bool Clock::planBegunGateEnd (int restPhase, double samplesPerBeat) noexcept
{
    if (startedGateEnd < 0.0)
        return false;

    if (! isFirstPhase())
    {
        startedGateEnd = startedStepEnd = -1.0;
        return false;
    }

    changeAt (restPhase, startedGateEnd, samplesPerBeat);

    // Cut at the sample before the next step's, so that the next step starts at its own.
    const auto beforeNextStep = std::ceil (samplesPerBeat * (startedStepEnd - position)) - 1.0;

    if (nextState == restPhase && beforeNextStep < (double) countdown)
        countdown = (int) std::max (0.0, beforeNextStep);

    return true;
}

void Clock::changeNow (int newState) noexcept
{
    nextState = newState;
    countdown = 0;
}

void Clock::changeAt (int newState, double target, double samplesPerBeat) noexcept
{
    if (target <= position)
    {
        changeNow (newState);
        return;
    }

    // An unset tempo (an infinite wait) and waits beyond any countdown hold the phase.
    const auto wait = std::ceil (samplesPerBeat * (target - position));

    if (! (wait < (double) holdCountdown))
    {
        nextState = state;
        countdown = holdCountdown;
        return;
    }

    nextState = newState;
    countdown = (int) wait;
}

bool Clock::advanceOneSample() noexcept
{
    auto changed = false;

    if (countdown == 0 && (state != nextState || state == -1))
    {
        state = nextState;
        stateChangePending.exchange (1);
        triggerAsyncUpdate();
        changed = true;
    }

    const auto expired = countdown < 1;
    --countdown;
    position += beatsPerSample;

    if (expired)
        dirty = true;

    return changed;
}

void Clock::notifyStartOrStop()
{
    startStopPending.exchange (1);
    triggerAsyncUpdate();
}
