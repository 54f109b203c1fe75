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
#include "skin/ImageMidiKeyboard.h"
#include "skin/ModWheel.h"
#include "skin/ModulationMatrixComponent.h"
#include "skin/NoteDisplay.h"
#include "skin/NumericDisplay.h"
#include "skin/PatternNumberDisplay.h"
#include "skin/PitchBender.h"
#include "skin/Skin.h"
#include "skin/TextInput.h"

namespace GFXControlFactory
{
namespace
{
template <typename ControlClass>
Control own (std::unique_ptr<ControlClass> control)
{
    GUIController* controller = control.get();
    return { std::move (control), controller };
}

template <typename ControlClass>
Control make (const juce::String& name, Skin&)
{
    return own (std::make_unique<ControlClass> (name));
}

Control makeKeyboard (const juce::String& name, Skin& skin)
{
    return own (std::make_unique<ImageMidiKeyboard> (skin.getKeyboardState(), juce::KeyboardComponentBase::horizontalKeyboard, name));
}

Control makeTextInput (const juce::String& name, Skin&)
{
    return own (std::make_unique<TextInput> (name, juce::String()));
}

struct Kind
{
    const char* tag;
    Control (*create) (const juce::String& name, Skin& skin);
};

// In the vocabulary's order.
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
    { "MidiKeyboard", makeKeyboard },
    { "PitchBender", make<PitchBender> },
    { "ModWheel", make<ModWheel> },
    { "ModulationMatrix", make<ModulationMatrixComponent> },
    { "MidiChannelDisplay", make<GFXMidiChannelDisplay> },
    { "TextInput", makeTextInput },
};
} // namespace

Control create (const juce::String& tag, const juce::String& name, Skin& skin)
{
    for (const auto& kind : kinds)
        if (tag.equalsIgnoreCase (kind.tag))
            return kind.create (name, skin);

    return {};
}
} // namespace GFXControlFactory
