#include "framework/BundleResources.h"
#include "synth/Pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace
{
constexpr int numPatterns = 96;
const char* const stepFlags[] = { "octaveUp", "octaveDown", "gate", "accent", "slide" };
const char* const stepLevels[] = { "gateLevel", "accentLevel", "slideLevel" };

std::unique_ptr<juce::XmlElement> loadFactoryBank()
{
    return juce::parseXML (loadBundleResourceAsString ("default.tqptrb"));
}

std::vector<const juce::XmlElement*> stepElementsOf (const juce::XmlElement& pattern)
{
    std::vector<const juce::XmlElement*> steps;

    for (auto* child : pattern.getChildIterator())
        if (child->getTagName() == "Step")
            steps.push_back (child);

    return steps;
}

// The attribute as written: a whole decimal number, checked against the
// range the format allows. Read apart from Pattern's own reader on purpose.
bool isIntegerInRange (const juce::XmlElement& xml, const char* name, int minValue, int maxValue)
{
    const auto text = xml.getStringAttribute (name);
    return text.isNotEmpty() && text.containsOnly ("0123456789")
        && text.getIntValue() >= minValue && text.getIntValue() <= maxValue;
}

bool isFlag (const juce::XmlElement& xml, const char* name)
{
    const auto text = xml.getStringAttribute (name);
    return text == "0" || text == "1";
}

Pattern readPattern (const juce::XmlElement& xml)
{
    Pattern pattern;
    pattern.loadFromXml (xml);
    return pattern;
}

class FactoryPatternBank : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bank = loadFactoryBank();
        ASSERT_NE (bank, nullptr);
    }

    std::unique_ptr<juce::XmlElement> bank;
};
} // namespace

//==============================================================================
TEST_F (FactoryPatternBank, IsABankOf96UniquelyNamedPatternsOfThisPlugin)
{
    EXPECT_EQ (bank->getTagName(), "PatternBank");
    EXPECT_FALSE (bank->hasAttribute ("application"));
    ASSERT_EQ (bank->getNumChildElements(), numPatterns);

    for (auto* pattern : bank->getChildIterator())
    {
        EXPECT_EQ (pattern->getTagName(), "Pattern");
        ASSERT_GT (pattern->getNumAttributes(), 0);
        EXPECT_EQ (pattern->getAttributeName (0), "application");
        EXPECT_EQ (pattern->getAttributeValue (0), "Tarvelin");
    }

    std::set<juce::String> names;

    for (auto* xml : bank->getChildIterator())
    {
        const auto name = xml->getStringAttribute ("name");
        EXPECT_TRUE (name.trim().isNotEmpty());
        EXPECT_TRUE (names.insert (name).second) << "twice: " << name;
    }
}

TEST_F (FactoryPatternBank, EveryPatternReadsExactlyWhatItsElementSays)
{
    for (auto* xml : bank->getChildIterator())
    {
        SCOPED_TRACE (xml->getStringAttribute ("name").toStdString());
        const auto pattern = readPattern (*xml);
        const auto steps = stepElementsOf (*xml);

        ASSERT_TRUE (isIntegerInRange (*xml, "length", Pattern::minLength, Pattern::numSteps));
        ASSERT_TRUE (isIntegerInRange (*xml, "shuffle", 0, Pattern::maxShuffle));
        const auto tempo = xml->getDoubleAttribute ("tempo", -1.0);
        ASSERT_TRUE (tempo >= Pattern::minTempo && tempo <= Pattern::maxTempo);
        EXPECT_NEAR (tempo * 10.0, std::round (tempo * 10.0), 1.0e-9) << "tempo has more than one decimal";

        EXPECT_EQ (pattern.getName(), xml->getStringAttribute ("name"));
        EXPECT_EQ (pattern.getLength(), xml->getIntAttribute ("length"));
        EXPECT_EQ (pattern.getShuffle(), xml->getIntAttribute ("shuffle"));
        EXPECT_DOUBLE_EQ (pattern.getTempo(), tempo);
        ASSERT_EQ ((int) steps.size(), pattern.getLength());

        for (int i = 0; i < pattern.getLength(); ++i)
        {
            SCOPED_TRACE ("step " + std::to_string (i));
            const auto& stepXml = *steps[(size_t) i];
            const auto& step = pattern.getStep (i);

            ASSERT_TRUE (isIntegerInRange (stepXml, "note", 0, PatternStep::maxNote));
            EXPECT_EQ (step.getNote(), stepXml.getIntAttribute ("note"));

            for (int flag = 0; flag < 5; ++flag)
            {
                ASSERT_TRUE (isFlag (stepXml, stepFlags[flag])) << stepFlags[flag];
                EXPECT_EQ (step.getFlag (flag), stepXml.getIntAttribute (stepFlags[flag]) == 1) << stepFlags[flag];
            }

            for (int level = 0; level < 3; ++level)
            {
                const auto value = stepXml.getDoubleAttribute (stepLevels[level], -1.0);
                ASSERT_TRUE (value >= 0.0 && value <= 1.0) << stepLevels[level];
                EXPECT_EQ (step.getLevel (5 + level), value) << stepLevels[level];
            }
        }
    }
}

TEST_F (FactoryPatternBank, EveryPatternSoundsWhateverTheGateThresholdAndNoStepSlidesIntoARestOfAnotherPitch)
{
    for (auto* xml : bank->getChildIterator())
    {
        const auto pattern = readPattern (*xml);
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
                EXPECT_EQ (next.getAbsoluteNote(), step.getAbsoluteNote()) << xml->getStringAttribute ("name") << ", step " << i;
            }
        }

        EXPECT_TRUE (sounds) << xml->getStringAttribute ("name");
    }
}

TEST_F (FactoryPatternBank, UsesAccentsSlidesOctavesRestsLengthsAndShuffle)
{
    int flagCounts[5] = {};
    int rests = 0, shortPatterns = 0, shuffledPatterns = 0;

    for (auto* xml : bank->getChildIterator())
    {
        const auto pattern = readPattern (*xml);
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
        EXPECT_GT (flagCounts[flag], 0) << stepFlags[flag];

    EXPECT_GT (rests, 0);
    EXPECT_GT (shortPatterns, 0);
    EXPECT_GT (shuffledPatterns, 0);
}
