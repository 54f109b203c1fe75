#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A top-level component "on the desktop" without a display: its peer is a
    stand-in that owns no native window, reports itself focused and contains
    every point of its bounds. Toolkit code that only trusts components on
    screen (hit tests through reallyContains, keyboard focus) then works in
    headless tests. Nothing is ever drawn to a screen.
*/
class HeadlessWindow : public juce::Component
{
public:
    explicit HeadlessWindow (int width = 400, int height = 300)
    {
        setSize (width, height);
        setVisible (true);
        addToDesktop (0);
    }

    ~HeadlessWindow() override
    {
        removeAllChildren();
        removeFromDesktop();
    }

    juce::ComponentPeer* createNewPeer (int windowStyle, void*) override
    {
        return new Peer (*this, windowStyle);
    }

private:
    class Peer : public juce::ComponentPeer
    {
    public:
        Peer (juce::Component& owner, int windowStyle) : juce::ComponentPeer (owner, windowStyle), bounds (owner.getBounds()) {}

        void* getNativeHandle() const override                                              { return nullptr; }
        void setVisible (bool) override                                                     {}
        void setTitle (const juce::String&) override                                        {}
        void setBounds (const juce::Rectangle<int>& newBounds, bool) override               { bounds = newBounds; }
        juce::Rectangle<int> getBounds() const override                                     { return bounds; }
        juce::Point<float> localToGlobal (juce::Point<float> p) override                    { return p + bounds.getPosition().toFloat(); }
        juce::Point<float> globalToLocal (juce::Point<float> p) override                    { return p - bounds.getPosition().toFloat(); }
        void setMinimised (bool) override                                                   {}
        bool isMinimised() const override                                                   { return false; }
        void setFullScreen (bool) override                                                  {}
        bool isFullScreen() const override                                                  { return false; }
        void setIcon (const juce::Image&) override                                          {}
        bool contains (juce::Point<int> p, bool) const override                             { return bounds.withZeroOrigin().contains (p); }
        OptionalBorderSize getFrameSizeIfPresent() const override                           { return {}; }
        juce::BorderSize<int> getFrameSize() const override                                 { return {}; }
        bool setAlwaysOnTop (bool) override                                                 { return true; }
        void toFront (bool) override                                                        {}
        void toBehind (juce::ComponentPeer*) override                                       {}
        bool isFocused() const override                                                     { return true; }
        void grabFocus() override                                                           {}
        void repaint (const juce::Rectangle<int>&) override                                 {}
        void performAnyPendingRepaintsNow() override                                        {}
        void setAlpha (float) override                                                      {}
        juce::StringArray getAvailableRenderingEngines() override                           { return {}; }
        void textInputRequired (juce::Point<int>, juce::TextInputTarget&) override          {}

    private:
        juce::Rectangle<int> bounds;
    };
};
