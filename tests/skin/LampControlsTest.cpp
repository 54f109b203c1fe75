#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/GFXAnimation.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/SkinDrawing.h"
#include "support/MessageQueue.h"

using namespace ControlTest;

namespace
{
const auto left = juce::ModifierKeys::leftButtonModifier;
const auto right = juce::ModifierKeys::rightButtonModifier;
const auto ctrl = juce::ModifierKeys::ctrlModifier;
const auto shift = juce::ModifierKeys::shiftModifier;

class LampTest : public SkinTest
{
protected:
    /** A multi-state button loaded from its element; a test strip of that many frames, none for 0. */
    GFXMultiStateButton& lamp (const juce::String& attributes, int stripFrames)
    {
        SkinTestSupport::Package package;
        package.addImage ("lamp.png", makeStrip (juce::jmax (1, stripFrames)));
        const juce::String gfx = stripFrames > 0 ? "<gfx resource=\"lamp.png\"/>" : "";
        panel = packagedPanelFrom ("<size width=\"50\" height=\"50\"/><controls><MultiStateButton name=\"Lamp\" "
                                   + attributes + ">" + gfx + "<size width=\"16\" height=\"16\"/></MultiStateButton></controls>",
                                   package);

        if (panel == nullptr || panel->getNumChildComponents() != 1)
        {
            ADD_FAILURE() << "no lamp";
            panel = std::make_unique<GFXPanel> ("Empty");
            panel->addAndMakeVisible (new GFXMultiStateButton ("Lamp"));
        }

        return dynamic_cast<GFXMultiStateButton&> (*panel->getChildComponent (0));
    }

    Parameters parameters;
    std::unique_ptr<GFXPanel> panel;
};

void blinkOff (BlinkingComponent& control)
{
    control.startBlinking();
    control.toggleBlinkPhase();
}
} // namespace

TEST_F (LampTest, MultiStateFramesFollowStateBlinkAndInversion)
{
    struct Row
    {
        const char* attributes;
        int state;
        bool blinkedOff, inverted, held;
        int frame;
    };

    const Row rows[] = {
        { R"(states="3")", 1, false, false, false, 1 },
        { R"(states="3")", 2, false, false, false, 2 },
        { R"(states="3")", 2, true, false, false, 0 },          // blinking in the true phase
        { R"(states="3")", 0, false, true, false, 2 },          // inverted: lit while state 0
        { R"(states="3")", 1, false, true, false, 0 },
        { R"(states="3")", 0, true, true, false, 2 },           // inverted shows no blinking
        { R"(states="3")", 7, false, false, false, 2 },         // a state beyond the strip shows its last frame
        { R"(states="3" style="3D")", 2, false, false, false, 4 },
        { R"(states="3" style="3D")", 2, false, false, true, 5 },
        { R"(states="3" style="3D")", 2, true, false, true, 1 },
        { R"(states="3" style="3D")", 0, false, true, false, 4 },
    };

    for (const auto& row : rows)
    {
        auto& button = lamp (row.attributes, juce::String (row.attributes).contains ("3D") ? 6 : 3);
        button.setState (row.state);
        button.setInverted (row.inverted);

        if (row.blinkedOff)
            blinkOff (button);

        if (row.held)
            press (button, { 1, 1 });

        EXPECT_EQ (frameShown (button), row.frame)
            << row.attributes << " state " << row.state << (row.blinkedOff ? " blinked off" : "")
            << (row.inverted ? " inverted" : "") << (row.held ? " held" : "");
    }
}

TEST_F (LampTest, StateFollowsTheNearestStepOfTheParameter)
{
    auto& button = lamp (R"(states="5")", 5);
    auto& level = parameters.add<FloatParameter> (0, "Level", 0.0f, 1.0f, 0.625f);
    button.setParameter (&level);
    button.refreshFromParameter();
    EXPECT_EQ (frameShown (button), 3);

    auto& twoStates = lamp (R"(states="1")", 2);
    twoStates.setParameter (&level);
    level.setNormalisedValue (1.0f, true);
    dispatchPendingMessages();
    EXPECT_EQ (frameShown (twoStates), 1) << "\"states\" 1 keeps two states";
}

// The panel's lamps show an on-off or a count parameter: frame i for value i.
TEST_F (LampTest, EveryValueOfItsParameterShowsItsOwnFrame)
{
    for (const auto states : { 2, 3, 4, 8, 17 })
    {
        auto& button = lamp ("states=\"" + juce::String (states) + "\"", states);
        auto& count = parameters.add<IntParameter> (states, "Count", 0, states - 1, 0);
        button.setParameter (&count);

        // Up and down again, so that no frame is left from the value before.
        for (const auto value : { 0, states - 1, 1, states / 2, states - 2, 0 })
        {
            count.setValue (static_cast<float> (value), true);
            dispatchPendingMessages();
            EXPECT_EQ (frameShown (button), value) << states << " states";
        }
    }

    auto& button = lamp (R"(states="2")", 2);
    auto& onOff = parameters.add<StateParameter> (99, "Switch", "off");
    button.setParameter (&onOff);

    for (const auto* text : { "on", "off", "on" })
    {
        onOff.setValueFromText (text, true);
        dispatchPendingMessages();
        EXPECT_EQ (frameShown (button), juce::String (text) == "on" ? 1 : 0) << text;
    }
}

