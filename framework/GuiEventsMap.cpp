#include "framework/GuiEventsMap.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

bool GuiEventsMap::addEvent (const juce::String& name, int uid)
{
    if (uidByName.count (name) != 0 || nameByUid.count (uid) != 0)
        return false;

    uidByName.emplace (name, uid);
    nameByUid.emplace (uid, name);
    return true;
}

int GuiEventsMap::getEventUid (const juce::String& name) const
{
    const auto found = uidByName.find (name);
    return found != uidByName.end() ? found->second : -1;
}

juce::String GuiEventsMap::getEventName (int uid) const
{
    const auto found = nameByUid.find (uid);
    return found != nameByUid.end() ? found->second : juce::String();
}

juce::String GuiEventsMap::getEventDisplayName (int uid) const
{
    const auto name = getEventName (uid);

    if (name.isEmpty())
        return {};

    return name.substring (0, 1).toUpperCase() + name.substring (1).toLowerCase();
}

void GuiEventsMap::clear()
{
    uidByName.clear();
    nameByUid.clear();
}

void GuiEventsMap::loadFromXml (const juce::XmlElement& root)
{
    clear();

    if (! XmlHelpers::tagMatches (root, "EventsMap"))
        return;

    XmlHelpers::forEachChildNamed (root, "event", [this] (const juce::XmlElement& event)
    {
        addEvent (event.getStringAttribute ("name"), event.getIntAttribute ("uid", 0));
    });
}

void GuiEventsMap::loadFromResource (const juce::String& resourceName)
{
    const auto text = loadBundleResourceAsString (resourceName);

    if (text.isEmpty())
        return;

    if (const auto root = XmlFiles::parse (text))
        loadFromXml (*root);
}

void GuiEventsMap::addBuiltInEvents()
{
    static const std::pair<int, const char*> builtIn[] = {
        { optionsEvent, "Options" },
        { aboutEvent, "About" },
        { selectNextPresetEvent, "Select next preset" },
        { selectPreviousPresetEvent, "Select previous preset" },
        { browsePresetsEvent, "Browse presets" },
        { savePresetEvent, "Save preset" },
        { savePresetAsEvent, "Save preset as" },
        { copyCurrentPresetEvent, "Copy current preset" },
        { pasteCopiedPresetEvent, "Paste copied preset" },
        { storeCurrentPresetEvent, "Store current preset" },
        { toggleMidiLearnEvent, "Toggle Midi Learn" },
    };

    for (const auto& [uid, name] : builtIn)
        addEvent (name, uid);
}
