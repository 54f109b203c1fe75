#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pthread.h>
#include <thread>

/*  The per-input time-out of the libFuzzer executable, made to hold.

    libFuzzer looks at the running input only when its interval timer fires,
    every -timeout/2 + 1 seconds (6 s for 10), and acts only when that SIGALRM
    lands on the fuzzing thread. An input that overruns the limit by less than
    the interval can end between two looks and pass as fine: an 11 s input
    under -timeout=10 ran to the end and the process exited 0.

    The watchdog notes when each input starts and ends. Once one has run for
    the limit it sends SIGALRM to the fuzzing thread itself, and libFuzzer's
    own handler then reports the time-out as it always does: its stack, the
    input kept as "timeout-<sha1>", its time-out exit code.
*/
class FuzzWatchdog
{
public:
    /** libFuzzer's -timeout from its command line (the last one given, 1200
        when there is none); 0 or less turns the time-out off. */
    static int findTimeOutSeconds (int argc, const char* const* argv);

    /** Starts watching with the given limit; none when it is 0 or less. */
    explicit FuzzWatchdog (int limitSeconds);
    ~FuzzWatchdog();

    /** Called on the fuzzing thread as an input starts, and as it ends. */
    void inputStarted();
    void inputEnded();

private:
    void watch();
    void stopRun (std::unique_lock<std::mutex>& held, std::uint64_t run);
    bool hasEnded (std::uint64_t run) const noexcept { return stopping || ! running || runNumber != run; }

    const std::chrono::seconds limit;
    std::mutex lock;
    std::condition_variable changed;
    std::uint64_t runNumber = 0;
    bool running = false;
    bool stopping = false;
    std::chrono::steady_clock::time_point startedAt;
    pthread_t fuzzingThread {};
    std::thread watcher;
};
