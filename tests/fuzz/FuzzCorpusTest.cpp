#include "fuzz/targets/FuzzTargets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The seeds of every fuzz target and the inputs that once broke one go
// through the same target code in every build, sanitizers or not.
std::vector<std::string> targetNames()
{
    std::vector<std::string> names;

    for (const auto& target : FuzzTargets::getAll())
        names.emplace_back (target.name);

    return names;
}

juce::Array<juce::File> savedInputs (const juce::String& folder, const juce::String& target)
{
    return juce::File (TARVELIN_FUZZ_FOLDER).getChildFile (folder).getChildFile (target)
               .findChildFiles (juce::File::findFiles, false);
}

// Written into the build folder by tests/fuzz/make-hostile-*.py: too large to keep.
juce::Array<juce::File> craftedInputs (const juce::String& target)
{
    return juce::File (TARVELIN_HOSTILE_FOLDER).getChildFile (target).findChildFiles (juce::File::findFiles, false);
}

class FuzzCorpusTest : public ::testing::TestWithParam<std::string>
{
protected:
    void expectEveryInputPasses (const juce::Array<juce::File>& inputs)
    {
        const auto* target = FuzzTargets::find (GetParam());
        ASSERT_NE (target, nullptr);

        for (const auto& file : inputs)
        {
            juce::MemoryBlock input;
            ASSERT_TRUE (file.loadFileAsData (input)) << file.getFullPathName();

            const auto findings = target->run (static_cast<const std::uint8_t*> (input.getData()), input.getSize());
            EXPECT_EQ (findings, juce::String()) << file.getFullPathName();
        }
    }
};

TEST_P (FuzzCorpusTest, HasSeeds)
{
    EXPECT_FALSE (savedInputs ("corpus", GetParam()).isEmpty());
}

TEST_P (FuzzCorpusTest, EverySeedPassesItsChecks)
{
    expectEveryInputPasses (savedInputs ("corpus", GetParam()));
}

TEST_P (FuzzCorpusTest, EveryInputThatOnceBrokeATargetPassesItsChecks)
{
    expectEveryInputPasses (savedInputs ("regressions", GetParam()));
}

TEST_P (FuzzCorpusTest, EveryCraftedInputPassesItsChecks)
{
    expectEveryInputPasses (craftedInputs (GetParam()));
}

// The generators ran: a build that lost them would replay nothing above.
TEST (FuzzCraftedInputs, AreWrittenForTheReadersOfFiles)
{
    for (const auto* target : { "presetbank", "state", "presetrecord", "settings" })
        EXPECT_FALSE (craftedInputs (target).isEmpty()) << target;
}

std::string nameOfTarget (const ::testing::TestParamInfo<std::string>& target)
{
    return target.param;
}

INSTANTIATE_TEST_SUITE_P (Targets, FuzzCorpusTest, ::testing::ValuesIn (targetNames()), nameOfTarget);

// The build's fuzz step runs the targets it lists by name.
TEST (FuzzTargetTable, EveryTargetIsRunByTheFuzzStep)
{
    juce::StringArray names;

    for (const auto& target : FuzzTargets::getAll())
        names.add (target.name);

    EXPECT_EQ (names.joinIntoString (","), juce::String (TARVELIN_FUZZ_TARGET_NAMES));
}
} // namespace
