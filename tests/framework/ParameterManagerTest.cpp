#include "framework/ParameterManager.h"
#include "support/ParameterListeners.h"

#include <gtest/gtest.h>

namespace
{
void load (ParameterManager& manager, const char* params)
{
    const auto root = juce::parseXML (juce::String ("<PluginParameters application=\"Tarvelin\">") + params
                                      + "</PluginParameters>");
    ASSERT_NE (root, nullptr);
    manager.loadFromXml (*root);
}
} // namespace

TEST (ParameterManager, ReadsEveryKindOfDefinitionAndDefaultsToAFloatAndRangesOfZeroToOne)
{
    ParameterManager manager;
    load (manager,
          "<param index=\"4\" name=\"Plain\" value=\"3\"/>"
          "<param index=\"5\" name=\"Cutoff\" type=\"float\" min=\"0\" max=\"2\" value=\"1.5\" auto=\"true\"/>"
          "<param index=\"6\" name=\"Steps\" type=\"int\" value=\"5\"/>"
          "<param index=\"7\" name=\"Title\" type=\"string\" value=\"Acid\"/>"
          "<param index=\"8\" name=\"Flag\" type=\"bool\" value=\"true\"/>"
          "<param index=\"9\" name=\"Power\" type=\"state\" value=\"on\"/>"
          "<param index=\"10\" name=\"Bit\" type=\"logic\" value=\"1\"/>"
          "<param index=\"11\" name=\"Ask\" type=\"answer\" value=\"yes\"/>"
          "<param index=\"12\" name=\"Wave\" type=\"enum\" enum=\"Saw;Square\" value=\"Square\"/>"
          "<param index=\"13\" name=\"Root\" type=\"note\" value=\"A-4\"/>");

    EXPECT_EQ (manager.getApplication(), "Tarvelin");
    EXPECT_NE (dynamic_cast<FloatParameter*> (manager.getParameter (4)), nullptr);
    auto* steps = dynamic_cast<IntParameter*> (manager.getParameter (6));
    ASSERT_NE (steps, nullptr);
    EXPECT_EQ (steps->getMinimum(), 0);
    EXPECT_TRUE (manager.getParameter (5)->getAutoFlag());
    EXPECT_FALSE (steps->getAutoFlag());

    juce::StringArray texts;
    for (int id = 4; id <= 13; ++id)
        texts.add (manager.getText (id));
    EXPECT_EQ (texts, juce::StringArray ({ "1", "1.5", "1", "Acid", "true", "on", "1", "yes", "Square", "A-4" }));
}

TEST (ParameterManager, SkipsDefinitionsWithoutIndexNameOrKnownTypeAndKeepsTheFirstOfTwoEqualIdsOrNames)
{
    ParameterManager manager;
    load (manager,
          "<param name=\"NoIndex\"/>"
          "<param index=\"-1\" name=\"MinusOne\"/>"
          "<param index=\"1\" name=\"\"/>"
          "<param index=\"2\" name=\"Unknown\" type=\"double\"/>"
          "<param index=\"3\" name=\"WrongCase\" type=\"Float\"/>"
          "<param index=\"4\" name=\"Bad\" type=\"float\" min=\"nan\"/>"
          "<other index=\"5\" name=\"NotAParam\"/>"
          "<param index=\"6\" name=\"Kept\"/>"
          "<param index=\"6\" name=\"SameId\"/>"
          "<param index=\"7\" name=\"Kept\"/>");

    EXPECT_EQ (manager.getNumParameters(), 1);
    EXPECT_EQ (manager.getNameOf (6), "Kept");
}

TEST (ParameterManager, HoldsEachIdAndNameOnceAndLookUpMissesAndOtherRootsGiveNothing)
{
    ParameterManager manager;
    auto* p = new FloatParameter (1, "Level", 0.0f, 1.0f, 0.5f);
    EXPECT_TRUE (manager.addParameter (p));
    EXPECT_FALSE (manager.addParameter (p));
    EXPECT_FALSE (manager.addParameter (new BoolParameter (1, "Other", false)));
    EXPECT_FALSE (manager.addParameter (new BoolParameter (2, "Level", false)));
    EXPECT_FALSE (manager.addParameter (nullptr));
    EXPECT_EQ (manager.getParameter (1), p);
    EXPECT_EQ (manager.getNumParameters(), 1);

    RecordingListener listener;
    manager.addListener (1, &listener);
    EXPECT_EQ (manager.getParameter (2), nullptr);
    EXPECT_EQ (manager.getParameterByName ("level"), nullptr);
    EXPECT_EQ (manager.getIdOf ("Nothing"), -1);
    EXPECT_EQ (manager.getNameOf (99) + manager.getText (99), "");
    EXPECT_FLOAT_EQ (manager.getValue (99), 0.0f);
    manager.setValue (99, 1.0f);
    manager.copyValue (1, 99);
    EXPECT_FLOAT_EQ (manager.getValue (1), 0.5f);
    EXPECT_EQ (listener.numChanges(), 0);

    // A missing resource leaves the table; another root empties it but keeps its application.
    manager.loadFromResource ("no-such-definitions.xml");
    EXPECT_EQ (manager.getNumParameters(), 1);
    manager.loadFromXml (*juce::parseXML ("<Something application=\"Other\"><param index=\"1\" name=\"A\"/></Something>"));
    EXPECT_EQ (manager.getNumParameters(), 0);
    EXPECT_EQ (manager.getIdOf ("Level"), -1);
    EXPECT_EQ (manager.getApplication(), "Other");
    EXPECT_TRUE (manager.addParameter (new IntParameter (1, "Level", 0, 10, 2)));
}

TEST (ParameterManager, SettersByIdNotifyAndWorkFromInsideAListener)
{
    ParameterManager manager;
    manager.addParameter (new IntParameter (1, "Steps", 0, 16, 0));
    manager.addParameter (new FloatParameter (2, "Level", 0.0f, 16.0f, 12.0f));
    manager.addParameter (new IntParameter (3, "Follower", 0, 16, 0));
    RecordingListener listener;
    manager.addListener (1, &listener);
    manager.addListener (2, &listener);

    manager.setIntValue (1, 4);
    manager.setNormalisedValue (1, 0.5f);
    manager.setValueFromText (1, "3");
    manager.setBoolValue (1, true);
    manager.copyValue (1, 2);
    EXPECT_EQ (listener.values, (std::vector<float> { 4.0f, 8.0f, 3.0f, 16.0f, 12.0f }));

    listener.onChange = [&] (Parameter* p) { manager.setIntValue (3, p->getIntValue()); };
    manager.setIntValue (1, 7);
    EXPECT_EQ (manager.getParameter (3)->getIntValue(), 7);
}

TEST (ParameterManager, AnnouncesAllValuesInDefinitionOrder)
{
    ParameterManager manager;
    manager.addParameter (new IntParameter (20, "B", 0, 10, 2));
    manager.addParameter (new IntParameter (10, "A", 0, 10, 1));
    std::vector<int> ids;
    RecordingListener sync, async;
    sync.onChange = [&] (Parameter* p) { ids.push_back (p->getId()); };
    manager.addListenerToAll (&sync);
    manager.addAsyncListenerToAll (&async);

    manager.sendAllValuesChanged();
    EXPECT_EQ (ids, (std::vector<int> { 20, 10 }));

    for (int i = 0; i < manager.getNumParameters(); ++i)
        drainAsync (*manager.getParameterAt (i));
    EXPECT_EQ (async.numChanges(), 2);

    manager.removeAsyncListenerFromAll (&async);
    EXPECT_EQ (manager.getParameter (10)->getNumAsyncListeners(), 0);
}
