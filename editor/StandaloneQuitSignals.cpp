#include "editor/StandaloneQuitSignals.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
int signalPipe[2] = { -1, -1 };

// Set by the first signal; the quit it asked for may never come when the message
// thread is blocked or its loop has ended.
std::atomic<bool> quitRequested { false };
static_assert (std::atomic<bool>::is_always_lock_free, "used in a signal handler");

void signalArrived (int signalNumber)
{
    // Only what is safe in a signal handler: an atomic flag, sigaction, raise, one write, errno kept.
    const auto savedErrno = errno;

    if (quitRequested.exchange (true))
    {
        // A second signal while the first is pending ends the process as the
        // signal's default would. The signal stays blocked until this handler
        // returns, and then it ends the process.
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset (&byDefault.sa_mask);
        sigaction (signalNumber, &byDefault, nullptr);
        raise (signalNumber);
        errno = savedErrno;
        return;
    }

    const auto byte = static_cast<char> (signalNumber);
    [[maybe_unused]] const auto written = ::write (signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void quitAsTheCloseButtonDoes (int fd)
{
    char buffer[16];

    while (::read (fd, buffer, sizeof (buffer)) > 0)
    {
    }

    // The Standalone's answer to a desktop's quit request: it saves the plug-in's
    // state as its close button does, closes what is modal and quits.
    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}
} // namespace

void StandaloneQuitSignals::install()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (signalPipe[0] >= 0 || ! juce::JUCEApplicationBase::isStandaloneApp())
        return;

    if (::pipe2 (signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }

    juce::LinuxEventLoop::registerFdCallback (signalPipe[0], quitAsTheCloseButtonDoes);

    struct sigaction action {};
    action.sa_handler = signalArrived;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGTERM, &action, nullptr);
    sigaction (SIGINT, &action, nullptr);
}
