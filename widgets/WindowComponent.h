#pragma once

#include "widgets/ModalComponent.h"

#include <memory>

class WindowComponent;

/*  A modal window inside the editor: frame, 31-px title bar with icon, title
    and close button, and a content area within margins. The question box and
    the editor's option, preset and About windows are WindowComponents. The
    close button only hides the window; its owner keeps it.
*/
class WindowComponent : public ModalComponent,
                        public juce::Button::Listener
{
public:
    /** Drawing of the window, provided by DefaultLookAndFeel. With another look
        and feel the window paints nothing. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual juce::Font getWindowTitleFont() = 0;
        virtual void setCloseButtonImages (juce::ImageButton& button) = 0;
        virtual void drawWindow (juce::Graphics& g, WindowComponent& window) = 0;
    };

    static constexpr int titleBarHeight = 31;
    static constexpr int frameWidth = 3;
    static constexpr int minimumWidth = 250;
    static constexpr int minimumHeight = 120;

    WindowComponent();
    ~WindowComponent() override;

    /** A click on the close button hides the window; other buttons are left to subclasses. */
    void buttonClicked (juce::Button* button) override;

    /** Sizes the window around a content area of w x h, never below 250 x 120. */
    virtual void setContentSize (int w, int h);

    void setTitleBarVisible (bool shouldBeVisible);
    void setFrameVisible (bool shouldBeVisible);
    void setTitle (const juce::String& newTitle);
    void updateCloseButton();

    /** Takes ownership of a DrawableComposite (anything else counts as null). */
    void setIcon (juce::Drawable* newIcon);

    int getWindowStyle() const noexcept { return windowStyle; }
    bool isFrameVisible() const noexcept { return frameVisible; }
    bool isTitleBarVisible() const noexcept { return titleBarVisible; }
    const juce::String& getTitle() const noexcept { return title; }
    const juce::Font& getTitleFont() const noexcept { return titleFont; }
    juce::Rectangle<int> getTitleBarArea() const noexcept { return titleBarArea; }
    juce::Rectangle<int> getTitleTextArea() const noexcept { return titleTextArea; }
    juce::Rectangle<int> getContentArea() const noexcept { return contentArea; }
    juce::DrawableButton& getCloseButton() noexcept { return closeButton; }
    juce::Drawable* getIcon() const noexcept { return icon.get(); }

    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    int windowStyle = 0;
    bool frameVisible = true;
    bool titleBarVisible = true;
    bool closeButtonWanted = true;
    bool transparent = false;
    juce::String title;
    juce::Font titleFont;
    juce::DrawableButton closeButton { "CloseButton", juce::DrawableButton::ImageFitted };
    std::unique_ptr<juce::DrawableComposite> icon;
    juce::BorderSize<int> margins { 6, 6, 9, 6 };
    juce::Rectangle<int> titleBarArea, titleTextArea, contentArea;

    JUCE_DECLARE_NON_COPYABLE (WindowComponent)
};
