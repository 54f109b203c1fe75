#include "framework/GuiEventsMap.h"

#include <gtest/gtest.h>

TEST (GuiEventsMap, NamesAndUidsAreEachUniqueAndNamesCaseSensitive)
{
    GuiEventsMap map;
    EXPECT_TRUE (map.addEvent ("Options", 1000));
    EXPECT_FALSE (map.addEvent ("Play", 1000));
    EXPECT_FALSE (map.addEvent ("Options", 1500));
    EXPECT_EQ (map.getNumEvents(), 1);
    EXPECT_EQ (map.getEventUid ("Options"), 1000);
    EXPECT_EQ (map.getEventUid ("options"), -1);

    // A missing resource leaves the map as it was.
    map.loadFromResource ("no-such-events.xml");
    EXPECT_EQ (map.getEventUid ("Options"), 1000);
}

TEST (GuiEventsMap, ReadsDefinitionsDefaultingAMissingUidToZeroAndAnotherRootClearsIt)
{
    GuiEventsMap map;
    map.addEvent ("Stale", 5);
    map.loadFromXml (*juce::parseXML ("<EventsMap>"
                                      "<event name=\"Clear\" uid=\"3\"/>"
                                      "<event name=\"NoUid\"/>"
                                      "<event name=\"AlsoNoUid\"/>"
                                      "<other name=\"Skipped\" uid=\"4\"/>"
                                      "<event name=\"Clear\" uid=\"9\"/>"
                                      "</EventsMap>"));

    EXPECT_EQ (map.getEventUid ("Stale"), -1);
    EXPECT_EQ (map.getEventUid ("Clear"), 3);
    EXPECT_EQ (map.getEventUid ("NoUid"), 0);
    EXPECT_EQ (map.getEventUid ("AlsoNoUid"), -1);
    EXPECT_EQ (map.getEventUid ("Skipped"), -1);
    EXPECT_EQ (map.getEventName (9), "");

    map.loadFromXml (*juce::parseXML ("<Events><event name=\"A\" uid=\"1\"/></Events>"));
    EXPECT_EQ (map.getNumEvents(), 0);
}

TEST (GuiEventsMap, DefinitionsWinOverTheBuiltInEventsWhoseDisplayNamesHaveOnlyTheFirstLetterInUpperCase)
{
    GuiEventsMap map;
    map.loadFromXml (*juce::parseXML ("<EventsMap><event name=\"Mine\" uid=\"1000\"/>"
                                      "<event name=\"About\" uid=\"77\"/></EventsMap>"));
    map.addBuiltInEvents();

    EXPECT_EQ (map.getEventName (1000), "Mine");
    EXPECT_EQ (map.getEventUid ("Options"), -1);
    EXPECT_EQ (map.getEventUid ("About"), 77);
    EXPECT_EQ (map.getEventName (1001), "");
    EXPECT_EQ (map.getEventUid ("Toggle Midi Learn"), 1010);
    EXPECT_EQ (map.getEventDisplayName (GuiEventsMap::toggleMidiLearnEvent), "Toggle midi learn");
    EXPECT_EQ (map.getEventDisplayName (4711), "");
}
