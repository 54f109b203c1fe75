#pragma once

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

#include <memory>

/*  The files stored with the plug-in: parameter and event definitions, factory
    presets, banks, maps and patterns, and skin pictures. They are embedded in
    the binary and found by their file name.
*/

/** Reads a resource by file name. Null when no such resource exists; an empty
    block when it exists but holds nothing. A name without "." has an empty
    extension: "Readme" finds the resource called "Readme", never "Readme.txt".
*/
std::unique_ptr<juce::MemoryBlock> loadBundleResource (const juce::String& fileName);

/** The resource's bytes as UTF-8 text; empty when there is no such resource. */
juce::String loadBundleResourceAsString (const juce::String& fileName);

/** The resource decoded as a picture, shared with every other caller (draw
    into a copy); a null image when it is missing or is no picture. */
juce::Image loadBundleResourceAsImage (const juce::String& fileName);
