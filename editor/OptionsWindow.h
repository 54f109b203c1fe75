#pragma once

#include "widgets/TabbedComponentEx.h"
#include "widgets/WindowComponent.h"

/**
    The editor's tabbed settings window, opened by the "Options" event. Each
    editor layer adds its pages; a page inserted at index 0 becomes the first
    tab and the one shown first. The window does not own its pages.
*/
class OptionsWindow : public WindowComponent
{
public:
    static constexpr juce::uint32 tabColour = 0xFFC5C5C5;

    explicit OptionsWindow (const juce::String& windowTitle);
    ~OptionsWindow() override;

    /** Adds a tab showing the page at the index (-1 appends). */
    void addPage (const juce::String& name, juce::Component* page, int index);

    /** 1 hides the title bar and the frame, 0 shows both. */
    void setLayoutMode (int mode);
    int getLayoutMode() const noexcept                  { return layoutMode; }

    TabbedComponentEx& getTabs() noexcept               { return tabs; }

    void resized() override;

private:
    TabbedComponentEx tabs { juce::TabbedButtonBar::TabsAtTop };
    int layoutMode = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OptionsWindow)
};
