// What each crafted input of tests/fuzz/make-hostile-*.py costs its reader in
// the optimised build: the time and the peak memory of reading (or refusing)
// it through the fuzz target named by its folder. A state block is also
// restored into a fresh instrument whose state is then saved again, timed
// apart: hosts save a project's state over and over after restoring it.
//
// Each input runs in a process of its own, started afresh, so that its peak
// memory is its own (getrusage of the finished child) and an input that runs
// away is stopped at a time-out and a memory cap without taking the run with it:
//   TARVELIN_HOSTILE_TIMEOUT     seconds before a child is killed (120)
//   TARVELIN_HOSTILE_MEMORY_MB   its address-space limit (4096)
//   TARVELIN_HOSTILE_INPUTS      the inputs' folder (the build's hostile-inputs)
// Every input should be read or refused within 0.5 s and 256 MB.

#include "fuzz/targets/FuzzSupport.h"
#include "fuzz/targets/FuzzTargets.h"
#include "synth/Tarvelin.h"
#include "widgets/InterfaceTypefaces.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr double budgetSeconds = 0.5;
constexpr double budgetMegabytes = 256.0;

double environmentNumber (const char* name, double fallback)
{
    const auto* text = std::getenv (name);
    return text != nullptr && std::atof (text) > 0.0 ? std::atof (text) : fallback;
}

double secondsSince (std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
}

//==============================================================================
// The child: one input through its target, the figures on standard output.

/** The process's peak resident size so far, in KiB (VmHWM). */
long peakResidentKiB()
{
    const auto status = juce::File ("/proc/self/status").loadFileAsString();
    return status.fromFirstOccurrenceOf ("VmHWM:", false, false).trim().getLargeIntValue();
}

