#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A captioned frame around one content component, used by the plain option
    pages. The panel moves its content to the content area but never resizes
    it; with auto size it fits itself around the content instead.
*/
class PanelComponent : public juce::Component
{
public:
    /** The caption font, provided by DefaultLookAndFeel. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual juce::Font getPanelCaptionFont() = 0;
    };

    PanelComponent();
    explicit PanelComponent (const juce::String& captionText);

    /** Stores a changed caption; with refit, fits the width to it. */
    void setCaption (const juce::String& newCaption, bool refit);
    const juce::String& getCaption() const noexcept { return caption; }

    /** Shows a component (not owned) in the frame; the old one is removed, not deleted. */
    void setContentComponent (juce::Component* newContent, bool shouldAutoSize);
    juce::Component* getContentComponent() const noexcept { return content; }

    /** Takes the size; a negative width or height is computed from the caption and content. */
    void fitSize (int width, int height);

    /** The area inside the frame, below the caption. */
    juce::Rectangle<int> getContentArea() const;

    void layoutContent();

    void lookAndFeelChanged() override;
    void childBoundsChanged (juce::Component* child) override;
    void paint (juce::Graphics& g) override;

private:
    void takeCaptionFont();

    juce::Component* content = nullptr;
    bool autoSize = false;
    juce::String caption;
    juce::Font captionFont;

    JUCE_DECLARE_NON_COPYABLE (PanelComponent)
};
