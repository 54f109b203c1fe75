#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "widgets/StatusBar.h"

#include <gtest/gtest.h>

TEST (StatusBar, ATextGivesWayOnlyToAnotherTextOfTheSameOrAHigherPriority)
{
    struct Step
    {
        const char* action;
        juce::String text;
        int priority;
        juce::String shownAfter;
        int priorityAfter;
    };

    // Starting from "Cutoff: 0.5" at priority 1.
    const Step steps[] = {
        { "lower priority", "Skin loaded", 0, "Cutoff: 0.5", 1 },
        { "same text, higher priority", "Cutoff: 0.5", 7, "Cutoff: 0.5", 1 },
        { "same priority", "Cutoff: 0.6", 1, "Cutoff: 0.6", 1 },
        { "higher priority", "Move a controller", 7, "Move a controller", 7 },
        { "clear below", "", 6, "Move a controller", 7 },
        { "clear at", "", 7, "", 0 },
    };

    StatusBar bar;
    bar.showText ("Cutoff: 0.5", 1, false);

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.action);

        if (step.text.isEmpty())
            bar.clear (step.priority);
        else
            bar.showText (step.text, step.priority, false);

        EXPECT_EQ (bar.getText(), step.shownAfter);
        EXPECT_EQ (bar.getPriority(), step.priorityAfter);
    }

    bar.showText ("Learning", 7, false);
    bar.clear (-1);
    EXPECT_EQ (bar.getText(), "");

    bar.showText ("Settings apply at the next load", 4, false);
    bar.showText ("Cutoff: 0.7", 0, true);
    EXPECT_EQ (bar.getText(), "Cutoff: 0.7");
}

TEST (StatusBar, ATemporaryTextClearsItselfUnlessAPermanentOneReplacedIt)
{
    StatusBar bar;
    bar.showTemporaryText ("Cutoff: 0.5", 6, false);
    EXPECT_TRUE (bar.isTimerRunning());
    EXPECT_EQ (bar.getTimerInterval(), 3000);

    bar.timerCallback();
    EXPECT_EQ (bar.getText(), "");
    EXPECT_EQ (bar.getPriority(), 0);
    EXPECT_FALSE (bar.isTimerRunning());

    bar.showTemporaryText ("Cutoff: 0.5", 6, false);
    bar.showText ("Processing mode: offline", 6, false);
    EXPECT_FALSE (bar.isTimerRunning());
    EXPECT_EQ (bar.getText(), "Processing mode: offline");
}

TEST (StatusBar, TakesItsHeightFromTheLookAndFeelAndPaintsTheStatusColours)
{
    TestDesktop desktop;
    StatusBar bar;
    bar.setSize (300, 40);
    desktop.adopt (bar);
    EXPECT_EQ (bar.getHeight(), 16);
    EXPECT_EQ (bar.getWidth(), 300);

    bar.showText ("MMMMMMMMMMMMMMMM", 1, false);
    const auto image = renderComponent (bar);
    const auto background = desktop.lookAndFeel.findColour (DefaultLookAndFeel::statusBarBackgroundColourId);
    EXPECT_TRUE (pixelIs (image, 2, 8, background));
    EXPECT_TRUE (pixelIs (image, 299, 8, background));

    int whitePixels = 0;

    for (int x = 5; x < 60; ++x)
        for (int y = 0; y < 16; ++y)
            whitePixels += image.getPixelAt (x, y).getBrightness() > 0.9f ? 1 : 0;

    EXPECT_GT (whitePixels, 20);
}