int runOneInput (const juce::String& targetName, const juce::File& inputFile)
{
    const auto* target = FuzzTargets::find (targetName);
    juce::MemoryBlock input;

    if (target == nullptr || ! inputFile.loadFileAsData (input))
        return 2;

    const juce::TemporaryFile settings;
    settings.getFile().getChildFile ("config").createDirectory();
    settings.getFile().getChildFile ("data").createDirectory();
    ::setenv ("XDG_CONFIG_HOME", settings.getFile().getChildFile ("config").getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_DATA_HOME", settings.getFile().getChildFile ("data").getFullPathName().toRawUTF8(), 1);

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::SharedResourcePointer<InterfaceTypefaces> typefaces;

    const auto* data = static_cast<const std::uint8_t*> (input.getData());
    const auto baseline = peakResidentKiB();
    const auto start = std::chrono::steady_clock::now();
    const auto findings = target->run (data, input.getSize());
    FuzzSupport::deliverPendingMessages();
    std::printf ("seconds %.6f\nbaseline_kib %ld\nfindings %d\n", secondsSince (start), baseline, findings.isNotEmpty() ? 1 : 0);
    std::fflush (stdout);

    if (targetName == "state")
    {
        std::unique_ptr<juce::AudioProcessor> instrument (createPluginFilter());
        instrument->setRateAndBufferSizeDetails (44100.0, 256);
        instrument->prepareToPlay (44100.0, 256);

        const auto loadStart = std::chrono::steady_clock::now();
        instrument->setStateInformation (input.getData(), static_cast<int> (input.getSize()));
        const auto loadSeconds = secondsSince (loadStart);

        juce::MemoryBlock saved;
        const auto saveStart = std::chrono::steady_clock::now();
        instrument->getStateInformation (saved);
        const auto saveSeconds = secondsSince (saveStart);

        std::printf ("load_seconds %.6f\nsave_seconds %.6f\nsaved_bytes %zu\n", loadSeconds, saveSeconds, saved.getSize());
        instrument.reset();
        FuzzSupport::deliverPendingMessages();
    }

    settings.getFile().deleteRecursively();
    return 0;
}

//==============================================================================
// The parent: a child per input, watched.

struct ChildResult
{
    std::map<std::string, double> figures;
    double peakMegabytes = 0.0;
    double wallSeconds = 0.0;
    juce::String outcome;
};

ChildResult runChild (const juce::String& target, const juce::File& input)
{
    const auto timeout = environmentNumber ("TARVELIN_HOSTILE_TIMEOUT", 120.0);
    const auto memoryCap = environmentNumber ("TARVELIN_HOSTILE_MEMORY_MB", 4096.0);
    ChildResult result;

    int channel[2];

    if (::pipe (channel) != 0)
    {
        result.outcome = "no pipe";
        return result;
    }

    const auto start = std::chrono::steady_clock::now();
    const auto child = ::fork();

    if (child == 0)
    {
        ::dup2 (channel[1], STDOUT_FILENO);
        ::close (channel[0]);
        ::close (channel[1]);

        const auto bytes = static_cast<rlim_t> (memoryCap * 1024.0 * 1024.0);
        const rlimit limit { bytes, bytes };
        ::setrlimit (RLIMIT_AS, &limit);

        const auto targetText = target.toStdString();
        const auto path = input.getFullPathName().toStdString();
        ::execl ("/proc/self/exe", "TarvelinHostileBench", "--run-one", targetText.c_str(), path.c_str(), nullptr);
        ::_exit (127);
    }

    ::close (channel[1]);
    std::string output;
    auto timedOut = false;

    for (char buffer[512];;)
    {
        const auto left = timeout - secondsSince (start);

        if (left <= 0.0)
        {
            timedOut = true;
            ::kill (child, SIGKILL);
            break;
        }

        pollfd watched { channel[0], POLLIN, 0 };

        if (::poll (&watched, 1, static_cast<int> (left * 1000.0) + 1) <= 0)
            continue;

        const auto count = ::read (channel[0], buffer, sizeof (buffer));

        if (count <= 0)
            break;

        output.append (buffer, static_cast<size_t> (count));
    }

    ::close (channel[0]);

    int status = 0;
    rusage usage {};
    ::wait4 (child, &status, 0, &usage);
    result.wallSeconds = secondsSince (start);
    result.peakMegabytes = static_cast<double> (usage.ru_maxrss) / 1024.0;

    for (const auto& line : juce::StringArray::fromLines (output))
        if (line.containsChar (' '))
            result.figures[line.upToFirstOccurrenceOf (" ", false, false).toStdString()] =
                line.fromFirstOccurrenceOf (" ", false, false).getDoubleValue();

    if (timedOut)
        result.outcome = "over " + juce::String (timeout, 0) + " s: stopped";
    else if (WIFSIGNALED (status))
        result.outcome = "killed by signal " + juce::String (WTERMSIG (status)) + " (memory cap or crash)";
    else if (WEXITSTATUS (status) != 0)
        result.outcome = "failed (exit " + juce::String (WEXITSTATUS (status)) + ")";
    else if (result.figures["findings"] != 0.0)
        result.outcome = "read, with findings";
    else
        result.outcome = "read or refused";

    return result;
}

void registerInput (const juce::String& kind, const juce::String& target, const juce::File& input)
{
    const auto name = kind + "/" + target + "/" + input.getFileName();

    benchmark::RegisterBenchmark (name.toRawUTF8(), [target, input] (benchmark::State& state)
    {
        for (auto _ : state)
        {
            auto result = runChild (target, input);
            const auto complete = result.figures.count ("seconds") != 0;
            const auto seconds = complete ? result.figures["seconds"] : result.wallSeconds;
            state.SetIterationTime (seconds);

            state.counters["peak_MB"] = result.peakMegabytes;
            state.counters["baseline_MB"] = result.figures["baseline_kib"] / 1024.0;
            state.counters["input_KiB"] = static_cast<double> (input.getSize()) / 1024.0;

            if (result.figures.count ("save_seconds") != 0)
            {
                state.counters["load_s"] = result.figures["load_seconds"];
                state.counters["save_s"] = result.figures["save_seconds"];
            }

            const auto slowest = juce::jmax (seconds, result.figures["load_seconds"], result.figures["save_seconds"]);
            const auto withinBudget = complete && result.outcome == "read or refused" && slowest <= budgetSeconds
                                      && result.peakMegabytes <= budgetMegabytes;
            state.SetLabel ((result.outcome + (withinBudget ? "" : "; OVER BUDGET")).toStdString());
        }
    })
        ->Iterations (1)
        ->UseManualTime()
        ->Unit (benchmark::kMillisecond);
}

juce::File inputsFolder()
{
    const auto* chosen = std::getenv ("TARVELIN_HOSTILE_INPUTS");
    return juce::File (chosen != nullptr ? juce::String (chosen) : juce::String (TARVELIN_HOSTILE_FOLDER));
}
} // namespace

int main (int argc, char** argv)
{
    if (argc == 4 && std::strcmp (argv[1], "--run-one") == 0)
        return runOneInput (argv[2], juce::File (argv[3]));

    auto targetFolders = inputsFolder().findChildFiles (juce::File::findDirectories, false);
    targetFolders.sort();

    for (const auto& targetFolder : targetFolders)
    {
        const auto target = targetFolder.getFileName();

        if (FuzzTargets::find (target) == nullptr)
            continue;

        // What the target costs on a plain input of its kind, for comparison: the smallest seed.
        auto seeds = juce::File (TARVELIN_FUZZ_FOLDER).getChildFile ("corpus").getChildFile (target)
                         .findChildFiles (juce::File::findFiles, false);
        std::sort (seeds.begin(), seeds.end(), [] (const juce::File& a, const juce::File& b) { return a.getSize() < b.getSize(); });

        if (! seeds.isEmpty())
            registerInput ("seed", target, seeds.getFirst());

        auto inputs = targetFolder.findChildFiles (juce::File::findFiles, false);
        inputs.sort();

        for (const auto& input : inputs)
            registerInput ("hostile", target, input);
    }

    ::benchmark::Initialize (&argc, argv);

    if (::benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
