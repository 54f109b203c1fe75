#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  The editor's one-line status text. Every text carries a priority: a new
    text replaces the shown one only when it differs and its priority is not
    lower. A temporary text clears itself after 3000 ms.
*/
class StatusBar : public juce::Component,
                  public juce::Timer
{
public:
    static constexpr int temporaryTextMs = 3000;

    StatusBar();

    /** Shows the text when it differs and priority is not below the current one;
        a time-out of 1 ms or more clears it later, otherwise it stays. */
    void setText (const juce::String& newText, int priority, int timeoutMs);

    /** Clears texts of the priority or below; -1 clears whatever is shown. */
    void clear (int priority);

    void showTemporaryText (const juce::String& newText, int priority, bool clearFirst);
    void showText (const juce::String& newText, int priority, bool clearFirst);

    const juce::String& getText() const noexcept { return text; }
    int getPriority() const noexcept { return currentPriority; }

    void timerCallback() override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;

private:
    juce::Font font;
    juce::String text;
    int currentPriority = 0;

    JUCE_DECLARE_NON_COPYABLE (StatusBar)
};
