#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "widgets/ComponentRow.h"
#include "widgets/CreditsText.h"
#include "widgets/HardLabel.h"
#include "widgets/PanelComponent.h"
#include "widgets/TabbedComponentEx.h"

#include <gtest/gtest.h>

namespace
{
juce::Rectangle<int> boxOf (int w, int h) { return { 0, 0, w, h }; }
} // namespace

TEST (ComponentRow, PlacesChildrenAlongTheAxisAlignedOnTheCrossAxis)
{
    struct Row
    {
        int orientation, alignment;
        juce::Rectangle<int> rowSize, first, second;
    };

    // Children 40 x 22 and 60 x 30, spacing 6.
    const Row rows[] = {
        { ComponentRow::leftToRight, ComponentRow::alignStart, boxOf (106, 30), { 0, 0, 40, 22 }, { 46, 0, 60, 30 } },
        { ComponentRow::leftToRight, ComponentRow::alignCentre, boxOf (106, 30), { 0, 4, 40, 22 }, { 46, 0, 60, 30 } },
        { ComponentRow::leftToRight, ComponentRow::alignEnd, boxOf (106, 30), { 0, 8, 40, 22 }, { 46, 0, 60, 30 } },
        { ComponentRow::topToBottom, ComponentRow::alignEnd, boxOf (60, 58), { 20, 0, 40, 22 }, { 0, 28, 60, 30 } },
    };

    for (const auto& r : rows)
    {
        SCOPED_TRACE (juce::String (r.orientation) + "/" + juce::String (r.alignment));
        ComponentRow row (r.orientation, r.alignment);
        juce::Component a, b;
        a.setSize (40, 22);
        b.setSize (60, 30);
        row.setSpacing (6);
        row.addAndMakeVisible (a);
        row.addAndMakeVisible (b);

        EXPECT_EQ (row.getLocalBounds(), r.rowSize);
        EXPECT_EQ (a.getBounds(), r.first);
        EXPECT_EQ (b.getBounds(), r.second);
    }
}

TEST (ComponentRow, FollowsAChildThatChangesSizeAndAnEmptyRowHasNoSize)
{
    ComponentRow row (ComponentRow::leftToRight, ComponentRow::alignStart);
    row.setSpacing (6);
    juce::Component a, b;
    a.setSize (40, 22);
    b.setSize (60, 22);
    row.addAndMakeVisible (a);
    row.addAndMakeVisible (b);

    a.setSize (50, 22);
    EXPECT_EQ (b.getX(), 56);
    EXPECT_EQ (row.getWidth(), 116);

    ComponentRow empty (ComponentRow::leftToRight, ComponentRow::alignStart);
    empty.setSpacing (6);
    empty.setSize (50, 50);
    empty.layoutChildren();
    EXPECT_EQ (empty.getWidth(), 0);
}

TEST (PanelComponent, FitsAroundCaptionAndContentAndPlacesTheContentBelowTheCaption)
{
    TestDesktop desktop;
    PanelComponent panel ("Pattern");
    desktop.adopt (panel);
    juce::Component content;
    content.setSize (100, 40);

    panel.setContentComponent (&content, true);

    const auto font = desktop.lookAndFeel.getPanelCaptionFont();
    const auto captionBand = (int) font.getHeight();
    EXPECT_EQ (panel.getWidth(), 116);
    EXPECT_EQ (panel.getHeight(), captionBand + 16 + 40);
    EXPECT_EQ (content.getPosition(), juce::Point<int> (8, captionBand + 8));

    content.setSize (200, 60);
    EXPECT_EQ (panel.getWidth(), 216);

    // A caption wider than the content widens the panel.
    panel.setCaption ("A much longer caption than the content is wide", true);
    EXPECT_EQ (panel.getWidth(), font.getStringWidth (panel.getCaption()) + 20);

    // The old content is removed, not deleted.
    juce::Component other;
    panel.setContentComponent (&other, false);
    EXPECT_EQ (content.getParentComponent(), nullptr);
}

TEST (PanelComponent, DrawsItsFrameInTheCaptionColourAndLeavesAGapForTheCaption)
{
    TestDesktop desktop;
    PanelComponent panel ("Sync");
    desktop.adopt (panel);
    panel.setSize (200, 80);

    const auto image = renderComponent (desktop);
    const auto frame = desktop.lookAndFeel.findColour (DefaultLookAndFeel::panelCaptionColourId);
    const auto background = desktop.lookAndFeel.findColour (DefaultLookAndFeel::backgroundColourId);
    const auto captionLine = (int) (desktop.lookAndFeel.getPanelCaptionFont().getHeight() * 0.5f);

    EXPECT_TRUE (pixelIs (image, 0, 40, frame, 20));
    EXPECT_TRUE (pixelIs (image, 100, 79, frame, 20));
    EXPECT_TRUE (pixelIs (image, 150, captionLine, frame, 20));
    EXPECT_TRUE (pixelIs (image, 100, 40, background));
}

