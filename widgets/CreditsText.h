#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A block of text that scrolls slowly upwards through the component, white
    on black, and starts again from below once it has left at the top.
*/
class CreditsText : public juce::Component,
                    public juce::Timer
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void creditsClicked (CreditsText* credits) = 0;
    };

    static constexpr int scrollIntervalMs = 50;

    explicit CreditsText (const juce::String& text);

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void startScrolling();
    void stopScrolling();

    /** Stops scrolling and shows the text still, from the top. */
    void showStill();

    /** The label that holds the text (it ignores the mouse). */
    const juce::Label& getTextLabel() const noexcept { return label; }

    void timerCallback() override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& event) override;

private:
    juce::Label label;
    int lineCount = 0;
    bool still = false;
    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE (CreditsText)
};
