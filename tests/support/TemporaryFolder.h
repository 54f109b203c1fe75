#pragma once

#include <juce_core/juce_core.h>

/** A fresh folder under the system's temporary folder, deleted with everything in it. */
class TemporaryFolder
{
public:
    TemporaryFolder()
        // A random name: test processes run in parallel and would race for a numbered one.
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("tarvelin-test-folder-" + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~TemporaryFolder() { folder.deleteRecursively (false); }

    const juce::File& get() const noexcept { return folder; }

    /** Writes a file below the folder, creating the folders on the way. It is
        written directly, not through a temporary file beside it, so that any
        name the folder allows can be made. */
    juce::File write (const juce::String& relativePath, const juce::String& text) const
    {
        const auto file = folder.getChildFile (relativePath);
        file.getParentDirectory().createDirectory();
        juce::FileOutputStream out (file);

        if (out.openedOk())
        {
            out.setPosition (0);
            out.truncate();
            out.writeText (text, false, false, nullptr);
        }

        return file;
    }

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};
