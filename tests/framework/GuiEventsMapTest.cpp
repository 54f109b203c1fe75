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

TEST (GuiEventsMap, DefinitionsWinOverTheBuiltInNamesButNotTheirUidsAndDisplayNamesHaveOnlyTheFirstLetterInUpperCase)
{
    GuiEventsMap map;
    map.loadFromXml (*juce::parseXML ("<EventsMap><event name=\"Mine\" uid=\"1000\"/>"
                                      "<event name=\"About\" uid=\"77\"/></EventsMap>"));
    map.addBuiltInEvents();

    EXPECT_EQ (map.getEventName (1000), "Options");
    EXPECT_EQ (map.getEventUid ("Mine"), -1);
    EXPECT_EQ (map.getEventUid ("About"), 77);
    EXPECT_EQ (map.getEventName (1001), "");
    EXPECT_EQ (map.getEventUid ("Toggle Midi Learn"), 1010);
    EXPECT_EQ (map.getEventDisplayName (GuiEventsMap::toggleMidiLearnEvent), "Toggle midi learn");
    EXPECT_EQ (map.getEventDisplayName (4711), "");
}

// -1 is "no such event", and the editor carries out 1000 to 1010 whatever the
// definitions say: a definition that would take either, directly or through a
// number too long for an int, is skipped, and "Options" stays the built-in event.
TEST (GuiEventsMap, DefinitionsOfUidsBelowZeroBeyondAnIntOrOfTheBuiltInEventsAreSkipped)
{
    struct Row { const char* uid; int taken; };
    const Row rows[] = {
        { "-1", -1 },
        { "-2147483648", -1 },
        { "1000", -1 },
        { "1010", -1 },
        { "2147483648", -1 },
        { "4294968296", -1 },              // 2^32 + 1000: an int's reading wraps it onto "Options"
        { "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999", -1 },
        { "999", 999 },
        { "1011", 1011 },
        { "2147483647", 2147483647 },
        { " +12", 12 },                     // read as the toolkit reads integers
        { "7up", 7 },
        { "none", 0 },
    };

    for (const auto& row : rows)
    {
        GuiEventsMap map;
        map.loadFromXml (*juce::parseXML (juce::String ("<EventsMap><event name=\"Defined\" uid=\"") + row.uid + "\"/></EventsMap>"));
        map.addBuiltInEvents();

        EXPECT_EQ (map.getEventUid ("Defined"), row.taken) << row.uid;
        EXPECT_EQ (map.getEventUid ("Options"), GuiEventsMap::optionsEvent) << row.uid;
        EXPECT_EQ (map.getEventName (-1), "") << row.uid;
        EXPECT_EQ (map.getNumEvents(), row.taken == -1 ? 11 : 12) << row.uid;
    }
}
