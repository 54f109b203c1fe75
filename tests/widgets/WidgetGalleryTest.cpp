#include "support/UiEvents.h"
#include "support/WidgetGallery.h"
#include "widgets/AlertWindow.h"
#include "widgets/ComponentRow.h"
#include "widgets/CreditsText.h"
#include "widgets/HardLabel.h"
#include "widgets/ModalTextEditor.h"
#include "widgets/PanelComponent.h"
#include "widgets/StatusBar.h"
#include "widgets/TabbedComponentEx.h"

#include <gtest/gtest.h>

namespace
{
// The vector icon set, drawn as the toolbar buttons recolour it.
struct IconStrip : public juce::Component
{
    IconStrip() { setSize (15 * 24, 2 * 24); }

    void paint (juce::Graphics& g) override
    {
        for (int index = 0; index < DefaultLookAndFeel::numIcons; ++index)
        {
            if (auto icon = DefaultLookAndFeel::getIcon (index))
            {
                icon->replaceColour (juce::Colours::black, juce::Colour (0xFF303030));
                icon->drawWithin (g, juce::Rectangle<float> ((float) (index % 15) * 24.0f + 4.0f, (float) (index / 15) * 24.0f + 4.0f, 16.0f, 16.0f),
                                  juce::RectanglePlacement::centred, 1.0f);
            }
        }
    }
};

// A small stand-in editor for the modal widgets.
struct ModalStage : public TestDesktop
{
    ModalStage() : TestDesktop (440, 200) {}
};

struct Widgets
{
    Widgets()
    {
        ok.setSize (60, 22);
        cancel.setSize (80, 22);
        buttons.setSpacing (6);
        buttons.addAndMakeVisible (ok);
        buttons.addAndMakeVisible (cancel);

        caption.setSize (160, 20);
        panelContent.setSize (180, 50);
        panel.setContentComponent (&panelContent, true);

        status.setSize (420, 16);
        status.showText ("Cutoff: 0.503937", 6, false);

        nameField.setSize (200, 22);
        nameField.setText ("Acid Line 2", false);

        tabs.setSize (420, 120);
        tabs.addTab ("Midi Control", juce::Colour (0xFFC5C5C5), &firstPage, false);
        tabs.addTab ("Presets", juce::Colour (0xFFC5C5C5), &secondPage, false);
        tabs.addTab ("Sequencer", juce::Colour (0xFFC5C5C5), &thirdPage, false);

        credits.setSize (200, 100);
        credits.startScrolling();
        for (int i = 0; i < 60; ++i)
            credits.timerCallback();
        credits.stopScrolling();

        scrollBar.setSize (13, 120);
        scrollBar.setRangeLimits (0.0, 100.0);
        scrollBar.setCurrentRange (20.0, 40.0);

        window.setTitle ("Options");
        window.setContentSize (200, 80);

        windowStage.addAndMakeVisible (window);
        window.setTopLeftPosition (10, 10);

        question = Ulvra::AlertWindow::createYesNoWindow ("Tarvelin", "Do you really want to clear all assignations?", nullptr);
        questionStage.addChildComponent (*question);
        question->show();
    }

    IconStrip icons;
    juce::TextButton ok { "OK" }, cancel { "Cancel" };
    ComponentRow buttons { ComponentRow::leftToRight, ComponentRow::alignEnd };
    HardLabel caption { "caption", "Default MIDI CC map" };
    juce::Component panelContent;
    PanelComponent panel { "Quality" };
    StatusBar status;
    ModalTextEditor nameField { "name" };
    juce::Component firstPage, secondPage, thirdPage;
    TabbedComponentEx tabs { juce::TabbedButtonBar::TabsAtTop };
    CreditsText credits { "Tarvelin\nbass line synthesizer\n\nUlvra Group\n\nDejaVu Sans font\nJUCE" };
    juce::ScrollBar scrollBar { true };
    ModalStage windowStage, questionStage;
    WindowComponent window;
    std::unique_ptr<Ulvra::AlertWindow> question;
};
} // namespace

TEST (WidgetGallery, EveryWidgetInOnePicture)
{
    Widgets w;
    WidgetGallery gallery;
    gallery.add ("Icons", w.icons);
    gallery.add ("Status bar", w.status);
    gallery.add ("Button row", w.buttons);
    gallery.add ("Hard label", w.caption);
    gallery.add ("Panel", w.panel);
    gallery.add ("Text field", w.nameField);
    gallery.add ("Scroll bar", w.scrollBar);
    gallery.add ("Tabs", w.tabs);
    gallery.add ("Credits", w.credits);
    gallery.add ("Window", w.windowStage);
    gallery.add ("Question box", w.questionStage);

    const auto image = gallery.render();
    EXPECT_TRUE (writeScreenshot (image, "widgets"));

    // Spot checks that the sheet holds the widgets where it says: the status
    // bar's background and the question box's title bar.
    const auto& lf = w.windowStage.lookAndFeel;
    const auto statusPoint = gallery.getSheet().getLocalPoint (&w.status, juce::Point<int> (400, 8));
    EXPECT_TRUE (pixelIs (image, statusPoint.x, statusPoint.y, lf.findColour (DefaultLookAndFeel::statusBarBackgroundColourId)));
    const auto titlePoint = gallery.getSheet().getLocalPoint (w.question.get(), juce::Point<int> (w.question->getWidth() - 40, 2));
    EXPECT_TRUE (pixelIs (image, titlePoint.x, titlePoint.y, lf.findColour (DefaultLookAndFeel::windowFrameColourId)));
}
