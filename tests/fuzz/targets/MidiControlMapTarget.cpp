#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "framework/MidiControl.h"

namespace FuzzTargets
{
using FuzzSupport::Findings;

juce::String runMidiControlMap (const std::uint8_t* data, std::size_t size)
{
    auto& table = FuzzSupport::InstrumentParameterTable::getFresh();
    MidiControl map (table);
    map.setMapName ("Tarvelin");
    map.assign (74, table.getParameterByName ("Cutoff"), false);

    const auto before = map.createXml()->toString();
    const auto loaded = map.loadFromFile (FuzzSupport::writeInputFile (data, size, ".tqccmap"));

    Findings findings;

    if (! loaded && map.createXml()->toString() != before)
        findings.add ("a refused map file changed the map");

    for (int controller = 0; controller < MidiControl::numControllers; ++controller)
    {
        const auto* parameter = map.getParameter (controller);

        if (parameter == nullptr)
            continue;

        if (table.getParameterByName (parameter->getName()) != parameter)
            findings.add ("CC " + juce::String (controller) + " moves a parameter outside the table");
        else if (! parameter->getAutoFlag())
            findings.add ("CC " + juce::String (controller) + " moves \"" + parameter->getName() + "\", which may not be learnt");

        if (map.findController (parameter) != controller)
            findings.add ("\"" + parameter->getName() + "\" stands on more than one controller");

        // Controller messages through the loaded map keep every value in range.
        for (const auto value : { 0, 64, 127 })
            map.handleController (juce::MidiMessage::controllerEvent (1, controller, value));
    }

    FuzzSupport::checkAllParameters (table, findings);
    FuzzSupport::checkVoiceRender (table, findings);
    return findings.getText();
}
} // namespace FuzzTargets
