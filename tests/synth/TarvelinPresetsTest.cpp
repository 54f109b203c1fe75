#include "framework/BundleResources.h"
#include "support/InstrumentTestSupport.h"

using InstrumentTest::createInstrument;

TEST (TarvelinPresets, FreshInstanceAppliesTheFactoryBanksFirstPreset)
{
    const auto bank = juce::parseXML (loadBundleResourceAsString ("default.tqprsb"));
    const auto* first = bank->getChildElement (0)->getChildElement (0);

    const auto plugin = createInstrument();

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

TEST (TarvelinPresets, PresetsCoverTheFirst33ParametersAndTheChangingModeIsNotOffered)
{
    const auto plugin = createInstrument();

    EXPECT_EQ (plugin->getNumPresetParameters(), 33);
    EXPECT_EQ (plugin->getNumOtherParameters(), 3);
    EXPECT_FALSE (plugin->isPresetChangingModeSupported());
}
