#include "SkinTestFixture.h"

#include "support/MessageQueue.h"

#include <vector>

namespace
{
/** A control that records what its element and its parameter tell it. */
class RecordingController : public GUIController
{
public:
    void addAction (const juce::String& type, int eventId, const juce::String& displayName) override
    {
        actions.push_back (type + " " + juce::String (eventId) + " " + displayName);
    }

    void updateFromParameter (Parameter* changed) override    { updates.push_back (changed); }
    void blinkStateChanged() override                          { ++blinkChanges; }

    std::vector<juce::String> actions;
    std::vector<Parameter*> updates;
    int blinkChanges = 0;
};

class GUIControllerTest : public SkinTest
{
protected:
    void load (const juce::String& elementXml)
    {
        const auto element = juce::parseXML (elementXml);
        ASSERT_NE (element, nullptr);
        control.loadFromXml (*element, skin);
    }

    RecordingController control;
};

TEST_F (GUIControllerTest, OnlyAnExactConnectedToLinkToAKnownParameterBinds)
{
    load (R"(<Knob name="K"><links><link as="connectedto" param="Cutoff"/><link as="connectedTo" param="No Such"/>
                                   <link as="" param="Resonance"/></links></Knob>)");

    EXPECT_EQ (control.getParameter(), nullptr);
}

TEST_F (GUIControllerTest, TheSecondBindingLinkWinsAndTheFirstParameterNoLongerCallsBack)
{
    load (R"(<Knob name="K"><links><link as="connectedTo" param="Cutoff"/><link as="connectedTo" param="Resonance"/></links></Knob>)");
    ASSERT_EQ (control.getParameter(), &parameter ("Resonance"));
    EXPECT_TRUE (control.updates.empty()) << "binding does not read the value";

    parameter ("Cutoff").setNormalisedValue (parameter ("Cutoff").getNormalisedValue() > 0.5f ? 0.1f : 0.9f, true);
    parameter ("Resonance").setNormalisedValue (parameter ("Resonance").getNormalisedValue() > 0.5f ? 0.1f : 0.9f, true);
    dispatchPendingMessages();

    EXPECT_EQ (control.updates, std::vector<Parameter*> { &parameter ("Resonance") });

    control.refreshFromParameter();
    EXPECT_EQ (control.updates.size(), 2u);
}

TEST_F (GUIControllerTest, ActionsNeedATypeAndAKnownEvent)
{
    load (R"(<Button name="B"><actions><action type="onClick" event="Options"/><action type="" event="About"/>
                                     <action type="onRightClick" event="No Such Event"/>
                                     <action type="onWhatever" event="Transpose Up"/></actions></Button>)");

    // The control decides which types it knows; the base passes every typed one with a known event.
    EXPECT_EQ (control.actions, (std::vector<juce::String> { "onClick 1000 Options", "onWhatever 0 Transpose up" }));
}

TEST_F (GUIControllerTest, UnknownParametersAndEventsAreWarnedAbout)
{
    load (R"(<Knob name="K"><links><link as="connectedTo" param="Cutof"/><link as="connectedTo" param="Cutoff"/></links>
                         <actions><action type="onClick" event="Optoins"/><action type="onClick" event="Options"/></actions></Knob>)");

    ASSERT_EQ (skin.getWarnings().size(), 2);
    EXPECT_TRUE (skin.getWarnings()[0].contains ("\"K\"") && skin.getWarnings()[0].contains ("\"Cutof\""));
    EXPECT_TRUE (skin.getWarnings()[1].contains ("\"Optoins\""));
}

TEST_F (GUIControllerTest, ListenersAreToldLastAddedFirstAndMayLeaveDuringTheWalk)
{
    struct Recorder : public GUIController::Listener
    {
        Recorder (std::vector<juce::String>& l, juce::String n) : log (l), name (std::move (n)) {}

        void controllerGestureStarted (GUIController*) override       { log.push_back (name + " started"); }
        void controllerGestureEnded (GUIController*) override         { log.push_back (name + " ended"); }
        void controllerValueChanged (GUIController*) override         { log.push_back (name + " changed"); }

        void controllerEventTriggered (GUIController* controller, int id) override
        {
            log.push_back (name + " event " + juce::String (id));

            if (leaveWith != nullptr)
                for (auto* other : *leaveWith)
                    controller->removeListener (other);
        }

        std::vector<juce::String>& log;
        juce::String name;
        std::vector<GUIController::Listener*>* leaveWith = nullptr;
    };

    std::vector<juce::String> log;
    Recorder first (log, "first"), second (log, "second"), third (log, "third");
    std::vector<GUIController::Listener*> leavers { &third, &second };
    third.leaveWith = &leavers;

    control.addListener (&first);
    control.addListener (&second);
    control.addListener (&third);
    control.addListener (&second);
    control.addListener (nullptr);

    control.sendGestureStarted();
    control.sendEventTriggered (7);
    control.sendValueChanged();

    EXPECT_EQ (log, (std::vector<juce::String> { "third started", "second started", "first started",
                                                 "third event 7", "first event 7", "first changed" }));
}

TEST_F (GUIControllerTest, DestroyingAControlLeavesItsParameter)
{
    auto& cutoff = parameter ("Cutoff");
    const auto before = cutoff.getNumAsyncListeners();
    {
        RecordingController bound;
        bound.setParameter (&cutoff);
        EXPECT_EQ (cutoff.getNumAsyncListeners(), before + 1);
    }
    EXPECT_EQ (cutoff.getNumAsyncListeners(), before);
}

//==============================================================================
TEST (BlinkingComponent, StartsInTheNormalPhaseTogglesPerTickAndStopsLeavingThePhase)
{
    RecordingController lamp;
    EXPECT_FALSE (lamp.isBlinking());

    lamp.setBlinking (true, 0);
    EXPECT_TRUE (lamp.isBlinking());
    EXPECT_EQ (lamp.getBlinkPeriod(), 150);
    EXPECT_FALSE (lamp.isBlinkedOff());

    lamp.toggleBlinkPhase();
    EXPECT_TRUE (lamp.isBlinkedOff());

    lamp.setBlinking (false);
    EXPECT_FALSE (lamp.isBlinking());
    EXPECT_TRUE (lamp.getBlinkPhase());
    EXPECT_FALSE (lamp.isBlinkedOff()) << "a stopped control shows its normal look";

    lamp.setBlinking (false);
    EXPECT_EQ (lamp.blinkChanges, 3) << "start, tick, stop; stopping again tells nothing";

    lamp.startBlinking (100);
    EXPECT_FALSE (lamp.getBlinkPhase());
    lamp.startBlinking (0);
    EXPECT_EQ (lamp.getBlinkPeriod(), 100);
}
} // namespace
