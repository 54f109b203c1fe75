#include "FuzzWatchdog.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int FuzzWatchdog::findTimeOutSeconds (int argc, const char* const* argv)
{
    static constexpr char flag[] = "-timeout=";
    long seconds = 1200;

    for (int i = 1; i < argc; ++i)
    {
        // libFuzzer stops reading its flags there.
        if (std::strcmp (argv[i], "-ignore_remaining_args=1") == 0)
            break;

        if (std::strncmp (argv[i], flag, sizeof (flag) - 1) == 0)
            seconds = std::strtol (argv[i] + sizeof (flag) - 1, nullptr, 10);
    }

    return static_cast<int> (seconds < 0 ? 0 : (seconds > 1000000 ? 1000000 : seconds));
}

FuzzWatchdog::FuzzWatchdog (int limitSeconds)
    : limit (limitSeconds)
{
    if (limit.count() > 0)
        watcher = std::thread ([this] { watch(); });
}

FuzzWatchdog::~FuzzWatchdog()
{
    {
        const std::lock_guard<std::mutex> held (lock);
        stopping = true;
    }

    changed.notify_all();

    if (watcher.joinable())
        watcher.join();
}

void FuzzWatchdog::inputStarted()
{
    if (! watcher.joinable())
        return;

    const std::lock_guard<std::mutex> held (lock);
    ++runNumber;
    running = true;
    startedAt = std::chrono::steady_clock::now();
    fuzzingThread = ::pthread_self();
    changed.notify_all();
}

void FuzzWatchdog::inputEnded()
{
    if (! watcher.joinable())
        return;

    const std::lock_guard<std::mutex> held (lock);
    running = false;
    changed.notify_all();
}

void FuzzWatchdog::watch()
{
    // libFuzzer's timer alarm is for the process; this thread leaves it to the others.
    sigset_t alarm;
    sigemptyset (&alarm);
    sigaddset (&alarm, SIGALRM);
    ::pthread_sigmask (SIG_BLOCK, &alarm, nullptr);

    std::unique_lock<std::mutex> held (lock);

    while (! stopping)
    {
        if (! running)
        {
            changed.wait (held);
            continue;
        }

        const auto run = runNumber;

        // A moment past the limit: libFuzzer started its own count a little
        // earlier, on another clock, and acts only once it shows the limit.
        const auto deadline = startedAt + limit + std::chrono::milliseconds (50);

        if (! changed.wait_until (held, deadline, [this, run] { return hasEnded (run); }))
            stopRun (held, run);
    }
}

void FuzzWatchdog::stopRun (std::unique_lock<std::mutex>& held, std::uint64_t run)
{
    const auto ended = [this, run] { return hasEnded (run); };

    // Without libFuzzer's handler (it installs none under -minimize_crash)
    // SIGALRM would end the process without a report.
    struct sigaction current {};

    if (::sigaction (SIGALRM, nullptr, &current) != 0 || current.sa_handler == SIG_DFL || current.sa_handler == SIG_IGN)
    {
        changed.wait (held, ended);
        return;
    }

    std::fprintf (stderr, "TarvelinFuzzer: the input has run for %lld s, the time-out: stopping it\n",
                  static_cast<long long> (limit.count()));

    // Again each second: libFuzzer lets an alarm pass while its own count,
    // on the system clock, is still short of the limit.
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        ::pthread_kill (fuzzingThread, SIGALRM);

        if (changed.wait_for (held, std::chrono::seconds (1), ended))
            return;
    }

    // The fuzzing thread blocks SIGALRM: libFuzzer's crash handler still
    // keeps the input.
    std::fputs ("TarvelinFuzzer: the fuzzing thread takes no SIGALRM; aborting the input\n", stderr);
    std::abort();
}
