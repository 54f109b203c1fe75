#include "framework/MidiControl.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace
{
struct RecordingMidiListener : public MidiControl::Listener
{
    void midiControlMapChanged (MidiControl*) override { ++mapChanges; }
    void midiLearnStateChanged (MidiControl*) override { ++learnChanges; }
    void midiControlReceived (MidiControl*) override { ++controlsReceived; }

    int mapChanges = 0;
    int learnChanges = 0;
    int controlsReceived = 0;
};

class MidiControlTest : public ::testing::Test
{
protected:
    MidiControlTest()
    {
        const auto root = juce::parseXML (
            "<PluginParameters application=\"Tarvelin\">"
            "<param index=\"0\" name=\"Cutoff\" type=\"float\" min=\"0\" max=\"1\" value=\"0\" auto=\"true\"/>"
            "<param index=\"1\" name=\"Resonance\" type=\"float\" min=\"0\" max=\"1\" value=\"0\" auto=\"true\"/>"
            "<param index=\"2\" name=\"Decay\" type=\"float\" min=\"0\" max=\"1\" value=\"0\" auto=\"true\"/>"
            "<param index=\"3\" name=\"Lamp\" type=\"bool\" value=\"false\" auto=\"false\"/>"
            "</PluginParameters>");
        parameters.loadFromXml (*root);
        map.addListener (&listener);
        map.setMapName ("Tarvelin");
    }

    Parameter* parameter (int id) { return parameters.getParameter (id); }

    void drain() { map.handleUpdateNowIfNeeded(); }

    bool load (const char* xml)
    {
        const auto element = juce::parseXML (xml);
        return map.loadFromXml (element.get());
    }

    ParameterManager parameters;
    MidiControl map { parameters };
    RecordingMidiListener listener;
};

juce::MidiMessage controller (int number, int value)
{
    return juce::MidiMessage::controllerEvent (1, number, value);
}
} // namespace

//==============================================================================
TEST_F (MidiControlTest, AParameterHoldsOneControllerOf0To127AndAControllerOneParameterAndRepeatingAnAssignmentTellsNobody)
{
    map.assign (7, parameter (0), true);
    map.assign (10, parameter (0), true);
    EXPECT_EQ (map.getParameter (7), nullptr);
    EXPECT_EQ (map.findController (parameter (0)), 10);
    drain();
    map.assign (10, parameter (0), true);
    drain();
    EXPECT_EQ (listener.mapChanges, 1);

    map.assign (10, parameter (1), false);
    EXPECT_EQ (map.getParameter (10), parameter (1));
    EXPECT_EQ (map.findController (parameter (0)), -1);

    map.assign (128, parameter (0), true);
    map.assign (-1, parameter (0), true);
    map.unassign (200);
    EXPECT_EQ (map.findController (parameter (0)), -1);
    EXPECT_EQ (map.getParameter (128), nullptr);
}

//==============================================================================
TEST_F (MidiControlTest, LearnModeIsToldOnlyOnAChangeAndAssignsParameterThenControllerOrControllerThenParameter)
{
    map.setLearnMode (true);
    map.setLearnMode (true);
    EXPECT_EQ (listener.learnChanges, 1);

    map.setLearnParameter (parameter (0));
    map.handleController (controller (20, 0));
    drain();
    EXPECT_EQ (map.getParameter (20), parameter (0));
    EXPECT_EQ (listener.mapChanges, 1);
    EXPECT_EQ (listener.learnChanges, 2);

    map.setLearnController (21);
    map.setLearnParameter (parameter (1));
    EXPECT_EQ (map.getParameter (21), parameter (1));

    map.toggleLearnMode();
    EXPECT_FALSE (map.isLearnMode());
    EXPECT_EQ (listener.learnChanges, 3);
    EXPECT_EQ (map.getLearnParameter(), nullptr);
    EXPECT_EQ (map.getLearnController(), -1);
}

