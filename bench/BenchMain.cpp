#include <benchmark/benchmark.h>

#include <juce_events/juce_events.h>

#include <cstdlib>

int main (int argc, char** argv)
{
    // The instruments created here must not read or write the user's own settings.
    const juce::TemporaryFile settings;
    settings.getFile().createDirectory();
    ::setenv ("XDG_CONFIG_HOME", settings.getFile().getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_DATA_HOME", settings.getFile().getFullPathName().toRawUTF8(), 1);

    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    ::benchmark::Initialize (&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    settings.getFile().deleteRecursively();
    return 0;
}
