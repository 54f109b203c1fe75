#include "FuzzTargets.h"

namespace FuzzTargets
{
const std::vector<Target>& getAll()
{
    static const std::vector<Target> targets {
        { "parameters", runParameterDefinitions },
        { "events", runEventDefinitions },
        { "ccmap", runMidiControlMap },
        { "presetrecord", runPresetRecord },
        { "presetslot", runPresetSlotFile },
        { "presetbank", runPresetBankFile },
        { "pattern", runPatternXml },
        { "state", runPluginState },
        { "olderstate", runOlderPluginState },
        { "programstate", runProgramState },
        { "olderprogram", runOlderProgramState },
        { "settings", runUserSettings },
        { "hostmap", runHostParametersMap },
        { "patternfile", runPatternFile },
        { "patternbank", runPatternBankFile },
        { "patterntext", runPatternTextFile },
        { "skinxml", runSkinDescription },
        { "skinpackage", runSkinPackage },
    };

    return targets;
}

const Target* find (const juce::String& name)
{
    for (const auto& target : getAll())
        if (name == target.name)
            return &target;

    return nullptr;
}
} // namespace FuzzTargets
