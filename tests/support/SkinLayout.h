#pragma once

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

#include <memory>

/*  Where the default skin puts its controls, read from resources/skin.xml at
    test time, so that the tests that probe a real window or drive it with X
    input follow the skin when it is redrawn.
*/
class SkinLayout
{
public:
    /** The default skin as the repository holds it. */
    SkinLayout() : SkinLayout (juce::File (TARVELIN_RESOURCES_DIR).getChildFile ("skin.xml")) {}

    explicit SkinLayout (const juce::File& skinFile) : skin (juce::XmlDocument::parse (skinFile))
    {
        if (skin != nullptr)
            for (auto* panel : skin->getChildWithTagNameIterator ("Panel"))
                if (panel->getStringAttribute ("name") == "MainPanel")
                    mainPanel = panel;
    }

    bool isValid() const { return mainPanel != nullptr; }

    /** The main panel's size; the editor's status bar lies below it. */
    juce::Rectangle<int> getPanelBounds() const
    {
        return mainPanel != nullptr ? juce::Rectangle<int> (sizeOf (*mainPanel)) : juce::Rectangle<int>();
    }

    /** A control's bounds in the main panel, nested panels and their control
        offsets included; empty when the skin has no control of that name. */
    juce::Rectangle<int> getControlBounds (const juce::String& name) const
    {
        juce::Rectangle<int> bounds;

        if (mainPanel != nullptr)
            findControl (*mainPanel, name, {}, bounds);

        return bounds;
    }

private:
    static juce::Rectangle<int> sizeOf (const juce::XmlElement& control)
    {
        const auto* size = control.getChildByName ("size");
        return size != nullptr ? juce::Rectangle<int> (size->getIntAttribute ("width"), size->getIntAttribute ("height"))
                               : juce::Rectangle<int>();
    }

    static juce::Point<int> positionOf (const juce::XmlElement& control)
    {
        const auto* pos = control.getChildByName ("pos");
        return pos != nullptr ? juce::Point<int> (pos->getIntAttribute ("left"), pos->getIntAttribute ("top"))
                              : juce::Point<int>();
    }

    static bool findControl (const juce::XmlElement& panel, const juce::String& name, juce::Point<int> origin,
                             juce::Rectangle<int>& bounds)
    {
        const auto* controls = panel.getChildByName ("controls");

        if (controls == nullptr)
            return false;

        const auto offset = origin + juce::Point<int> (controls->getIntAttribute ("ofsX"), controls->getIntAttribute ("ofsY"));

        for (const auto* control : controls->getChildIterator())
        {
            const auto topLeft = offset + positionOf (*control);

            if (control->getStringAttribute ("name") == name)
            {
                bounds = sizeOf (*control).withPosition (topLeft);
                return true;
            }

            if (control->getTagName().equalsIgnoreCase ("Panel") && findControl (*control, name, topLeft, bounds))
                return true;
        }

        return false;
    }

    std::unique_ptr<juce::XmlElement> skin;
    const juce::XmlElement* mainPanel = nullptr;
};
