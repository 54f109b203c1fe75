#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/WindowComponent.h"

#include <gtest/gtest.h>

namespace
{
struct Dialog : public ModalComponent
{
    Dialog() { setSize (200, 100); }
};

struct DimmedDialog : public Dialog
{
    bool wantsDimmedBackground() const override { return true; }
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colours::blue); }
};
} // namespace

TEST (ModalComponent, ShowingWithoutADesktopOnlyMakesItVisible)
{
    juce::Component plainParent;
    Dialog dialog;
    plainParent.addChildComponent (dialog);
    dialog.setTopLeftPosition (7, 9);

    dialog.showAt (ModalComponent::atPoint, { 30, 40 }, nullptr);

    EXPECT_TRUE (dialog.isVisible());
    EXPECT_EQ (dialog.getParentComponent(), &plainParent);
    EXPECT_EQ (dialog.getDesktop(), nullptr);
    EXPECT_EQ (dialog.getPosition(), juce::Point<int> (7, 9));
    EXPECT_EQ (dialog.getPlacementMode(), ModalComponent::centred);
}

TEST (ModalComponent, ShownFromDeepInsideItMovesOntoACoveringWindowOverTheNearestDesktop)
{
    TestDesktop desktop (400, 300);
    juce::Component page;
    desktop.addAndMakeVisible (page);
    page.setBounds (50, 50, 100, 100);
    Dialog dialog;
    page.addChildComponent (dialog);

    dialog.showCentred();

    auto* covering = dialog.getParentComponent();
    ASSERT_NE (covering, nullptr);
    EXPECT_EQ (covering->getParentComponent(), &desktop);
    EXPECT_EQ (covering->getBounds(), desktop.getLocalBounds());
    EXPECT_EQ (dialog.getDesktop(), &desktop);
    EXPECT_EQ (dialog.getBounds(), juce::Rectangle<int> (100, 100, 200, 100));

    // The covering window takes the mouse meant for what lies below.
    EXPECT_EQ (componentUnderMouse (desktop, { 60, 60 }), covering);
    EXPECT_EQ (componentUnderMouse (desktop, { 150, 150 }), &dialog);

    dialog.hide();
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_FALSE (covering->isVisible());
    EXPECT_EQ (componentUnderMouse (desktop, { 60, 60 }), &page);
}

TEST (ModalComponent, CentringIgnoresTheModalAreaOrigin)
{
    TestDesktop desktop (600, 500);
    desktop.setModalArea ({ 50, 50, 400, 300 });
    Dialog dialog;
    desktop.addChildComponent (dialog);

    dialog.showCentred();

    EXPECT_EQ (dialog.getPosition(), juce::Point<int> (100, 100));
}

TEST (ModalComponent, APointIsTakenInTheReferenceComponentsCoordinatesAndKeptWhileShown)
{
    TestDesktop desktop (400, 300);
    juce::Component anchor;
    desktop.addAndMakeVisible (anchor);
    anchor.setBounds (120, 80, 50, 20);
    Dialog dialog;
    anchor.addChildComponent (dialog);

    dialog.showAt (ModalComponent::atPoint, { 0, 20 }, &anchor);
    EXPECT_EQ (dialog.getPosition(), juce::Point<int> (120, 100));

    // Shown again while shown: neither the placement nor the point changes.
    dialog.showAt (ModalComponent::centred, { 5, 5 }, nullptr);
    EXPECT_EQ (dialog.getPlacementMode(), ModalComponent::atPoint);
    EXPECT_EQ (dialog.getPlacementPoint(), juce::Point<int> (120, 100));
    EXPECT_EQ (dialog.getPosition(), juce::Point<int> (120, 100));
}

TEST (ModalComponent, ResizingTheDesktopRecentresAShownDialog)
{
    TestDesktop desktop (400, 300);
    Dialog dialog;
    desktop.addChildComponent (dialog);
    dialog.showCentred();

    desktop.setSize (800, 600);

    EXPECT_EQ (dialog.getParentComponent()->getBounds(), juce::Rectangle<int> (0, 0, 800, 600));
    EXPECT_EQ (dialog.getPosition(), juce::Point<int> (300, 250));
}

TEST (ModalComponent, MovedElsewhereItTakesItsCoveringWindowAlong)
{
    TestDesktop first (400, 300), second (400, 300);
    Dialog dialog;
    first.addChildComponent (dialog);
    dialog.showCentred();
    ASSERT_EQ (first.getNumChildComponents(), 1);

    second.addChildComponent (dialog);
    EXPECT_EQ (first.getNumChildComponents(), 0);

    dialog.showCentred();
    EXPECT_EQ (dialog.getDesktop(), &second);
    EXPECT_EQ (dialog.getParentComponent()->getParentComponent(), &second);
}

