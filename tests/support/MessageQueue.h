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
