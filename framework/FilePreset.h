#pragma once

#include "framework/Preset.h"

/**
    A preset record bound to a file and always named after it: the file name
    without its extension is the preset's name, whatever the file says, and no
    name is written into the file.
*/
class FilePreset : public Preset
{
public:
    explicit FilePreset (const juce::File& file);

    /** Binds the preset to the file and takes its name from it. */
    void setFile (const juce::File& newFile);
    const juce::File& getFile() const noexcept { return file; }

    /** Loads its own file, header and values. */
    bool reload (const ParameterManager* manager);

    /** On success the preset is bound to the file; on failure it stays as it was. */
    bool load (const juce::File& fileToLoad, const ParameterManager* manager, bool headerOnly) override;
    bool save (const juce::File& fileToSave, const ParameterManager* manager) override;

    /** Orders two files by their names without extension, as compareNatural does. */
    static int compareFileNames (const juce::File& first, const juce::File& second);

    /** The order of preset names: numbers by value ("Bass 2" before "Bass 10"),
        letters ignoring case, other characters before digits and digits before
        letters. Only the sign of the result counts.

        It is a consistent ordering, so sorts may use it: names that differ only
        in the case of letters or in the leading zeros of numbers compare equal,
        and any other difference, wherever it lies, decides. */
    static int compareNatural (const juce::String& first, const juce::String& second);

private:
    juce::File file;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilePreset)
};
