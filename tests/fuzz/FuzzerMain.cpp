// The libFuzzer entry for every fuzz target: TARVELIN_FUZZ_TARGET in the
// environment names the one to run, e.g.
//   TARVELIN_FUZZ_TARGET=pattern TarvelinFuzzer -max_total_time=20 corpus/ tests/fuzz/corpus/pattern

#include "FuzzWatchdog.h"
#include "targets/FuzzSupport.h"
#include "targets/FuzzTargets.h"
#include "widgets/InterfaceTypefaces.h"

#include <juce_events/juce_events.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{
const FuzzTargets::Target* chosenTarget = nullptr;
FuzzWatchdog* watchdog = nullptr;

/** Test-only: sleeps as many seconds as the input's text gives (at most 600),
    so that a run can show an input past -timeout stopped and reported. It
    reads nothing else and is not one of the targets the fuzz step runs. */
juce::String runSlowInput (const std::uint8_t* data, std::size_t size)
{
    const auto seconds = juce::jlimit (0, 600, FuzzSupport::textFrom (data, size).trim().getIntValue());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (seconds);

    while (std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));

    return {};
}

const FuzzTargets::Target slowInputTarget { "slowinput", runSlowInput };

/** Settings folders of this process's own, so that no run reads or writes
    the user's real settings; gone when the fuzzer ends. */
struct TemporarySettingsFolders
{
    TemporarySettingsFolders()
    {
        root.getChildFile ("config").createDirectory();
        root.getChildFile ("data").createDirectory();
        ::setenv ("XDG_CONFIG_HOME", root.getChildFile ("config").getFullPathName().toRawUTF8(), 1);
        ::setenv ("XDG_DATA_HOME", root.getChildFile ("data").getFullPathName().toRawUTF8(), 1);
    }

    ~TemporarySettingsFolders() { root.deleteRecursively(); }

    const juce::File root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getChildFile ("tarvelin-fuzz-settings-" + juce::Uuid().toString());
};
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    static const TemporarySettingsFolders settingsFolders;

    // The message thread of a host: the instrument's asynchronous updates are
    // delivered between runs.
    juce::initialiseJuce_GUI();

    // The interface font mapping lives as long as the process, as in a host
    // with an instance open: otherwise every run's editor loads the faces anew.
    static const auto* const interfaceTypefaces = new juce::SharedResourcePointer<InterfaceTypefaces>();
    juce::ignoreUnused (interfaceTypefaces);

    const auto* name = std::getenv ("TARVELIN_FUZZ_TARGET");
    const juce::String chosenName (name != nullptr ? name : "");
    chosenTarget = chosenName == slowInputTarget.name ? &slowInputTarget : FuzzTargets::find (chosenName);

    if (chosenTarget == nullptr)
    {
        std::fputs ("TARVELIN_FUZZ_TARGET must name one of:", stderr);

        for (const auto& target : FuzzTargets::getAll())
            std::fprintf (stderr, " %s", target.name);

        std::fputs ("\n", stderr);
        std::exit (2);
    }

    static FuzzWatchdog timeOut (FuzzWatchdog::findTimeOutSeconds (*argc, *argv));
    watchdog = &timeOut;

    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    watchdog->inputStarted();

    const auto findings = chosenTarget->run (data, size);

    // What the run left for the message thread goes before the next run.
    FuzzSupport::deliverPendingMessages();

    watchdog->inputEnded();

    // A broken check is a crash to libFuzzer, so the input is kept.
    if (findings.isNotEmpty())
    {
        std::fprintf (stderr, "%s: %s", chosenTarget->name, findings.toRawUTF8());
        std::abort();
    }

    return 0;
}
