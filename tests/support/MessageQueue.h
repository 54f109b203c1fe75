#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// JUCE's Linux message loop; MessageManager::runDispatchLoopUntil, which wraps
// it, exists only with modal loops, and the plug-in builds without them.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

/** Delivers every message waiting in the message thread's queue (asynchronous
    updates, timer callbacks), including those posted while it runs, and returns
    without waiting for more. Call it on the message thread only. */
inline void dispatchPendingMessages()
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());

    while (juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}

/** Runs the message loop until the condition holds or timeoutMs have passed;
    answers the condition. For tests with a real display, where the X server,
    a child process or a hosted plug-in decides when things happen: a timer
    wakes the loop often, so the condition is checked even when no message
    arrives. Call it on the message thread only. */
template <typename Condition>
bool runMessageLoopUntil (Condition&& condition, int timeoutMs)
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());

    struct Wake : public juce::Timer
    {
        void timerCallback() override {}
    } wake;

    wake.startTimer (5);
    const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() >= deadline)
            return false;

        juce::dispatchNextMessageOnSystemQueue (false);
    }

    return true;
}
