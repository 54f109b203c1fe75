#pragma once

#include "framework/ParameterManager.h"
#include "framework/PresetManager.h"

#include <initializer_list>
#include <memory>

/** The instrument's parameter table plus the two preset parameters, as the old-style layer has it. */
struct TestParameterTable : public ParameterManager
{
    TestParameterTable()
    {
        loadFromResource ("parameters.xml");
        addParameter (new IntParameter (PresetManager::currentPresetNumberId, "Current Preset Number", 0, 127, 0));
        addParameter (new StringParameter (PresetManager::currentPresetNameId, "Current Preset Name", {}));
    }
};

/** A "Preset" slot element of the given application whose every listed value is the same. */
inline std::unique_ptr<juce::XmlElement> makePresetXml (const juce::String& name,
                                                        float value,
                                                        const juce::String& application = "Tarvelin")
{
    auto preset = std::make_unique<juce::XmlElement> ("Preset");
    preset->setAttribute ("application", application);
    preset->setAttribute ("name", name);

    auto* param = preset->createNewChildElement ("param");
    param->setAttribute ("name", "Cutoff");
    param->setAttribute ("value", static_cast<double> (value));
    return preset;
}

/** A "PresetBank" with one named group per count; preset k of the bank is named "P<k>"
    and holds Cutoff = k / 1000. */
inline std::unique_ptr<juce::XmlElement> makeBankXml (std::initializer_list<int> groupCounts)
{
    auto bank = std::make_unique<juce::XmlElement> ("PresetBank");
    bank->setAttribute ("name", "Test Bank");
    int k = 0;
    int g = 0;

    for (const auto count : groupCounts)
    {
        auto* group = bank->createNewChildElement ("PresetGroup");
        group->setAttribute ("name", "G" + juce::String (g++));

        for (int i = 0; i < count; ++i, ++k)
            group->addChildElement (makePresetXml ("P" + juce::String (k), static_cast<float> (k) / 1000.0f).release());
    }

    return bank;
}
