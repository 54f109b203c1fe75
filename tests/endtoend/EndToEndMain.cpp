#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

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

    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const auto result = RUN_ALL_TESTS();
    root.deleteRecursively();
    return result;
}
