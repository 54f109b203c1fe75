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

    bool transparent = false;
    std::vector<std::unique_ptr<juce::Component>> controls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXPanel)
};