TEST (HardLabel, MeasuresItsTextWithTheBorderAndDrawsInTheLabelColour)
{
    TestDesktop desktop;
    HardLabel label ("label", "Cutoff");
    desktop.addAndMakeVisible (label);
    label.setBorderSize ({ 0, 3, 0, 4 });
    label.setFont (desktop.lookAndFeel.getInterfaceFont());

    const auto font = desktop.lookAndFeel.getInterfaceFont();
    EXPECT_EQ (label.getTextWidth(), font.getStringWidth ("Cutoff") + 7);
    EXPECT_EQ (label.getTextWidth ("Resonance"), font.getStringWidth ("Resonance") + 7);

    // Too narrow: JUCE's label would shorten it to "C..."; the hard label cuts it.
    label.setColour (juce::Label::textColourId, juce::Colours::red);
    label.setText ("MMMMMMMM", juce::dontSendNotification);
    label.setBounds (0, 0, 30, 16);
    const auto image = renderComponent (label);
    int redPixels = 0;

    for (int x = 0; x < image.getWidth(); ++x)
        for (int y = 0; y < image.getHeight(); ++y)
            redPixels += image.getPixelAt (x, y).getRed() > 128 ? 1 : 0;

    EXPECT_GT (redPixels, 0);
    EXPECT_TRUE (pixelIs (image, 29, 0, juce::Colours::transparentBlack));
}

//==============================================================================
TEST (TabbedComponentEx, TakesTheTabMetricsAndReportsTabChanges)
{
    struct Counter : public TabbedComponentEx::Listener
    {
        void tabChanged (TabbedComponentEx* changed) override { lastIndex = changed->getCurrentTabIndex(); ++calls; }
        int lastIndex = -1, calls = 0;
    };

    TestDesktop desktop;
    TabbedComponentEx tabs (juce::TabbedButtonBar::TabsAtTop);
    desktop.adopt (tabs);
    tabs.setBounds (0, 0, 400, 300);
    Counter counter;
    tabs.addListener (&counter);
    tabs.addListener (&counter);
    tabs.addListener (nullptr);

    juce::Component first, second;
    tabs.addTab ("Sequencer", juce::Colour (0xFFC5C5C5), &first, false);
    tabs.addTab ("Synthesis", juce::Colour (0xFFC5C5C5), &second, false);
    counter.calls = 0;

    tabs.setCurrentTabIndex (1);

    EXPECT_EQ (counter.calls, 1);
    EXPECT_EQ (counter.lastIndex, 1);
    EXPECT_EQ (tabs.getTabBarDepth(), 23);
    EXPECT_EQ (tabs.getIndent(), 8);
    EXPECT_EQ (&second.getLookAndFeel(), &desktop.lookAndFeel);

    const auto image = renderComponent (tabs);
    EXPECT_TRUE (pixelIs (image, 200, 150, desktop.lookAndFeel.findColour (DefaultLookAndFeel::tabBackgroundColourId)));
    EXPECT_TRUE (pixelIs (image, 200, 299, desktop.lookAndFeel.findColour (DefaultLookAndFeel::tabOutlineColourId), 30));
}

TEST (CreditsText, ScrollsUpFromBelowAndStartsAgainOnceGone)
{
    CreditsText credits ("Tarvelin\nby Ulvra Group\nThanks");
    credits.setSize (200, 50);
    const auto& label = credits.getTextLabel();

    EXPECT_EQ (label.getHeight(), (int) (3.0f * label.getFont().getHeight()));

    credits.startScrolling();
    EXPECT_EQ (label.getY(), 55);

    credits.timerCallback();
    EXPECT_EQ (label.getY(), 54);

    // Up until the label's bottom passes above the top, then back below.
    int steps = 1;
    while (label.getY() <= 54 && steps < 500)
    {
        credits.timerCallback();
        ++steps;
    }

    EXPECT_EQ (steps, 55 + label.getHeight() + 1);
    EXPECT_EQ (label.getY(), 55);
    credits.stopScrolling();
    EXPECT_FALSE (credits.isTimerRunning());
}
