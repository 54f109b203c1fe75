// JUCE's LV2 build step runs a helper that creates the plug-in and writes the
// bundle's metadata from it: the names, defaults and kinds hosts show before
// they ever load it. That metadata must come out the same on every machine,
// and the step must leave the settings of whoever builds alone.

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace
{
/** Sets environment variables for child processes, restoring them afterwards. */
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment (const std::map<juce::String, juce::String>& variables)
    {
        for (const auto& [name, value] : variables)
        {
            saved[name] = juce::SystemStats::getEnvironmentVariable (name, {});
            ::setenv (name.toRawUTF8(), value.toRawUTF8(), 1);
        }
    }

    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved)
            ::setenv (name.toRawUTF8(), value.toRawUTF8(), 1);
    }

private:
    std::map<juce::String, juce::String> saved;
};

juce::File getBuiltBundle()
{
    return juce::File (TARVELIN_LV2_BUNDLE);
}

int countFilesIn (const juce::File& folder)
{
    return folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*");
}
} // namespace

TEST (Lv2Metadata, ComesOutTheSameWhateverTheBuildersSettingsAndLeavesThemAlone)
{
    const auto root = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tarvelin-lv2-metadata", {});
    const auto bundle = root.getChildFile ("Tarvelin.lv2");
    const auto config = root.getChildFile ("config"), data = root.getChildFile ("data"), temporary = root.getChildFile ("tmp");

    for (const auto& folder : { bundle, config, data, temporary })
        ASSERT_TRUE (folder.createDirectory());

    const auto library = bundle.getChildFile ("libTarvelin.so");
    ASSERT_TRUE (getBuiltBundle().getChildFile ("libTarvelin.so").copyFileTo (library));

    // An older settings file that a start would move into the user's folder: it
    // clears the presets (other defaults, another preset name) and loads a map
    // of its own (other names, other kinds).
    const auto hostMap = root.getChildFile ("mine.tqhpmap");
    ASSERT_TRUE (hostMap.replaceWithText ("<HostParametersMap name=\"Tarvelin\"><assign hostParam=\"1\" pluginParam=\"Waveform\"/>"
                                          "<assign hostParam=\"19\" pluginParam=\"Volume\"/></HostParametersMap>"));
    const auto olderSettings = data.getChildFile ("Ulvra Group/Tarvelin/Tarvelin.ini");
    ASSERT_TRUE (olderSettings.getParentDirectory().createDirectory());
    const juce::String settingsText ("<UserSettings application=\"Tarvelin\"><ResourcesSettings><Presets default=\"clearPresets\"/>"
                                     "</ResourcesSettings><HostParametersMap default=\"yes\" file=\"" + hostMap.getFullPathName()
                                     + "\"/></UserSettings>");
    ASSERT_TRUE (olderSettings.replaceWithText (settingsText));

    {
        const ScopedEnvironment environment ({ { "XDG_CONFIG_HOME", config.getFullPathName() },
                                               { "XDG_DATA_HOME", data.getFullPathName() },
                                               { "TMPDIR", temporary.getFullPathName() } });
        juce::ChildProcess helper;
        ASSERT_TRUE (helper.start (juce::StringArray { TARVELIN_LV2_HELPER, library.getFullPathName() }));
        const auto output = helper.readAllProcessOutput();
        ASSERT_TRUE (helper.waitForProcessToFinish (60000));
        ASSERT_EQ (helper.getExitCode(), 0u) << output;
    }

    for (const auto* name : { "manifest.ttl", "dsp.ttl", "ui.ttl" })
        EXPECT_EQ (bundle.getChildFile (name).loadFileAsString(), getBuiltBundle().getChildFile (name).loadFileAsString()) << name;

    EXPECT_EQ (olderSettings.loadFileAsString(), settingsText);
    EXPECT_EQ (countFilesIn (config), 0);
    EXPECT_EQ (countFilesIn (temporary), 0);
    root.deleteRecursively();
}

TEST (Lv2Metadata, NamesTheVersionTheMaintainersAddressAndGivesEverythingAName)
{
    const auto dsp = getBuiltBundle().getChildFile ("dsp.ttl").loadFileAsString();
    const auto manifest = getBuiltBundle().getChildFile ("manifest.ttl").loadFileAsString();

    EXPECT_TRUE (dsp.contains ("doap:revision \"" TARVELIN_VERSION "\""));
    EXPECT_TRUE (dsp.contains ("foaf:mbox <mailto:"));
    EXPECT_TRUE (manifest.contains ("a pset:Preset"));

    for (const auto& text : { dsp, manifest })
    {
        EXPECT_FALSE (text.contains ("rdfs:label \"\""));
        EXPECT_FALSE (text.contains ("lv2:name \"\""));
        EXPECT_FALSE (text.contains ("doap:name \"\""));
    }
}
