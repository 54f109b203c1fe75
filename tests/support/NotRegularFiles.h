#pragma once

#include "support/TemporaryFolder.h"

#include <juce_core/juce_core.h>

#include <sys/stat.h>
#include <unistd.h>

/*  Paths that a file, a setting or the user may name and that a reader must
    refuse without reading: opening a pipe waits for a writer that never comes,
    and /dev/zero reads without end.
*/
namespace NotRegularFiles
{
/** A pipe, a link to /dev/zero, /dev/zero itself and a folder, the ones made
    in the folder named with the extension the reader expects. */
inline juce::Array<juce::File> make (const TemporaryFolder& folder, const juce::String& extension)
{
    const auto pipe = folder.get().getChildFile ("pipe" + extension);
    const auto link = folder.get().getChildFile ("zero" + extension);
    const auto subfolder = folder.get().getChildFile ("folder" + extension);

    ::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600);
    juce::File ("/dev/zero").createSymbolicLink (link, true);
    subfolder.createDirectory();

    return { pipe, link, juce::File ("/dev/zero"), subfolder };
}

/** A file of the size that takes no room on the disk: it is all one hole. */
inline juce::File makeSparse (const TemporaryFolder& folder, const juce::String& name, juce::int64 size)
{
    const auto file = folder.write (name, {});
    [[maybe_unused]] const auto result = ::truncate (file.getFullPathName().toRawUTF8(), static_cast<off_t> (size));
    return file;
}
} // namespace NotRegularFiles
