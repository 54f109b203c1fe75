#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/GFXButton.h"
#include "skin/GFXRocker.h"
#include "skin/GFXToggleButton.h"
#include "support/HeadlessWindow.h"
#include "support/MessageQueue.h"
#include "support/ParameterListeners.h"

using namespace ControlTest;

namespace
{
const auto left = juce::ModifierKeys::leftButtonModifier;
const auto right = juce::ModifierKeys::rightButtonModifier;
const auto ctrl = juce::ModifierKeys::ctrlModifier;

/** A control in a test, shown, loaded from its element when given one. */
template <typename Control>
struct Shown : public Control
{
    explicit Shown (const juce::String& name = "Control") : Control (name)
    {
        this->setVisible (true);
        this->setSize (20, 20);
        static_cast<GUIController&> (*this).addListener (&recorder);
    }

    ControllerRecorder recorder;
};

template <typename Control>
Control& find (GFXPanel& panel, const juce::String& name)
{
    for (auto* child : panel.getChildren())
        if (child->getName() == name)
            return dynamic_cast<Control&> (*child);

    ADD_FAILURE() << "no control " << name;
    return dynamic_cast<Control&> (*panel.getChildComponent (0));
}
} // namespace

TEST (ButtonTest, ClickFiresTheEventOfItsModifiers)
{
    struct Row
    {
        int mods;
        bool withCtrlAction, withRightAction;
        std::vector<int> fired;
    };

    const Row rows[] = {
        { left, false, false, { 5 } },
        { left | ctrl, false, true, {} },       // no fall-back to the plain click
        { left | ctrl, true, true, { 7 } },
        { right, false, false, { 5 } },
        { right, false, true, { 6 } },
    };

    for (const auto& row : rows)
    {
        Shown<GFXButton> button;
        button.addAction ("onClick", 5, "Five");
        button.addAction ("onclick", 9, "Wrong case");

        if (row.withCtrlAction)
            button.addAction ("onClickWithCtrl", 7, "Seven");

        if (row.withRightAction)
            button.addAction ("onRightClick", 6, "Six");

        pressDragRelease (button, { 10, 10 }, {}, juce::ModifierKeys (row.mods));
        EXPECT_EQ (button.recorder.events, row.fired) << "modifiers " << row.mods;
    }
}

TEST (ButtonTest, TooltipNamesTheCtrlEventWhileCtrlIsDown)
{
    Shown<GFXButton> button;
    button.addAction ("onClick", 5, "Five");
    button.addAction ("onClickWithCtrl", 7, "Seven");

    button.modifierKeysChanged (juce::ModifierKeys (ctrl));
    EXPECT_EQ (button.getTooltip(), "Seven");

    button.modifierKeysChanged ({});
    EXPECT_EQ (button.getTooltip(), "Five");
}

TEST_F (SkinTest, ABoundButtonIsHeldTrueAndFiresOnPressWhateverItsClickEvent)
{
    Shown<GFXButton> button;
    auto& held = parameter ("Self Reset State");
    held.setBoolValue (false, false);

    const auto element = juce::parseXML (R"(<Button name="B" clickEvent="onRelease">
        <links><link as="connectedTo" param="Self Reset State"/></links>
        <actions><action type="onClick" event="Transpose Up"/></actions><size width="20" height="20"/></Button>)");
    button.loadFromXml (*element, skin);

    press (button, { 10, 10 });
    EXPECT_EQ (button.recorder.events, std::vector<int> { 0 });
    EXPECT_TRUE (held.getBoolValue());

    release (button, { 10, 10 });
    EXPECT_FALSE (held.getBoolValue());
    EXPECT_EQ (button.recorder.events.size(), 1u);
    EXPECT_EQ (button.recorder.calls, (std::vector<juce::String> { "value", "value" }));
}

TEST (ButtonTest, ABoundButtonThatGoesMidPressLetsGoOfItsParameterOnce)
{
    for (const bool deleted : { false, true })
    {
        SCOPED_TRACE (deleted ? "deleted" : "taken off screen");
        RecordingListener log;
        Parameters parameters;
        auto& held = parameters.add<BoolParameter> (0, "Held", false);
        held.addListener (&log);

        HeadlessWindow window (40, 40);
        auto button = std::make_unique<Shown<GFXButton>>();
        button->setParameter (&held);
        window.addAndMakeVisible (*button);

        press (*button, { 10, 10 });
        ASSERT_TRUE (held.getBoolValue());

        // The host closes the window: the mouse-up comes later, if ever.
        if (deleted)
            button.reset();
        else
            window.removeChildComponent (button.get());

        EXPECT_FALSE (held.getBoolValue());
        EXPECT_EQ (log.values, (std::vector<float> { 1.0f, 0.0f }));

        if (button != nullptr)
        {
            release (*button, { 10, 10 });
            EXPECT_EQ (log.numChanges(), 2);
            EXPECT_EQ (button->recorder.calls, (std::vector<juce::String> { "value", "value" }));
        }
    }
}

