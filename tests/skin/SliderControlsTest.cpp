#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/GFXKnob.h"
#include "skin/GFXMidiChannelDisplay.h"
#include "skin/GFXSwitch.h"
#include "skin/ModWheel.h"
#include "skin/PitchBender.h"
#include "support/MessageQueue.h"

#include <map>

using namespace ControlTest;

namespace
{
/** Hears a parameter on the changing thread and notes changes and gestures in order. */
struct ParameterLog : public Parameter::Listener
{
    void parameterChanged (Parameter* p) override                  { entries.push_back ("value " + juce::String (p->getValue())); }
    void parameterChangeGestureBegin (Parameter*) override         { entries.push_back ("begin"); }
    void parameterChangeGestureEnd (Parameter*) override           { entries.push_back ("end"); }

    std::vector<juce::String> entries;
};

/** A control on a test strip, its parameter and what both tell their listeners. */
template <typename Control>
struct Bound
{
    explicit Bound (int numFrames, float initialValue = 0.0f)
        : parameter (0, "Test", 0.0f, 1.0f, initialValue)
    {
        control.setImage (makeStrip (numFrames), numFrames);
        control.setVisible (true);
        parameter.addListener (&log);
        control.setParameter (&parameter);
        static_cast<GUIController&> (control).addListener (&recorder);
        control.refreshFromParameter();
    }

    // The parameter outlives the control bound to it.
    FloatParameter parameter;
    ParameterLog log;
    ControllerRecorder recorder;
    Control control { "Control" };
};
} // namespace

TEST (KnobTest, ShowsTheNearestFrameAndDisabledTheSameFrameDimmed)
{
    Bound<GFXKnob> knob (101, 0.5f);
    EXPECT_EQ (frameShown (knob.control), 50);

    // Frame 0 is the lowest position: a disabled knob at 0.5 is not drawn there.
    knob.control.setEnabled (false);
    EXPECT_EQ (dimmedFrameShown (knob.control), 50);

    knob.parameter.setNormalisedValue (0.8f, true);
    dispatchPendingMessages();
    EXPECT_EQ (dimmedFrameShown (knob.control), 80) << "a disabled knob still follows its parameter";

    knob.control.setEnabled (true);
    EXPECT_EQ (frameShown (knob.control), 80);
}

TEST (KnobTest, DragWritesTheParameterInsideItsGestureAndTellsTheEditor)
{
    Bound<GFXKnob> knob (11);
    knob.control.setSize (8, 6);

    // The toolkit's rotary drag: 250 pixels up cover the whole range.
    pressDragRelease (knob.control, { 4, 3 }, { 0, -125 });

    ASSERT_GE (knob.log.entries.size(), 3u);
    EXPECT_EQ (knob.log.entries.front(), "begin");
    EXPECT_EQ (knob.log.entries.back(), "end");
    EXPECT_NEAR (knob.parameter.getValue(), 0.5f, 0.01f);
    EXPECT_EQ (knob.recorder.calls.front(), "gesture start");
    EXPECT_EQ (knob.recorder.calls.back(), "gesture end");
    EXPECT_EQ (std::count (knob.recorder.calls.begin(), knob.recorder.calls.end(), "value"),
               static_cast<long> (knob.log.entries.size() - 2));
}

TEST (KnobTest, FollowsTheHostWithoutWritingBackOrTellingTheEditor)
{
    Bound<GFXKnob> knob (11);

    knob.parameter.setNormalisedValue (0.8f, true);
    dispatchPendingMessages();

    EXPECT_EQ (frameShown (knob.control), 8);
    EXPECT_EQ (knob.log.entries, std::vector<juce::String> { "value 0.8" });
    EXPECT_TRUE (knob.recorder.calls.empty());
}

TEST (SwitchTest, ThreePositionThresholds)
{
    struct Row
    {
        double value;
        int frame;
    };

    for (const auto row : { Row { 0.0, 0 }, Row { 0.245, 0 }, Row { 0.25, 1 }, Row { 0.5, 1 },
                            Row { 0.745, 1 }, Row { 0.75, 2 }, Row { 1.0, 2 } })
    {
        GFXSwitch control ("Switch");
        control.setImage (makeStrip (3), 3);
        control.setValue (row.value, juce::dontSendNotification);
        EXPECT_EQ (frameShown (control), row.frame) << "value " << row.value;
    }

    GFXSwitch disabled ("Switch");
    disabled.setImage (makeStrip (3), 3);
    disabled.setValue (1.0, juce::dontSendNotification);
    disabled.setEnabled (false);
    EXPECT_EQ (dimmedFrameShown (disabled), 2);
}

TEST_F (SkinTest, SwitchStyleIsReadIgnoringCase)
{
    const auto panel = panelFrom (R"(<controls>
        <Switch name="H" style="horizontal"/><Switch name="V" style="VERTICAL"/><Switch name="R" style="Slider"/>
        </controls>)");
    ASSERT_NE (panel, nullptr);

    std::map<juce::String, juce::Slider::SliderStyle> styles;

    for (auto* child : panel->getChildren())
        styles[child->getName()] = dynamic_cast<GFXSwitch&> (*child).getSliderStyle();

    EXPECT_EQ (styles["H"], juce::Slider::LinearHorizontal);
    EXPECT_EQ (styles["V"], juce::Slider::LinearVertical);
    EXPECT_EQ (styles["R"], juce::Slider::RotaryVerticalDrag);
}

