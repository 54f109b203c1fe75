#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class GUIController;
class Skin;

/*  The skin's control vocabulary: which control class each tag of a panel's
    "controls" builds. Tags are compared ignoring case.
*/
namespace GFXControlFactory
{
/** A new control: its component, and the same object as a GUIController. */
struct Control
{
    std::unique_ptr<juce::Component> component;
    GUIController* controller = nullptr;

    explicit operator bool() const noexcept { return component != nullptr; }
};

/** The control for a tag, its component named; empty for a tag the vocabulary
    lacks. The keyboard plays into the skin's keyboard state. */
Control create (const juce::String& tag, const juce::String& name, Skin& skin);
} // namespace GFXControlFactory