TEST_F (LampTest, TheOwnersTimerPutsItBackToStateZeroAtItsFirstTick)
{
    auto& button = lamp (R"(states="3")", 3);
    button.setState (2);
    button.startTimer (1000);

    button.timerCallback();
    EXPECT_EQ (frameShown (button), 0);
    EXPECT_FALSE (button.isTimerRunning());
}

TEST_F (LampTest, ClicksFallThroughToTheNextEventThatIsSet)
{
    struct Row
    {
        int mods;
        bool withCtrl, withShift, withRight;
        std::vector<int> fired;
    };

    const Row rows[] = {
        { left | ctrl, false, false, false, { 1 } },
        { left | ctrl | shift, false, true, false, { 3 } },
        { left | ctrl, true, true, false, { 2 } },
        { right, false, false, true, { 4 } },
        { right, false, false, false, { 1 } },
        { left | shift, false, false, false, { 1 } },
    };

    for (const auto& row : rows)
    {
        auto& button = lamp (R"(states="2")", 2);
        ControllerRecorder recorder;
        static_cast<GUIController&> (button).addListener (&recorder);
        button.addAction ("onClick", 1, {});

        if (row.withCtrl)
            button.addAction ("onClickWithCtrl", 2, {});

        if (row.withShift)
            button.addAction ("onClickWithShift", 3, {});

        if (row.withRight)
            button.addAction ("onRightClick", 4, {});

        pressDragRelease (button, { 1, 1 }, {}, juce::ModifierKeys (row.mods));
        EXPECT_EQ (recorder.events, row.fired) << "modifiers " << row.mods;
        EXPECT_EQ (frameShown (button), 0) << "a click never changes the state";
    }
}

TEST_F (LampTest, FallbackDotGrowsWithTheStateInFractions)
{
    // Three states: state 1 draws a dot of 1 / 2 x 10 + 2 = 7 pixels across,
    // where an integer division would give 2.
    auto& button = lamp (R"(states="3")", 0);

    EXPECT_TRUE (pixelIs (renderComponent (button), 10, 8, SkinDrawing::grey90));
    button.setState (1);
    EXPECT_TRUE (pixelIs (renderComponent (button), 10, 8, juce::Colours::black));
}

TEST (AnimationTest, ShowsTheNearestFrameOfItsParameterClampedToTheStrip)
{
    FloatParameter level (0, "Level", 0.0f, 1.0f, 0.625f);
    GFXAnimation animation ("Animation");
    animation.setImage (makeStrip (5), 5);
    animation.setParameter (&level);
    animation.refreshFromParameter();
    EXPECT_EQ (frameShown (animation), 3) << "2.5 + 0.5 rounds to 3";

    animation.setFrame (9);
    EXPECT_EQ (frameShown (animation), 4);

    animation.setFrame (2);
    blinkOff (animation);
    EXPECT_EQ (frameShown (animation), 0);
}

TEST (AnimationTest, FlashShowsTheFrameUntilItsTimerFires)
{
    GFXAnimation lamp ("MidiLed");
    lamp.setImage (makeStrip (2), 2);

    lamp.flashFrame (1, 175);
    EXPECT_EQ (frameShown (lamp), 1);
    EXPECT_TRUE (lamp.isTimerRunning());

    lamp.timerCallback();
    EXPECT_EQ (frameShown (lamp), 0);
    EXPECT_FALSE (lamp.isTimerRunning());
}

TEST_F (SkinTest, AnimationFallbackOfFewerThanTwoFramesDrawsNoDot)
{
    // The pictures are missing: the controls draw their fallback.
    const auto panel = panelFrom (R"(<size width="48" height="16"/><controls>
        <Animation name="None"><gfx resource="missing.png" framesNum="0"/><size width="16" height="16"/></Animation>
        <Animation name="One"><gfx resource="missing.png" framesNum="1"/><size width="16" height="16"/><pos left="16"/></Animation>
        <Animation name="Three"><gfx resource="missing.png" framesNum="3"/><size width="16" height="16"/><pos left="32"/></Animation>
        </controls>)");
    ASSERT_NE (panel, nullptr);
    ASSERT_EQ (panel->getNumChildComponents(), 3);

    for (auto* child : panel->getChildren())
        dynamic_cast<GFXAnimation&> (*child).setFrame (2);

    const auto image = renderComponent (*panel);
    EXPECT_TRUE (pixelIs (image, 8, 8, SkinDrawing::grey90));
    EXPECT_TRUE (pixelIs (image, 24, 8, SkinDrawing::grey90));
    EXPECT_TRUE (pixelIs (image, 40, 8, juce::Colours::black));
}
