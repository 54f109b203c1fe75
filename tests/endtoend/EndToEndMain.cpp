#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

#include <csignal>
#include <cstdlib>

int main (int argc, char** argv)
{
    // A private home and settings folders: the hosted plug-in must neither see an
    // installed copy of itself in ~/.lv2 nor touch the user's real settings.
    // A random name: the test processes run in parallel and must not share settings.
    auto root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("tarvelin-e2e-" + juce::Uuid().toString());
    root.getChildFile ("config").createDirectory();
    root.getChildFile ("data").createDirectory();
    ::setenv ("HOME", root.getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_CONFIG_HOME", root.getChildFile ("config").getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_DATA_HOME", root.getChildFile ("data").getFullPathName().toRawUTF8(), 1);

    // A test process that writes to a socket whose other end has gone dies of
    // SIGPIPE without a word. Under ctest -j around one X server (xvfb-run), the
    // server resets each time its last client leaves and drops the connections
    // still being set up. Caught, the write fails instead, and JUCE opens the
    // display again. A handler, not SIG_IGN, so that the programs the tests
    // start get the default back.
    std::signal (SIGPIPE, [] (int) {});
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const auto result = RUN_ALL_TESTS();
    root.deleteRecursively();
    return result;
}
