#include <gtest/gtest.h>

#include "widgets/InterfaceTypefaces.h"

#include <juce_events/juce_events.h>

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
