#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

#include <cstdlib>

namespace
{
// Points the settings folders at a fresh temporary folder so that no test
// can read or write the user's real settings.
void useTemporarySettingsFolders()
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
}
} // namespace

int main (int argc, char** argv)
{
    useTemporarySettingsFolders();
    ::testing::InitGoogleTest (&argc, argv);

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
