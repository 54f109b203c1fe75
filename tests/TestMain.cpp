#include <gtest/gtest.h>

#include "widgets/InterfaceTypefaces.h"

#include <juce_events/juce_events.h>

#include <csignal>
#include <cstdlib>

namespace
{
// Points the settings folders at a fresh temporary folder so that no test
// can read or write the user's real settings.
juce::File useTemporarySettingsFolders()
{
    // ctest runs test processes in parallel: each needs folders of its own.
    auto root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("tarvelin-tests-" + juce::Uuid().toString());
    root.createDirectory();
    const auto config = root.getChildFile ("config");
    const auto data = root.getChildFile ("data");
    config.createDirectory();
    data.createDirectory();
    ::setenv ("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_DATA_HOME", data.getFullPathName().toRawUTF8(), 1);
    return root;
}
} // namespace

int main (int argc, char** argv)
{
    // A test process that writes to a socket whose other end has gone dies of
    // SIGPIPE without a word. Under ctest -j around one X server (xvfb-run), the
    // server resets each time its last client leaves and drops the connections
    // still being set up. Caught, the write fails instead, and JUCE opens the
    // display again. A handler, not SIG_IGN, so that the programs the tests
    // start get the default back.
    std::signal (SIGPIPE, [] (int) {});
    const auto root = useTemporarySettingsFolders();
    ::testing::InitGoogleTest (&argc, argv);

    auto result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInitialiser;

        // The interface font mapping, installed before any font is measured, as the editor does.
        juce::SharedResourcePointer<InterfaceTypefaces> interfaceTypefaces;
        result = RUN_ALL_TESTS();
    }

    // Every test process leaves its folders behind otherwise.
    root.deleteRecursively();
    return result;
}