TEST (PitchBenderTest, RestsOnItsMiddleFrameAndShowsTheTopWhenPushedUp)
{
    Bound<PitchBender> bender (65, 0.5f);
    EXPECT_EQ (frameShown (bender.control), 32);

    bender.parameter.setNormalisedValue (1.0f, true);
    dispatchPendingMessages();
    EXPECT_EQ (frameShown (bender.control), 64);
}

/** What a parameter heard after the last gesture end, the messages drained. */
std::vector<juce::String> afterGestureEnd (const std::vector<juce::String>& entries)
{
    const auto end = std::find (entries.rbegin(), entries.rend(), "end");
    return { end.base(), entries.end() };
}

TEST (PitchBenderTest, ReleaseWritesTheCentreOnceAfterTheGestureEnd)
{
    Bound<PitchBender> bender (65, 0.5f);
    bender.control.setSize (8, 6);

    pressDragRelease (bender.control, { 4, 3 }, { 0, -100 });
    dispatchPendingMessages();

    EXPECT_EQ (bender.log.entries.front(), "begin");
    EXPECT_EQ (bender.log.entries[1], "value 0.9") << "the drag pushed it up";
    EXPECT_EQ (afterGestureEnd (bender.log.entries), std::vector<juce::String> { "value 0.5" });
    EXPECT_EQ (frameShown (bender.control), 32);
}

TEST (ModWheelTest, ReleaseWritesZeroAfterTheGestureEnd)
{
    Bound<ModWheel> wheel (11);
    wheel.control.setSize (8, 6);

    pressDragRelease (wheel.control, { 4, 3 }, { 0, -100 });
    dispatchPendingMessages();

    EXPECT_EQ (wheel.log.entries[1], "value 0.4");
    EXPECT_EQ (afterGestureEnd (wheel.log.entries), std::vector<juce::String> { "value 0" });
}

TEST (SpringControlTest, TakeNoMouseWheelWhereAKnobDoes)
{
    juce::MouseWheelDetails tick {};
    tick.deltaY = 0.5f;

    const auto turnWheel = [&tick] (auto& bound)
    {
        bound.control.setSize (8, 6);
        bound.control.mouseWheelMove (mouseEvent (bound.control, { 4, 3 }, {}), tick);
        dispatchPendingMessages();
        return bound.log.entries;
    };

    Bound<GFXKnob> knob (11);
    EXPECT_FALSE (turnWheel (knob).empty()) << "the probe must move a plain knob";

    Bound<PitchBender> bender (11, 0.5f);
    EXPECT_TRUE (turnWheel (bender).empty());

    Bound<ModWheel> wheel (11);
    EXPECT_TRUE (turnWheel (wheel).empty());
}

TEST (MidiChannelDisplayTest, FrameOneIsAllChannelsAndTheNextSixteenAreTheChannels)
{
    struct Row
    {
        float value;
        int frame;
    };

    for (const auto row : { Row { 0.0f, 1 }, Row { 0.03f, 1 }, Row { 1.0f / 15.0f, 2 }, Row { 1.0f, 17 } })
    {
        Bound<GFXMidiChannelDisplay> display (18, row.value);
        EXPECT_EQ (frameShown (display.control), row.frame) << "value " << row.value;
    }

    Bound<GFXMidiChannelDisplay> disabled (18, 1.0f);
    disabled.control.setEnabled (false);
    EXPECT_EQ (frameShown (disabled.control), 0);
}

//==============================================================================
namespace
{
/** Presses a control and drags it, leaving the button down. */
void pressAndDrag (juce::Component& control)
{
    control.mouseDown (mouseEvent (control, { 4, 3 }));
    control.mouseDrag (mouseEvent (control, { 4, -40 }, juce::ModifierKeys::leftButtonModifier, juce::Point<int> (4, 3)));
}

/** What the host hears of a knob or switch that goes in the middle of a drag. */
template <typename Control>
std::vector<juce::String> gestureWhenTheControlGoes (bool deleted)
{
    FloatParameter parameter (0, "Test", 0.0f, 1.0f, 0.0f);
    ParameterLog log;
    parameter.addListener (&log);

    juce::Component window;
    auto control = std::make_unique<Control> ("Control");
    control->setImage (makeStrip (11), 11);
    control->setParameter (&parameter);
    window.addAndMakeVisible (*control);

    pressAndDrag (*control);
    EXPECT_EQ (log.entries.front(), "begin");
    EXPECT_NE (log.entries.back(), "end") << "the button is still down";

    if (deleted)
    {
        control.reset();
    }
    else
    {
        // The host closes its window: the editor leaves it, and no mouse-up comes...
        window.removeChildComponent (control.get());

        // ...until the pointer next meets one of the plug-in's windows.
        control->mouseUp (mouseEvent (*control, { 4, -40 }, {}, juce::Point<int> (4, 3)));
    }

    return log.entries;
}
} // namespace

TEST (GestureTest, AKnobOrSwitchThatGoesMidDragEndsItsGestureOnce)
{
    for (const bool deleted : { true, false })
    {
        SCOPED_TRACE (deleted ? "deleted" : "taken off the screen");

        for (const auto& entries : { gestureWhenTheControlGoes<GFXKnob> (deleted), gestureWhenTheControlGoes<GFXSwitch> (deleted) })
        {
            ASSERT_GE (entries.size(), 2u);
            EXPECT_EQ (entries.back(), "end");
            EXPECT_EQ (std::count (entries.begin(), entries.end(), "end"), 1);
            EXPECT_EQ (std::count (entries.begin(), entries.end(), "begin"), 1);
        }
    }
}
