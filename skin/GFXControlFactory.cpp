#include "skin/GFXControlFactory.h"

#include "skin/GFXPanel.h"

namespace GFXControlFactory
{
namespace
{
template <typename ControlClass>
Control make (const juce::String& name)
{
    auto control = std::make_unique<ControlClass> (name);
    GUIController* controller = control.get();
    return { std::move (control), controller };
}

struct Kind
{
    const char* tag;
    Control (*create) (const juce::String& name);
};

// In the vocabulary's order. "MidiKeyboard", "TextInput" and "ModulationMatrix"
// are not built yet: a skin that uses them gets a warning for an unknown tag.
const Kind kinds[] = {
    { "Panel", make<GFXPanel> },
};
} // namespace

Control create (const juce::String& tag, const juce::String& name)
{
    for (const auto& kind : kinds)
        if (tag.equalsIgnoreCase (kind.tag))
            return kind.create (name);

    return {};
}
} // namespace GFXControlFactory
