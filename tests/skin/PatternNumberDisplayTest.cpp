#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/PatternNumberDisplay.h"

using namespace ControlTest;

namespace
{
class PatternNumberDisplayTest : public SkinTest
{
protected:
    /** A display with the four test strips and the attributes given. */
    PatternNumberDisplay& load (const juce::String& attributes)
    {
        SkinTestSupport::Package package;
        package.addImage ("d1.png", makeStrip (12)).addImage ("d2.png", makeStrip (19))
            .addImage ("d3.png", makeStrip (13)).addImage ("d4.png", makeStrip (11));
        panel = packagedPanelFrom ("<size width=\"40\" height=\"10\"/><controls><PatternNumberDisplay name=\"P\" " + attributes
                                   + R"(><gfx firstDigit="d1.png" secondDigit="d2.png" thirdDigit="d3.png" fourthDigit="d4.png"/>
                                   </PatternNumberDisplay></controls>)", package);

        if (panel == nullptr || panel->getNumChildComponents() != 1)
        {
            ADD_FAILURE() << "no display";
            panel = std::make_unique<GFXPanel> ("Empty");
            panel->addAndMakeVisible (new PatternNumberDisplay ("P"));
        }

        return dynamic_cast<PatternNumberDisplay&> (*panel->getChildComponent (0));
    }

    /** The frames of the four digits, left to right (8 pixels each). */
    static std::vector<int> frames (PatternNumberDisplay& display)
    {
        const auto image = renderComponent (display);
        return { frameAt (image, 4, 3), frameAt (image, 12, 3), frameAt (image, 20, 3), frameAt (image, 28, 3) };
    }

    Parameters parameters;
    std::unique_ptr<GFXPanel> panel;
};

using Frames = std::vector<int>;
} // namespace

TEST_F (PatternNumberDisplayTest, DigitsInEachMode)
{
    struct Row
    {
        const char* attributes;
        int mode, value;
        Frames frames;
    };

    const Row rows[] = {
        { "", PatternNumberDisplay::noteMode, 0, { 11, 11, 12, 1 } },          // P.C-0
        { "", PatternNumberDisplay::noteMode, 61, { 11, 11, 11, 6 } },         // P.C#5
        { "", PatternNumberDisplay::noteMode, 71, { 11, 17, 12, 6 } },         // P.B-5
        { "", PatternNumberDisplay::noteMode, 127, { 11, 15, 12, 0 } },        // octave 10 has no digit
        { "", PatternNumberDisplay::numericMode, 16, { 0, 2, 7, 0 } },
        { "", PatternNumberDisplay::numericMode, 40, { 0, 2, 7, 0 } },         // clamped to 16
        { "", PatternNumberDisplay::bankAndSlotMode, 13, { 3, 18, 1, 2 } },    // 2-01
        { "", PatternNumberDisplay::bankAndSlotMode, 96, { 9, 18, 2, 3 } },    // 8-12
        { R"(slotMax="8")", PatternNumberDisplay::bankAndSlotMode, 8, { 2, 18, 1, 9 } },     // 1-08
        { R"(slotMax="8")", PatternNumberDisplay::bankAndSlotMode, 9, { 3, 18, 1, 2 } },     // 2-01
        { R"(slotMax="8")", PatternNumberDisplay::bankAndSlotMode, 72, { 10, 18, 1, 9 } },   // 9-08
        { R"(slotMax="8")", PatternNumberDisplay::bankAndSlotMode, 73, { 0, 18, 1, 2 } },    // bank 10 has no digit
        { R"(slotMax="8")", PatternNumberDisplay::bankAndSlotMode, 96, { 0, 18, 1, 9 } },
        { R"(slotMax="20")", PatternNumberDisplay::bankAndSlotMode, 17, { 3, 18, 1, 2 } },   // at most 16 slots
        { R"(slotMax="2")", PatternNumberDisplay::bankAndSlotMode, 5, { 3, 18, 1, 2 } },     // at least 4
        // The six ranges are kept to 0..9999 as slotMax is to 4..16: no value
        // a skin gives reaches "value - 1" at the end of an int.
        { R"(bankAndSlotPatternMin="-2147483648" bankAndSlotPatternMax="-2147483648")",
          PatternNumberDisplay::bankAndSlotMode, 5, { 2, 18, 1, 2 } },                         // 0 reads 1-01
        { R"(numericPatternMin="-5")", PatternNumberDisplay::numericMode, -3, { 0, 1, 1, 0 } },
        { R"(numericPatternMax="2147483647")", PatternNumberDisplay::numericMode, 2147483647, { 0, 0, 10, 0 } },   // 9999
        { R"(notePatternMin="-99" notePatternMax="-1")", PatternNumberDisplay::noteMode, -50, { 11, 11, 12, 1 } }, // P.C-0
    };

    for (const auto& row : rows)
    {
        auto& display = load (row.attributes);
        display.setMode (row.mode);
        display.setValue (row.value);
        EXPECT_EQ (frames (display), row.frames) << row.attributes << " mode " << row.mode << " value " << row.value;
    }
}

TEST_F (PatternNumberDisplayTest, SwitchingModesKeepsOrClampsTheValue)
{
    auto& display = load (R"(slotMax="8")");
    display.setMode (PatternNumberDisplay::numericMode);
    display.setValue (16);

    display.setMode (PatternNumberDisplay::bankAndSlotMode);
    EXPECT_EQ (frames (display), (Frames { 3, 18, 1, 9 })) << "2-08";

    display.setValue (40);
    display.setMode (PatternNumberDisplay::numericMode);
    EXPECT_EQ (frames (display), (Frames { 0, 2, 7, 0 }));
}

TEST_F (PatternNumberDisplayTest, FollowsItsParameterAndIsBlankWhenDisabled)
{
    auto& display = load ("");
    auto& pattern = parameters.add<IntParameter> (0, "Pattern", 0, 127, 61);
    display.setParameter (&pattern);
    display.refreshFromParameter();
    ASSERT_EQ (frames (display), (Frames { 11, 11, 11, 6 }));

    display.setEnabled (false);
    EXPECT_EQ (frames (display), (Frames { 0, 0, 0, 0 }));

    display.setEnabled (true);
    EXPECT_EQ (frames (display), (Frames { 11, 11, 11, 6 }));
}
