#pragma once

#include "support/SpawnedProcess.h"

#include <juce_graphics/juce_graphics.h>

#include <optional>

/*  Windows and X input on the display ($DISPLAY) through xdotool, for the
    tests that run under Xvfb: X input reaches whatever window lies under the
    pointer, another process's or an embedded plug-in's included.
*/
namespace XDoTool
{
/** The first visible window of a process, waiting for one up to timeoutMs. */
inline std::optional<juce::String> findVisibleWindow (pid_t pid, int timeoutMs, juce::String* failure = nullptr)
{
    // --sync keeps searching until a window turns up; the timeout ends it otherwise.
    const auto result = runTool ({ "xdotool", "search", "--sync", "--onlyvisible", "--pid", juce::String (pid) }, timeoutMs);
    const auto first = juce::StringArray::fromLines (result.output.trim())[0];

    if (result.succeeded && first.isNotEmpty())
        return first;

    if (failure != nullptr)
        *failure = result.failure;

    return std::nullopt;
}

/** A window's bounds on the screen; empty when it cannot be asked. */
inline juce::Rectangle<int> getWindowBounds (const juce::String& window)
{
    const auto result = runTool ({ "xdotool", "getwindowgeometry", "--shell", window }, 10000);
    juce::StringPairArray values;

    for (const auto& line : juce::StringArray::fromLines (result.output))
        values.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));

    if (! result.succeeded)
        return {};

    return { values["X"].getIntValue(), values["Y"].getIntValue(), values["WIDTH"].getIntValue(), values["HEIGHT"].getIntValue() };
}

/** The xdotool command that presses the left button at one screen point,
    moves the pointer to another in steps, and releases it there. */
inline juce::StringArray makeDragCommand (juce::Point<int> from, juce::Point<int> to, int steps = 8)
{
    juce::StringArray command { "xdotool", "mousemove", "--sync", juce::String (from.x), juce::String (from.y), "mousedown", "1" };

    for (int step = 1; step <= steps; ++step)
    {
        const auto point = from + (to - from) * step / steps;
        command.addArray ({ "mousemove", "--sync", juce::String (point.x), juce::String (point.y) });
    }

    command.addArray ({ "mouseup", "1" });
    return command;
}
} // namespace XDoTool
