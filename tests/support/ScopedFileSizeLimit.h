#pragma once

#include <csignal>
#include <sys/resource.h>

/** Limits the size of any file this process writes, as a full disk would: a
    write past the limit stops short instead of raising SIGXFSZ. Root is bound
    by it too, unlike file permissions. */
struct ScopedFileSizeLimit
{
    explicit ScopedFileSizeLimit (rlim_t bytes)
    {
        getrlimit (RLIMIT_FSIZE, &old);
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        auto limited = old;
        limited.rlim_cur = bytes;
        setrlimit (RLIMIT_FSIZE, &limited);
    }

    ~ScopedFileSizeLimit()
    {
        setrlimit (RLIMIT_FSIZE, &old);
        std::signal (SIGXFSZ, previousHandler);
    }

    ScopedFileSizeLimit (const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator= (const ScopedFileSizeLimit&) = delete;

    rlimit old {};
    void (*previousHandler) (int) = nullptr;
};
