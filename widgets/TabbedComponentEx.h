#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A tabbed component that tells listeners when the tab changes and draws a
    rounded outline around its pages, with the tab metrics of the framework's
    look and feel.
*/
class TabbedComponentEx : public juce::TabbedComponent
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void tabChanged (TabbedComponentEx* tabs) = 0;
    };

    explicit TabbedComponentEx (juce::TabbedButtonBar::Orientation orientation);
    ~TabbedComponentEx() override;

    /** Null and a listener already added are ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    int getIndent() const noexcept { return indent; }

    void currentTabChanged (int newCurrentTabIndex, const juce::String& newCurrentTabName) override;
    void lookAndFeelChanged() override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    juce::ListenerList<Listener> listeners;
    juce::Path outline;
    int indent = 0;

    JUCE_DECLARE_NON_COPYABLE (TabbedComponentEx)
};
