#include "framework/BundleResources.h"
#include "synth/Pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace
{
// Step fields in the order the editing code numbers them: flags 0..4, levels 5..7.
const char* const stepFields[] = { "octaveUp", "octaveDown", "gate", "accent", "slide", "gateLevel", "accentLevel", "slideLevel" };

// The attribute as written: a whole decimal number in the range the format allows.
// Checked apart from Pattern's own reader on purpose, since the reader would limit it.
bool isWholeNumberIn (const juce::XmlElement& xml, const char* name, int minValue, int maxValue)
{
    const auto text = xml.getStringAttribute (name);
    return text.isNotEmpty() && text.containsOnly ("0123456789")
        && text.getIntValue() >= minValue && text.getIntValue() <= maxValue;
}

class FactoryPatternBank : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bank = juce::parseXML (loadBundleResourceAsString ("default.tqptrb"));
        ASSERT_NE (bank, nullptr);

        for (auto* xml : bank->getChildIterator())
            patterns.emplace_back().loadFromXml (*xml);
    }

    std::unique_ptr<juce::XmlElement> bank;
    std::vector<Pattern> patterns;
};
} // namespace

//==============================================================================
TEST_F (FactoryPatternBank, IsABankOf96UniquelyNamedPatternsOfThisPlugin)
{
    EXPECT_EQ (bank->getTagName(), "PatternBank");
    EXPECT_FALSE (bank->hasAttribute ("application"));
    ASSERT_EQ (bank->getNumChildElements(), 96);
    std::set<juce::String> names;

    for (auto* pattern : bank->getChildIterator())
    {
        const auto name = pattern->getStringAttribute ("name");
        EXPECT_EQ (pattern->getTagName(), "Pattern");
        EXPECT_EQ (pattern->getAttributeName (0), "application");
        EXPECT_EQ (pattern->getAttributeValue (0), "Tarvelin");
        EXPECT_TRUE (name.trim().isNotEmpty());
        EXPECT_TRUE (names.insert (name).second) << "twice: " << name;
    }
}

// Written in the format exactly, so that older readers take it as it is (how it
// reads is the pattern reader's own test).
TEST_F (FactoryPatternBank, EveryPatternIsWrittenWithWholeNumbersAndLevelsInTheirRanges)
{
    for (const auto* xml : bank->getChildIterator())
    {
        SCOPED_TRACE (xml->getStringAttribute ("name").toStdString());
        EXPECT_TRUE (isWholeNumberIn (*xml, "length", Pattern::minLength, Pattern::numSteps));
        EXPECT_TRUE (isWholeNumberIn (*xml, "shuffle", 0, Pattern::maxShuffle));
        const auto tempo = xml->getDoubleAttribute ("tempo", -1.0);
        EXPECT_TRUE (tempo >= Pattern::minTempo && tempo <= Pattern::maxTempo) << tempo;
        EXPECT_NEAR (tempo * 10.0, std::round (tempo * 10.0), 1.0e-9) << "tempo has more than one decimal";
        EXPECT_EQ (xml->getNumChildElements(), xml->getIntAttribute ("length"));

        for (const auto* step : xml->getChildIterator())
        {
            EXPECT_EQ (step->getTagName(), "Step");
            EXPECT_TRUE (isWholeNumberIn (*step, "note", 0, PatternStep::maxNote));

            for (int field = 0; field < 8; ++field)
            {
                const auto value = step->getDoubleAttribute (stepFields[field], -1.0);
                EXPECT_TRUE (field < 5 ? isWholeNumberIn (*step, stepFields[field], 0, 1) : value >= 0.0 && value <= 1.0)
                    << stepFields[field];
            }
        }
    }
}

TEST_F (FactoryPatternBank, EveryPatternSoundsWhateverTheGateThresholdAndNoStepSlidesIntoARestOfAnotherPitch)
{
    for (const auto& pattern : patterns)
    {
        const auto length = pattern.getLength();
        bool sounds = false;

        for (int i = 0; i < length; ++i)
        {
            // A step with gate level 0 plays even with the gate threshold at its lowest.
            const auto& step = pattern.getStep (i);
            sounds = sounds || (step.isGate() && step.getGateLevel() == 0.0);

            // A slide into a gate-off step still sounds that step's pitch, so a rest
            // after a slide must carry the slid note (a tie).
            const auto& next = pattern.getStep ((i + 1) % length);

            if (step.isSlide() && ! next.isGate())
            {
                EXPECT_EQ (next.getAbsoluteNote(), step.getAbsoluteNote()) << pattern.getName() << ", step " << i;
            }
        }

        EXPECT_TRUE (sounds) << pattern.getName();
    }
}

TEST_F (FactoryPatternBank, UsesAccentsSlidesOctavesRestsLengthsAndShuffle)
{
    int flagCounts[5] = {};
    int rests = 0, shortPatterns = 0, shuffledPatterns = 0;

    for (const auto& pattern : patterns)
    {
        shortPatterns += pattern.getLength() < Pattern::numSteps ? 1 : 0;
        shuffledPatterns += pattern.getShuffle() > 0 ? 1 : 0;

        for (int i = 0; i < pattern.getLength(); ++i)
        {
            for (int flag = 0; flag < 5; ++flag)
                flagCounts[flag] += pattern.getStep (i).getFlag (flag) ? 1 : 0;

            rests += pattern.getStep (i).isGate() ? 0 : 1;
        }
    }

    for (int flag = 0; flag < 5; ++flag)
        EXPECT_GT (flagCounts[flag], 0) << stepFields[flag];

    EXPECT_GT (rests, 0);
    EXPECT_GT (shortPatterns, 0);
    EXPECT_GT (shuffledPatterns, 0);
}
