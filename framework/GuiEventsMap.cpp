#include "framework/GuiEventsMap.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace
{
// A definition's uid, read as the toolkit reads integers (0 when missing or
// not a number), but false for one that does not fit (the toolkit's reading
// turns a long one into -1, or wraps it onto another uid), one below 0 (-1
// is "no such event") and one of the built-in events', which the editor
// carries out whatever the definitions say.
bool readDefinedUid (const juce::XmlElement& event, int& uid)
{
    errno = 0;
    const auto value = std::strtoll (event.getStringAttribute ("uid").toRawUTF8(), nullptr, 10);

    if (errno == ERANGE || value < 0 || value > std::numeric_limits<int>::max())
        return false;

    uid = static_cast<int> (value);
    return uid < GuiEventsMap::optionsEvent || uid > GuiEventsMap::toggleMidiLearnEvent;
}
} // namespace

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
        if (int uid = 0; readDefinedUid (event, uid))
            addEvent (event.getStringAttribute ("name"), uid);
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