TEST (ModalComponent, DeletingAShownDialogLeavesNothingOnTheDesktop)
{
    TestDesktop desktop (400, 300);
    {
        Dialog dialog;
        desktop.addChildComponent (dialog);
        dialog.showCentred();
        ASSERT_EQ (desktop.getNumChildComponents(), 1);
    }
    EXPECT_EQ (desktop.getNumChildComponents(), 0);
}

TEST (ModalComponent, OnlyADialogThatAsksForItDrawsAVeil)
{
    const auto background = juce::Colour (0xFFE3E3E3);
    const auto veiled = background.interpolatedWith (juce::Colours::white, 0.25f);

    for (const bool dimmed : { false, true })
    {
        SCOPED_TRACE (dimmed ? "dimmed" : "plain");
        TestDesktop desktop (400, 300);
        std::unique_ptr<Dialog> dialog = dimmed ? std::make_unique<DimmedDialog>() : std::make_unique<Dialog>();
        desktop.addChildComponent (*dialog);
        dialog->showCentred();

        const auto image = renderComponent (desktop);
        EXPECT_TRUE (pixelIs (image, 10, 10, dimmed ? veiled : background));
    }
}

//==============================================================================
TEST (WindowComponent, ContentSizeAddsFrameTitleBarAndMarginsAndKeepsTheMinimum)
{
    WindowComponent window;

    window.setContentSize (10, 10);
    EXPECT_EQ (window.getBounds().getWidth(), 250);
    EXPECT_EQ (window.getBounds().getHeight(), 120);

    window.setContentSize (300, 200);
    EXPECT_EQ (window.getWidth(), 318);
    EXPECT_EQ (window.getHeight(), 249);
    EXPECT_EQ (window.getContentArea(), juce::Rectangle<int> (9, 37, 300, 200));

    window.setTitleBarVisible (false);
    window.setContentSize (300, 200);
    EXPECT_EQ (window.getHeight(), 200 + 6 + 15);
}

TEST (WindowComponent, TitleBarLayoutAndItsHiding)
{
    WindowComponent window;
    window.setSize (400, 200);

    EXPECT_EQ (window.getCloseButton().getBounds(), juce::Rectangle<int> (374, 5, 20, 20));
    ASSERT_NE (window.getIcon(), nullptr);
    const auto* icon = window.getIcon();
    EXPECT_EQ (icon->getDrawableBounds().transformedBy (icon->getTransform()).toNearestInt(),
               juce::Rectangle<int> (2, 2, 27, 27));
    EXPECT_EQ (window.getTitleTextArea().getX(), 31);
    EXPECT_EQ (window.getTitleTextArea().getRight(), 400 - 31);

    window.setTitleBarVisible (false);
    EXPECT_FALSE (window.getCloseButton().isVisible());
    EXPECT_TRUE (window.getTitleBarArea().isEmpty());
    EXPECT_TRUE (window.getTitleTextArea().isEmpty());

    window.setTitleBarVisible (true);
    EXPECT_TRUE (window.getCloseButton().isVisible());
}

TEST (WindowComponent, TheCloseButtonHidesTheWindowAndDeletesNothing)
{
    TestDesktop desktop;
    WindowComponent window;
    desktop.addChildComponent (window);
    window.setContentSize (200, 100);
    window.showCentred();

    clickButton (window.getCloseButton());

    EXPECT_FALSE (window.isVisible());
    EXPECT_FALSE (window.getParentComponent()->isVisible());
}

TEST (WindowComponent, DrawsFrameTitleBarAndBackgroundFromTheColourTable)
{
    TestDesktop desktop;
    WindowComponent window;
    desktop.addAndMakeVisible (window);
    window.setTitle ("Options");
    window.setContentSize (200, 100);

    const auto image = renderComponent (window);
    const auto& lf = desktop.lookAndFeel;

    EXPECT_TRUE (pixelIs (image, 1, 60, lf.findColour (DefaultLookAndFeel::windowFrameColourId)));
    EXPECT_TRUE (pixelIs (image, 200, 2, lf.findColour (DefaultLookAndFeel::windowFrameColourId)));
    EXPECT_TRUE (pixelIs (image, 100, 80, lf.findColour (DefaultLookAndFeel::windowBackgroundColourId)));
    EXPECT_TRUE (pixelIs (image, window.getWidth() - 2, window.getHeight() - 2,
                          lf.findColour (DefaultLookAndFeel::windowFrameColourId)));

    // The close button draws only its cross: between the cross's upper arms lies the title bar.
    const auto close = window.getCloseButton().getBounds();
    EXPECT_TRUE (pixelIs (image, close.getCentreX(), close.getY() + 2, lf.findColour (DefaultLookAndFeel::windowFrameColourId)));
}