TEST_F (MidiControlTest, LearningNeverOverwritesAnOccupiedControllerButMakesItsParameterTheTargetUntilItIsFreed)
{
    map.assign (20, parameter (1), false);
    map.assign (3, parameter (0), false);
    map.assign (9, parameter (2), false);

    // Outside learn mode, selecting an occupied controller makes it the target; a free one changes nothing.
    map.selectController (9);
    map.selectController (10);
    EXPECT_EQ (map.getLearnParameter(), parameter (2));
    EXPECT_EQ (map.getLearnController(), 9);

    // The occupied controller makes its parameter the target; another parameter
    // then switches the target to that parameter's own controller.
    map.setLearnMode (true);
    map.setLearnController (20);
    EXPECT_EQ (map.getLearnParameter(), parameter (1));
    map.setLearnParameter (parameter (0));
    EXPECT_EQ (map.getLearnParameter(), parameter (0));
    EXPECT_EQ (map.getLearnController(), 3);

    map.setLearnMode (false);
    map.setLearnMode (true);
    map.unassign (9);
    map.setLearnParameter (parameter (2));
    map.setLearnController (20);
    EXPECT_EQ (map.getParameter (20), parameter (1));
    EXPECT_EQ (map.getParameter (3), parameter (0));
    EXPECT_EQ (map.findController (parameter (2)), -1);

    // Unassigning frees the controller and clears the target.
    map.unassign (20);
    EXPECT_EQ (map.getParameter (20), nullptr);
    EXPECT_EQ (map.getLearnParameter(), nullptr);
    EXPECT_EQ (map.getLearnController(), -1);
}

//==============================================================================
TEST_F (MidiControlTest, ControllerValuesSetTheNormalisedValueWithOneNotificationAndOtherMessagesMoveNothing)
{
    map.assign (7, parameter (0), false);

    map.handleController (juce::MidiMessage::noteOn (1, 7, (juce::uint8) 127));
    map.handleController (juce::MidiMessage::programChange (1, 7));
    map.handleController (controller (8, 100));
    drain();
    EXPECT_EQ (parameter (0)->getNormalisedValue(), 0.0f);
    EXPECT_EQ (map.getLastControlledParameter(), nullptr);
    EXPECT_EQ (listener.controlsReceived, 0);

    map.handleController (controller (7, 127));
    EXPECT_EQ (parameter (0)->getNormalisedValue(), 1.0f);
    map.handleController (controller (7, 64));
    EXPECT_EQ (parameter (0)->getNormalisedValue(), 64.0f / 127.0f);
    drain();
    EXPECT_EQ (map.getLastControlledParameter(), parameter (0));
    EXPECT_EQ (listener.controlsReceived, 1);
}

//==============================================================================
TEST_F (MidiControlTest, TheMapIsWrittenWithItsNameAndAssignmentsInControllerOrderAndLoadingReplacesItAndEndsLearning)
{
    const auto empty = map.createXml();
    EXPECT_EQ (empty->getTagName(), "MidiControlMap");
    EXPECT_EQ (empty->getNumAttributes(), 1);
    EXPECT_EQ (empty->getStringAttribute ("name"), "Tarvelin");
    EXPECT_EQ (empty->getNumChildElements(), 0);

    map.assign (30, parameter (0), false);
    map.assign (2, parameter (2), false);
    const auto xml = map.createXml();

    ASSERT_EQ (xml->getNumChildElements(), 2);
    EXPECT_EQ (xml->getChildElement (0)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               "<assign CC=\"2\" param=\"Decay\"/>");
    EXPECT_EQ (xml->getChildElement (1)->getIntAttribute ("CC"), 30);

    map.setLearnMode (true);
    drain();
    listener = {};
    EXPECT_TRUE (load ("<MidiControlMap name=\"Tarvelin\"><assign CC=\"5\" param=\"Cutoff\"/></MidiControlMap>"));
    drain();
    EXPECT_FALSE (map.isLearnMode());
    EXPECT_EQ (map.getParameter (2), nullptr);
    EXPECT_EQ (map.getParameter (5), parameter (0));
    EXPECT_EQ (listener.mapChanges, 1);
}

