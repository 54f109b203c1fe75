#pragma once

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/ModalComponent.h"

#include <optional>

/*  Stands in for the editor in interface tests: a ModalComponent::Desktop
    with the editor's look and feel, painted in the framework background.
    Modal children (dialogs, menus, question boxes) attach to it on their
    first show. The modal area is the whole component unless one is set.
*/
class TestDesktop : public juce::Component,
                    public ModalComponent::Desktop
{
public:
    explicit TestDesktop (int width = 600, int height = 400)
    {
        setLookAndFeel (&lookAndFeel);
        setSize (width, height);

        // A top-level component without a window: visible, so that hit testing finds its children.
        setVisible (true);
    }

    ~TestDesktop() override
    {
        // Children attached to it must not outlive the look and feel with a pointer to it.
        removeAllChildren();
        setLookAndFeel (nullptr);
    }

    /** Adds a widget built elsewhere and tells it of its new look and feel, as
        the editor does when it installs its own (JUCE 7 sends no look-and-feel
        change when a component changes parents). */
    void adopt (juce::Component& widget)
    {
        addAndMakeVisible (widget);
        widget.sendLookAndFeelChange();
    }

    juce::Rectangle<int> getModalArea() const override
    {
        return modalArea.has_value() ? *modalArea : getLocalBounds();
    }

    void setModalArea (juce::Rectangle<int> area) { modalArea = area; }

    void paint (juce::Graphics& g) override
    {
        g.fillAll (findColour (DefaultLookAndFeel::backgroundColourId));
    }

    DefaultLookAndFeel lookAndFeel;

private:
    std::optional<juce::Rectangle<int>> modalArea;
};
