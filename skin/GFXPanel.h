#pragma once

#include "skin/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

/**
    The skin's container: a component with an optional background picture
    that builds its child controls from the "controls" element of its "Panel"
    element in "skin.xml", one control per child element, chosen by tag. The
    editor's main panel is one; a "Panel" among the controls nests another.

    Controls are stacked in document order: a later one is drawn above an
    earlier one and gets the mouse first. The panel owns them.
*/
class GFXPanel : public BaseGFXController,
                 public juce::Component
{
public:
    /** Panels nested deeper than this inside one skin are left out. */
    static constexpr int maxNestingDepth = 32;

    /** The most controls and panels a skin may have; a skin with more is not
        built at all. The default skin has 138; each control is a component
        and a message or two for the toolkit's queue, whose cost grows with
        its length squared: 4096 build in a tenth of a second, a million in
        minutes and gigabytes. */
    static constexpr int maxControls = 4096;

    /** The controls and panels that loading a "Panel" element would build
        (every element of its "controls" and of its nested panels' within the
        nesting limit, known tags or not), counted without building any and
        no further than one past the limit. */
    static int countControls (const juce::XmlElement& element, int limit);

    explicit GFXPanel (const juce::String& panelName);
    ~GFXPanel() override;

    /** A transparent panel draws nothing itself; its controls still draw. */
    void setTransparent (bool shouldBeTransparent);
    bool isTransparent() const noexcept                 { return transparent; }

    /** Adds the listener here and to every control, nested panels passing it on. */
    void addListener (GUIController::Listener* listener) override;

    /** Builds the panel and its controls from its "Panel" element; done once. */
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;

    void paint (juce::Graphics& g) override;

private:
    void loadControls (const juce::XmlElement& controls, Skin& skin);
    static int countControls (const juce::XmlElement& element, int depth, int limit);

    bool transparent = false;
    std::vector<std::unique_ptr<juce::Component>> controls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXPanel)
};
