#include "widgets/TabbedComponentEx.h"

#include "widgets/DefaultLookAndFeel.h"

TabbedComponentEx::TabbedComponentEx (juce::TabbedButtonBar::Orientation orientation)
    : juce::TabbedComponent (orientation)
{
    lookAndFeelChanged();
}

TabbedComponentEx::~TabbedComponentEx()
{
    // The pages were handed this component's look and feel; it may die first.
    for (int i = 0; i < getNumTabs(); ++i)
        if (auto* content = getTabContentComponent (i))
            content->setLookAndFeel (nullptr);
}

void TabbedComponentEx::addListener (Listener* listener)
{
    // JUCE's list asserts on a null listener in a debug build.
    if (listener != nullptr)
        listeners.add (listener);
}

void TabbedComponentEx::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void TabbedComponentEx::currentTabChanged (int newCurrentTabIndex, const juce::String&)
{
    const juce::Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.tabChanged (this); });

    if (checker.shouldBailOut())
        return;

    if (auto* content = getTabContentComponent (newCurrentTabIndex))
        content->setLookAndFeel (&getLookAndFeel());
}

void TabbedComponentEx::lookAndFeelChanged()
{
    juce::TabbedComponent::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        setTabBarDepth (lf->getTabBarDepth());
        indent = lf->getTabIndent();
        setIndent (indent);
    }

    repaint();
}

void TabbedComponentEx::resized()
{
    const auto depth = (float) getTabBarDepth();
    outline.clear();
    outline.addRectangle (juce::Rectangle<float> (juce::Point<float> (0.5f, depth - 0.5f),
                                                  juce::Point<float> ((float) getWidth() - 0.5f, (float) getHeight() - 0.5f)));
    outline = outline.createPathWithRoundedCorners (4.0f);

    juce::TabbedComponent::resized();
}

void TabbedComponentEx::paint (juce::Graphics& g)
{
    g.setColour (findColour (DefaultLookAndFeel::tabBackgroundColourId));
    g.fillPath (outline);
    g.setColour (findColour (DefaultLookAndFeel::tabOutlineColourId));
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}
