#pragma once

#include <juce_core/juce_core.h>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

/** Makes a folder read-only for the calling thread, as a write-protected folder
    or medium would: nothing can be made, renamed or removed in it. The folder
    loses its write bits; and since the tests may run as root, whom modes do not
    stop, the thread also gives up overriding them (capabilities are a thread's
    own) until this goes, when both come back. */
class ScopedReadOnlyFolder
{
public:
    explicit ScopedReadOnlyFolder (const juce::File& folderToProtect)
        : path (folderToProtect.getFullPathName())
    {
        struct stat status {};

        if (::stat (path.toRawUTF8(), &status) == 0)
        {
            oldMode = status.st_mode & 07777;
            ::chmod (path.toRawUTF8(), oldMode & ~static_cast<mode_t> (0222));
        }

        header.version = _LINUX_CAPABILITY_VERSION_3;
        header.pid = 0;

        if (::syscall (SYS_capget, &header, saved) == 0)
        {
            __user_cap_data_struct reduced[2] = { saved[0], saved[1] };
            reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
            capabilitiesChanged = ::syscall (SYS_capset, &header, reduced) == 0;
        }
    }

    ~ScopedReadOnlyFolder()
    {
        if (capabilitiesChanged)
            ::syscall (SYS_capset, &header, saved);

        ::chmod (path.toRawUTF8(), oldMode);
    }

    /** True when a file cannot be made in the folder now. */
    bool isInForce() const
    {
        const auto probe = juce::File (path).getChildFile ("write-probe");
        const auto made = probe.create().wasOk();
        probe.deleteFile();
        return ! made;
    }

    ScopedReadOnlyFolder (const ScopedReadOnlyFolder&) = delete;
    ScopedReadOnlyFolder& operator= (const ScopedReadOnlyFolder&) = delete;

private:
    juce::String path;
    mode_t oldMode = 0755;
    __user_cap_header_struct header {};
    __user_cap_data_struct saved[2] {};
    bool capabilitiesChanged = false;
};
