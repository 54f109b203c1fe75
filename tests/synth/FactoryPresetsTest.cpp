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
    static std::unique_ptr<juce::XmlElement> resource (const char* name)
    {
        return juce::parseXML (loadBundleResourceAsString (name));
    }

    // Every preset names each preset parameter once, with a value the parameter holds exactly.
    void expectCompleteAndOnTheGrid (const juce::XmlElement& preset)
    {
        const auto presetName = preset.getStringAttribute ("name");
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

TEST_F (FactoryPresetsTest, DefaultPresetBelongsToThePlugInAndSetsEveryPresetParameter)
{
    const auto preset = resource ("default.tqprs");

    ASSERT_NE (preset, nullptr);
    EXPECT_TRUE (presets.isPresetXml (preset.get()));
    expectCompleteAndOnTheGrid (*preset);
}

TEST_F (FactoryPresetsTest, DefaultPresetIsAudibleAndInTune)
{
    ASSERT_TRUE (presets.loadDefaultPresetFromResource ("default.tqprs"));

    const auto& preset = presets.getDefaultPreset();
    EXPECT_GE (preset.getValue (parameters.getIdOf ("Volume")), 0.4f);
    EXPECT_FLOAT_EQ (preset.getValue (parameters.getIdOf ("Tune")), 0.5f);
    EXPECT_FLOAT_EQ (preset.getValue (parameters.getIdOf ("Arp Mode")), 0.0f);
}

TEST_F (FactoryPresetsTest, EveryBankPresetBelongsToThePlugInAndSetsEveryPresetParameter)
{
    const auto bank = resource ("default.tqprsb");
    ASSERT_NE (bank, nullptr);
    ASSERT_TRUE (PresetManager::isPresetBankXml (bank.get()));

    for (const auto* group : bank->getChildIterator())
    {
        ASSERT_TRUE (PresetManager::isPresetGroupXml (group));
        EXPECT_TRUE (group->getStringAttribute ("name").isNotEmpty());

        for (const auto* preset : group->getChildIterator())
        {
            EXPECT_TRUE (presets.isPresetXml (preset)) << preset->getStringAttribute ("name");
            expectCompleteAndOnTheGrid (*preset);
        }
    }
}

TEST_F (FactoryPresetsTest, BankLoadsIntoNamedGroupsOfUniquelyNamedPresets)
{
    ASSERT_TRUE (presets.loadBankFromResource ("default.tqprsb"));

    const auto numGroups = presets.getNumGroups() - 1;
    EXPECT_GE (numGroups, 6);
    EXPECT_EQ (presets.getGroupName (numGroups), "Not used");

    std::set<juce::String> names;
    for (int i = 0; i < presets.getGroupStartIndex (numGroups); ++i)
        EXPECT_TRUE (names.insert (presets.getPresetName (i)).second) << presets.getPresetName (i);

    for (int g = 0; g < numGroups; ++g)
        EXPECT_GT (presets.getNumPresetsInGroup (g), 0) << presets.getGroupName (g).toStdString();
}

TEST_F (FactoryPresetsTest, BankPresetsAreAudible)
{
    ASSERT_TRUE (presets.loadBankFromResource ("default.tqprsb"));
    const auto volume = parameters.getIdOf ("Volume");

    for (int i = 0; i < presets.getGroupStartIndex (presets.getNumGroups() - 1); ++i)
        EXPECT_GE (presets.getPresetSlot (i)->getValue (volume), 0.35f) << presets.getPresetName (i);
}
