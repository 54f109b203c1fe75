#include "framework/BundleResources.h"
#include "synth/Tarvelin.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
/** Points both settings folders at fresh empty folders for one test. */
class EmptySettingsFolders
{
public:
    EmptySettingsFolders()
    {
        root.getFile().createDirectory();
        keep ("XDG_CONFIG_HOME", root.getFile().getChildFile ("config"));
        keep ("XDG_DATA_HOME", root.getFile().getChildFile ("data"));
    }

    ~EmptySettingsFolders()
    {
        for (const auto& [name, value] : previous)
            ::setenv (name.toRawUTF8(), value.toRawUTF8(), 1);

        root.getFile().deleteRecursively();
    }

private:
    void keep (const juce::String& name, const juce::File& folder)
    {
        previous.emplace_back (name, juce::SystemStats::getEnvironmentVariable (name, {}));
        folder.createDirectory();
        ::setenv (name.toRawUTF8(), folder.getFullPathName().toRawUTF8(), 1);
    }

    juce::TemporaryFile root;
    std::vector<std::pair<juce::String, juce::String>> previous;
};

std::unique_ptr<Tarvelin> createThroughThePluginEntry()
{
    return std::unique_ptr<Tarvelin> (dynamic_cast<Tarvelin*> (createPluginFilter()));
}
} // namespace

TEST (TarvelinPresets, FreshInstanceAppliesTheFactoryBanksFirstPreset)
{
    const EmptySettingsFolders folders;
    const auto bank = juce::parseXML (loadBundleResourceAsString ("default.tqprsb"));
    const auto* first = bank->getChildElement (0)->getChildElement (0);

    const auto plugin = createThroughThePluginEntry();

    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 0);
    EXPECT_EQ (plugin->getParameterManager().getText (110001), first->getStringAttribute ("name"));

    for (const auto* param : first->getChildWithTagNameIterator ("param"))
    {
        const auto name = param->getStringAttribute ("name");
        const auto id = plugin->getParameterManager().getIdOf (name);
        EXPECT_NEAR (plugin->getParameterManager().getNormalisedValue (id), param->getDoubleAttribute ("value"), 1.0e-6)
            << name;
    }
}

TEST (TarvelinPresets, PresetsCoverTheFirst33ParametersAndThreeStayOutside)
{
    const EmptySettingsFolders folders;

    const auto plugin = createThroughThePluginEntry();

    EXPECT_EQ (plugin->getNumPresetParameters(), 33);
    EXPECT_EQ (plugin->getNumOtherParameters(), 3);
    EXPECT_EQ (plugin->getPresetSlot (0)->getNumValues(), 33);
}

TEST (TarvelinPresets, ChangingModeIsNotWrittenToTheSettings)
{
    const EmptySettingsFolders folders;
    const auto plugin = createThroughThePluginEntry();

    const auto settings = plugin->createUserSettingsXml();

    EXPECT_FALSE (plugin->isPresetChangingModeSupported());
    EXPECT_TRUE (settings->getChildByName ("PresetSettings")->hasAttribute ("storing"));
    EXPECT_FALSE (settings->getChildByName ("PresetSettings")->hasAttribute ("changing"));
}