TEST_F (MidiControlTest, AMapOfAnotherPlugInOrADamagedFileChangesNothingButAnOlderOneOrOneBeforeSetUpLoads)
{
    const TemporaryFolder folder;
    map.assign (1, parameter (1), false);

    EXPECT_FALSE (load ("<MidiControlMap name=\"Other\"><assign CC=\"5\" param=\"Cutoff\"/></MidiControlMap>"));
    EXPECT_FALSE (load ("<Something name=\"Tarvelin\"/>"));
    EXPECT_FALSE (map.loadFromXml (nullptr));
    EXPECT_FALSE (map.loadFromFile (folder.write ("broken.tqccmap", "<MidiControlMap name=\"Tarvelin\"><assign CC=")));
    EXPECT_FALSE (map.loadFromFile (folder.get().getChildFile ("missing.tqccmap")));
    EXPECT_EQ (map.getParameter (1), parameter (1));
    EXPECT_EQ (map.getParameter (5), nullptr);

    EXPECT_TRUE (load ("<MidiCCMap application=\"TARVELIN\"><assign CC=\"5\" param=\"Cutoff\"/></MidiCCMap>"));
    EXPECT_EQ (map.getParameter (5), parameter (0));

    // A map without a name, before set-up, takes any map.
    MidiControl unnamed (parameters);
    EXPECT_TRUE (unnamed.loadFromXml (juce::parseXML ("<MidiControlMap name=\"Other\"/>").get()));
}

TEST_F (MidiControlTest, LoadingSkipsUnknownUnlearnableAndUnreadableAssignmentsAndATwiceListedParameterEndsOnItsLast)
{
    load ("<MidiControlMap name=\"Tarvelin\">"
          "<assign CC=\"1\" param=\"Cutoff\"/>"
          "<assign CC=\"2\" param=\"Cutoff\"/>"
          "<assign CC=\"3\" param=\"Nothing\"/>"
          "<assign CC=\"4\" param=\"Lamp\"/>"
          "<assign CC=\"128\" param=\"Resonance\"/>"
          "<assign CC=\"-3\" param=\"Resonance\"/>"
          "<assign CC=\"nan\" param=\"Resonance\"/>"
          "<assign CC=\"inf\" param=\"Resonance\"/>"
          "<assign param=\"Decay\"/>"   // a missing "CC" reads as 0
          "</MidiControlMap>");

    MidiControl::Iterator iterator (map);
    MidiControl::Assignment assignment;
    ASSERT_TRUE (iterator.next (assignment));
    EXPECT_EQ (assignment.controller, 0);
    EXPECT_EQ (assignment.parameter, parameter (2));
    ASSERT_TRUE (iterator.next (assignment));
    EXPECT_EQ (assignment.controller, 2);
    EXPECT_EQ (assignment.parameter, parameter (0));
    EXPECT_FALSE (iterator.next (assignment));
    EXPECT_EQ (assignment.parameter, nullptr);
    EXPECT_EQ (assignment.controller, -1);
}

TEST_F (MidiControlTest, TheUserMapFileLoadsBackOnlyWhenTheSettingsAskForIt)
{
    const TemporaryFolder folder;
    const auto file = folder.get().getChildFile ("user.tqccmap");
    map.assign (12, parameter (0), false);
    map.assign (71, parameter (1), false);
    ASSERT_TRUE (map.saveToFile (file));
    map.clearAll (false);
    map.setUserDefinedMapFile (file);

    EXPECT_FALSE (map.loadUserDefinedMap());
    EXPECT_EQ (map.getParameter (12), nullptr);

    map.setUseUserDefinedMap (true);
    EXPECT_TRUE (map.loadUserDefinedMap());
    EXPECT_EQ (map.getParameter (12), parameter (0));
    EXPECT_EQ (map.getParameter (71), parameter (1));
}
