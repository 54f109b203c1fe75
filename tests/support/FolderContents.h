#pragma once

#include <juce_core/juce_core.h>

/** Every entry below the folder, hidden ones included, with each file's bytes,
    one line each in name order: equal before and after a failed write when it
    left everything byte for byte. */
inline juce::StringArray describeFolderContents (const juce::File& folder)
{
    juce::StringArray entries;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
    {
        const auto& file = entry.getFile();
        juce::MemoryBlock bytes;

        if (! entry.isDirectory())
            file.loadFileAsData (bytes);

        entries.add (file.getRelativePathFrom (folder) + " " + juce::String::toHexString (bytes.getData(), (int) bytes.getSize(), 0));
    }

    entries.sort (false);
    return entries;
}
