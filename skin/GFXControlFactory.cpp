#include "skin/GFXControlFactory.h"

#include "skin/GFXAnimation.h"
#include "skin/GFXButton.h"
#include "skin/GFXDisplay.h"
#include "skin/GFXDisplayFloat.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMidiChannelDisplay.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXPanel.h"
#include "skin/GFXRocker.h"
#include "skin/GFXSwitch.h"
#include "skin/GFXToggleButton.h"
#include "skin/ModWheel.h"
#include "skin/NoteDisplay.h"
#include "skin/NumericDisplay.h"
#include "skin/PatternNumberDisplay.h"
#include "skin/PitchBender.h"

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
    { "Knob", make<GFXKnob> },
    { "Switch", make<GFXSwitch> },
    { "Animation", make<GFXAnimation> },
    { "Button", make<GFXButton> },
    { "ToggleButton", make<GFXToggleButton> },
    { "MultiStateButton", make<GFXMultiStateButton> },
    { "Display", make<GFXDisplay> },
    { "DisplayFloat", make<GFXDisplayFloat> },
    { "Rocker", make<GFXRocker> },
    { "Panel", make<GFXPanel> },
    { "NumericDisplay", make<NumericDisplay> },
    { "NoteDisplay", make<NoteDisplay> },
    { "PatternNumberDisplay", make<PatternNumberDisplay> },
    { "PitchBender", make<PitchBender> },
    { "ModWheel", make<ModWheel> },
    { "MidiChannelDisplay", make<GFXMidiChannelDisplay> },
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