TEST_F (SkinTest, ToggleButtonFramesIn2DAnd3D)
{
    SkinTestSupport::Package package;
    package.addImage ("flat.png", makeStrip (2)).addImage ("deep.png", makeStrip (4));

    const auto panel = packagedPanelFrom (R"(<size width="100" height="100"/><controls>
        <ToggleButton name="Flat"><gfx resource="flat.png" framesNum="7"/></ToggleButton>
        <ToggleButton name="Deep" style="3D"><gfx resource="deep.png"/></ToggleButton>
        </controls>)", package);
    ASSERT_NE (panel, nullptr);

    auto& flat = find<GFXToggleButton> (*panel, "Flat");
    auto& deep = find<GFXToggleButton> (*panel, "Deep");
    const auto held = [] (GFXToggleButton& button)
    {
        press (button, { 4, 3 });
        const auto frame = frameShown (button);
        static_cast<juce::Component&> (button).mouseExit (mouseEvent (button, { 40, 40 }));
        return frame;
    };

    EXPECT_EQ (frameShown (flat), 0);
    EXPECT_EQ (frameShown (deep), 0);
    EXPECT_EQ (held (deep), 1);

    flat.setToggleState (true, juce::dontSendNotification);
    deep.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (frameShown (flat), 1);
    EXPECT_EQ (frameShown (deep), 2);
    EXPECT_EQ (held (deep), 3);

    deep.startBlinking();
    deep.toggleBlinkPhase();
    EXPECT_EQ (frameShown (deep), 0) << "blinked off";
    deep.setBlinking (false);
    EXPECT_EQ (frameShown (deep), 2);

    deep.setEnabled (false);
    EXPECT_EQ (frameShown (deep), 0);
}

TEST (ToggleButtonTest, ARadioSiblingSwitchedOffByAClickWritesFalseButEchoesNeverWriteBack)
{
    juce::Component parent;
    BoolParameter first (0, "First", true), second (1, "Second", false);
    RecordingListener firstLog, secondLog;
    first.addListener (&firstLog);
    second.addListener (&secondLog);

    Shown<GFXToggleButton> a ("A"), b ("B");

    for (auto* button : { &a, &b })
    {
        button->setClickingTogglesState (true);
        button->setRadioGroupId (1, juce::dontSendNotification);
        parent.addAndMakeVisible (*button);
    }

    a.setParameter (&first);
    b.setParameter (&second);
    a.refreshFromParameter();

    pressDragRelease (b, { 10, 10 });
    EXPECT_TRUE (second.getBoolValue());
    EXPECT_FALSE (first.getBoolValue()) << "the sibling switched off writes false";
    EXPECT_EQ (firstLog.numChanges(), 1);
    EXPECT_EQ (secondLog.numChanges(), 1);

    // The echoes of both writes, then a change from the host.
    dispatchPendingMessages();
    first.setBoolValue (true, true);
    dispatchPendingMessages();

    EXPECT_TRUE (a.getToggleState());
    EXPECT_FALSE (b.getToggleState());
    EXPECT_EQ (firstLog.numChanges(), 2) << "only the host's own change";
    EXPECT_EQ (secondLog.numChanges(), 1) << "the sibling switched off by an echo writes nothing";
}

TEST_F (SkinTest, RockerHalvesFireTheirSideAndShowItWhileHeld)
{
    struct Row
    {
        const char* type;
        juce::Point<int> at;
        int mods;
        std::vector<int> fired;
        int heldFrame;
    };

    const Row rows[] = {
        { "vertical", { 10, 10 }, left, { 1 }, GFXRocker::lessPressed },    // exactly half-way is "less"
        { "vertical", { 10, 9 }, left, { 2 }, GFXRocker::morePressed },
        { "horizontal", { 10, 5 }, left, { 1 }, GFXRocker::lessPressed },
        { "horizontal", { 11, 5 }, left, { 2 }, GFXRocker::morePressed },
        { "horizontal", { 11, 5 }, left | ctrl, { 4 }, GFXRocker::morePressed },
        { "horizontal", { 3, 5 }, left | ctrl, {}, GFXRocker::lessPressed },  // no Ctrl event, no fall-back
        { "Horizontal", { 3, 5 }, left, { 2 }, GFXRocker::morePressed },      // the type is exact: still vertical
    };

    for (const auto& row : rows)
    {
        Shown<GFXRocker> rocker;
        const auto element = juce::parseXML (juce::String ("<Rocker type=\"") + row.type + "\"><size width=\"20\" height=\"20\"/></Rocker>");
        rocker.loadFromXml (*element, skin);
        rocker.setImage (makeStrip (3, 20, 20), 3);
        rocker.addAction ("onLessClick", 1, {});
        rocker.addAction ("onMoreClick", 2, {});
        rocker.addAction ("onMoreClickWithCtrl", 4, {});

        rocker.mouseDown (mouseEvent (rocker, row.at, juce::ModifierKeys (row.mods)));
        EXPECT_EQ (rocker.recorder.events, row.fired) << row.type << " at " << row.at.toString();
        EXPECT_EQ (frameShown (rocker), row.heldFrame);

        rocker.mouseUp (mouseEvent (rocker, row.at, juce::ModifierKeys (row.mods)));
        EXPECT_EQ (frameShown (rocker), GFXRocker::atRest);
        EXPECT_EQ (rocker.recorder.events, row.fired) << "nothing fires on release";
    }
}

TEST (RockerTest, AHeldRockerShowsItsRestFrameWhileThePointerIsOutside)
{
    Shown<GFXRocker> rocker;
    rocker.setImage (makeStrip (3, 20, 20), 3);

    rocker.mouseDown (mouseEvent (rocker, { 5, 2 }));
    rocker.mouseDrag (mouseEvent (rocker, { 5, 30 }, left, juce::Point<int> { 5, 2 }));
    EXPECT_EQ (frameShown (rocker), GFXRocker::atRest);

    rocker.mouseDrag (mouseEvent (rocker, { 5, 3 }, left, juce::Point<int> { 5, 2 }));
    EXPECT_EQ (frameShown (rocker), GFXRocker::morePressed);
}
