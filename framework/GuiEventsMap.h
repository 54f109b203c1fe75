#pragma once

#include <juce_core/juce_core.h>

#include <map>

/**
    The two-way table between event names and numbers (uids). A skinned button's
    action names an event; the plug-in dispatches it by number. Names and uids
    are each unique; the first definition of either wins.
*/
class GuiEventsMap
{
public:
    /** The framework's own events, carried out by the editor layers. */
    enum BuiltInEvent
    {
        optionsEvent = 1000,
        aboutEvent,
        selectNextPresetEvent,
        selectPreviousPresetEvent,
        browsePresetsEvent,
        savePresetEvent,
        savePresetAsEvent,
        copyCurrentPresetEvent,
        pasteCopiedPresetEvent,
        storeCurrentPresetEvent,
        toggleMidiLearnEvent
    };

    GuiEventsMap() = default;

    /** Refused (false) when the name or the uid is already present. */
    bool addEvent (const juce::String& name, int uid);

    /** -1 when the name is unknown (names are case-sensitive). */
    int getEventUid (const juce::String& name) const;

    /** Empty when the uid is unknown. */
    juce::String getEventName (int uid) const;

    /** The name with only its first character in upper case: "Toggle midi learn". */
    juce::String getEventDisplayName (int uid) const;

    int getNumEvents() const noexcept { return static_cast<int> (nameByUid.size()); }

    void clear();

    /** Clears the map and reads the "EventsMap" definitions. A definition
        whose uid is below 0, beyond an int or a built-in event's (1000 to
        1010) is skipped: the built-in events keep their uids. */
    void loadFromXml (const juce::XmlElement& root);

    /** Reads a stored resource; a missing or unreadable one leaves the map unchanged. */
    void loadFromResource (const juce::String& resourceName);

    /** The framework's own events 1000 to 1010, added after the definitions were read. */
    void addBuiltInEvents();

private:
    std::map<juce::String, int> uidByName;
    std::map<int, juce::String> nameByUid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GuiEventsMap)
};
