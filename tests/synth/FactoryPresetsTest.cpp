#include "framework/BundleResources.h"
#include "framework/PresetManager.h"
#include "support/PresetTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
constexpr int numPresetParameters = 33;

class FactoryPresetsTest : public ::testing::Test
{
protected:
    // Every preset belongs to the plug-in and names each preset parameter once,
    // with a value the parameter holds exactly.
    void expectCompleteAndOnTheGrid (const juce::XmlElement& preset)
    {
        const auto presetName = preset.getStringAttribute ("name");
        EXPECT_TRUE (presets.isPresetXml (&preset)) << presetName;
        std::set<int> ids;

        for (const auto* param : preset.getChildWithTagNameIterator ("param"))
        {
            const auto name = param->getStringAttribute ("name");
            const auto id = parameters.getIdOf (name);
            ASSERT_TRUE (juce::isPositiveAndBelow (id, numPresetParameters)) << presetName << ": " << name;
            EXPECT_TRUE (ids.insert (id).second) << presetName << ": " << name << " twice";

            const auto value = static_cast<float> (param->getDoubleAttribute ("value", -1.0));
            auto probe = parameters.getParameter (id)->clone (id, name);
            probe->setNormalisedValue (value, false);
            EXPECT_NEAR (probe->getNormalisedValue(), value, 1.0e-6) << presetName << ": " << name;
        }

        EXPECT_EQ (static_cast<int> (ids.size()), numPresetParameters) << presetName;
    }

    TestParameterTable parameters;
    PresetManager presets { parameters, numPresetParameters, 3, [] { return juce::String ("Tarvelin"); } };
};
} // namespace

TEST_F (FactoryPresetsTest, EveryFactoryPresetBelongsToThePlugInAndSetsEveryPresetParameter)
{
    const auto preset = juce::parseXML (loadBundleResourceAsString ("default.tqprs"));
    const auto bank = juce::parseXML (loadBundleResourceAsString ("default.tqprsb"));
    ASSERT_NE (preset, nullptr);
    ASSERT_TRUE (PresetManager::isPresetBankXml (bank.get()));

    expectCompleteAndOnTheGrid (*preset);

    for (const auto* group : bank->getChildIterator())
    {
        ASSERT_TRUE (PresetManager::isPresetGroupXml (group));
        EXPECT_TRUE (group->getStringAttribute ("name").isNotEmpty());

        for (const auto* bankPreset : group->getChildIterator())
            expectCompleteAndOnTheGrid (*bankPreset);
    }
}

TEST_F (FactoryPresetsTest, TheBankLoadsIntoNamedGroupsOfUniquelyNamedAudiblePresetsAndTheDefaultPresetIsInTune)
{
    ASSERT_TRUE (presets.loadBankFromResource ("default.tqprsb"));
    ASSERT_TRUE (presets.loadDefaultPresetFromResource ("default.tqprs"));
    const auto volume = parameters.getIdOf ("Volume");

    const auto numGroups = presets.getNumGroups() - 1;
    EXPECT_GE (numGroups, 6);
    EXPECT_EQ (presets.getGroupName (numGroups), "Not used");

    for (int g = 0; g < numGroups; ++g)
        EXPECT_GT (presets.getNumPresetsInGroup (g), 0) << presets.getGroupName (g);

    std::set<juce::String> names;

    for (int i = 0; i < presets.getGroupStartIndex (numGroups); ++i)
    {
        EXPECT_TRUE (names.insert (presets.getPresetName (i)).second) << presets.getPresetName (i);
        EXPECT_GE (presets.getPresetSlot (i)->getValue (volume), 0.35f) << presets.getPresetName (i);
    }

    const auto& preset = presets.getDefaultPreset();
    EXPECT_GE (preset.getValue (volume), 0.4f);
    EXPECT_FLOAT_EQ (preset.getValue (parameters.getIdOf ("Tune")), 0.5f);
    EXPECT_FLOAT_EQ (preset.getValue (parameters.getIdOf ("Arp Mode")), 0.0f);
}
