#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "framework/GuiEventsMap.h"
#include "framework/XmlHelpers.h"

namespace FuzzTargets
{
using FuzzSupport::Findings;

juce::String runParameterDefinitions (const std::uint8_t* data, std::size_t size)
{
    Findings findings;
    const auto root = FuzzSupport::parseText (FuzzSupport::textFrom (data, size), findings);

    if (root == nullptr)
        return findings.getText();

    ParameterManager table;
    table.loadFromXml (*root);

    for (int i = 0; i < table.getNumParameters(); ++i)
    {
        auto* parameter = table.getParameterAt (i);

        if (parameter == nullptr)
        {
            findings.add ("no parameter at position " + juce::String (i));
            continue;
        }

        const auto id = parameter->getId();
        const auto& name = parameter->getName();

        if (table.getParameter (id) != parameter || table.getParameterByName (name) != parameter
            || table.getIdOf (name) != id || table.getNameOf (id) != name)
            findings.add ("parameter " + juce::String (id) + " \"" + name + "\" is not found by its id and name");

        FuzzSupport::checkParameter (*parameter, findings);

        // Whatever a definition said, every later setting stays in range.
        for (const auto normalised : { 0.0f, 0.35f, 1.0f })
        {
            parameter->setNormalisedValue (normalised, false);
            FuzzSupport::checkParameter (*parameter, findings);
        }

        parameter->setValueFromText (parameter->getText(), false);
        parameter->setBoolValue (true, false);
        FuzzSupport::checkParameter (*parameter, findings);
    }

    return findings.getText();
}

juce::String runEventDefinitions (const std::uint8_t* data, std::size_t size)
{
    Findings findings;
    const auto root = FuzzSupport::parseText (FuzzSupport::textFrom (data, size), findings);

    if (root == nullptr)
        return findings.getText();

    GuiEventsMap events;
    events.loadFromXml (*root);
    events.addBuiltInEvents();
    int numDefinitions = 0;

    XmlHelpers::forEachChildNamed (*root, "event", [&] (const juce::XmlElement& event)
    {
        ++numDefinitions;
        const auto name = event.getStringAttribute ("name");
        const auto uid = events.getEventUid (name);

        if (uid != -1 && events.getEventName (uid) != name)
            findings.add ("event \"" + name + "\" gives uid " + juce::String (uid) + ", which names \""
                          + events.getEventName (uid) + "\"");

        events.getEventDisplayName (uid);
    });

    // A definition may take a built-in event's name, and then keeps it, but
    // never its uid, nor -1 ("no such event"): every built-in uid names its
    // own event, or nothing when a definition took its name.
    GuiEventsMap builtIn;
    builtIn.addBuiltInEvents();

    for (int uid = GuiEventsMap::optionsEvent; uid <= GuiEventsMap::toggleMidiLearnEvent; ++uid)
    {
        const auto name = builtIn.getEventName (uid);
        const auto named = events.getEventName (uid);
        const auto nameTaken = events.getEventUid (name) != -1;

        if (named.isEmpty() ? ! nameTaken : named != name)
            findings.add ("the built-in event " + juce::String (uid) + " \"" + name + "\" is missing");
    }

    if (events.getEventName (-1).isNotEmpty())
        findings.add ("an event of uid -1, which means no event");

    if (events.getNumEvents() > numDefinitions + 11)
        findings.add (juce::String (events.getNumEvents()) + " events from " + juce::String (numDefinitions) + " definitions");

    return findings.getText();
}
} // namespace FuzzTargets
