#include "ColumnBrowserFake.h"
#include "skin/ImageMidiKeyboard.h"
#include "skin/ModulationMatrixComponent.h"
#include "skin/TextInput.h"
#include "support/UiEvents.h"
#include "support/WidgetGallery.h"
#include "widgets/AlertWindow.h"
#include "widgets/CheckBox_V2.h"
#include "widgets/ComboBoxButton.h"
#include "widgets/ComboBoxEx.h"
#include "widgets/ComponentRow.h"
#include "widgets/CreditsText.h"
#include "widgets/DefaultResourceCheckBox.h"
#include "widgets/DefaultResourcesRadioButtons.h"
#include "widgets/HardLabel.h"
#include "widgets/ModalTextEditor.h"
#include "widgets/PanelComponent.h"
#include "widgets/StatusBar.h"
#include "widgets/TabbedComponentEx.h"
#include "widgets/TextButtonEx.h"
#include "widgets/TextButtonWithIcon.h"
#include "widgets/ToolbarDrawableButton.h"

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

PopupMenuEx makePatternMenu()
{
    PopupMenuEx bankB;
    for (int i = 1; i <= 4; ++i)
        bankB.addItem (100 + i, "B" + juce::String (i) + " Acid Line", i == 2, true);

    PopupMenuEx menu;
    menu.addItem (1, "Load pattern...", false, true);
    menu.addItem (2, "Save pattern...", false, true);
    menu.addItem (3, "Revert", false, false);
    menu.addSubMenu (4, "Bank B", bankB);
    return menu;
}

// The plain controls of the option pages, and a drop-down box with its menu open.
struct Controls
{
    Controls()
    {
        PopupMenuEx waveforms;
        waveforms.addItem (0, "Saw", false, true);
        waveforms.addItem (1, "Square", false, true);
        box.setMenu (waveforms, false);
        box.setSelectedId (1, false);
        box.setSize (150, 20);

        quality.attachToParameter (&qualityValue);
        quality.setSize (150, 18);

        radio.setSelectedIndex (1, false);
        check.setChecked (true, juce::dontSendNotification);

        tools.addAndMakeVisible (add);
        tools.addAndMakeVisible (remove);
        tools.addAndMakeVisible (up);
        tools.addAndMakeVisible (down);
        for (auto* tool : { &add, &remove, &up, &down })
            tool->setSize (24, 24);
        up.setToggleState (true, juce::dontSendNotification);

        play.setIcons (DefaultLookAndFeel::getIcon (24).get(), DefaultLookAndFeel::getIcon (25).get());
        play.setText ("Play", false);
        play.fitToText (22);

        path.setPath (juce::File ("/home/user/Documents/Music/Projects/Basslines/Maps/Live Set.tqccmap"), false);
        path.setSize (300, 20);

        defaultMap.setPath (juce::File ("/home/user/Maps/Studio.tqccmap"), false);
        defaultMap.setSize (400, 20);

        defaultPatterns.setSelectedIndex (2, false);
        defaultPatterns.getPathComponent().setPath (juce::File ("/home/user/Patterns/Set 1.tqptrb"), false);

        menuStage.addAndMakeVisible (patternBox);
        patternBox.setBounds (20, 20, 160, 20);
        patternBox.setMenu (makePatternMenu(), false);
        patternBox.setSelectedId (102, false);
        mouseDownAt (menuStage, { 60, 30 });
        auto* level = patternBox.getMenu().getMenuComponent();
        auto* root = level->getWindow (0);
        mouseMoveAt (menuStage, menuStage.getLocalPoint (root, juce::Point<int> (20, 14 + 3 * 16)));
        level->openPendingLevel();
    }

    // Sizes that depend on fonts, taken once the controls have the editor's look.
    void fitToTexts()
    {
        radio.setSizeToFit (-1, -1);
        check.fitToText (20);
        play.fitToText (22);
        defaultPatterns.setSizeToFit (420, -1);
    }

    ComboBoxEx box { "box" };
    EnumParameter qualityValue { 1, "Quality", "Draft;Good;Best", "Good" };
    ComboBoxButton quality { "quality" };
    RadioButtons_V2 radio { "Quality", { "Draft", "Good", "Best" } };
    CheckBox_V2 check { "Self Reset Mode" };
    ToolbarDrawableButton add { "Add Row", DefaultLookAndFeel::addIcon }, remove { "Delete Row", DefaultLookAndFeel::deleteIcon },
        up { "Move Up", DefaultLookAndFeel::moveUpIcon }, down { "Move Down", DefaultLookAndFeel::moveDownIcon };
    ComponentRow tools { ComponentRow::leftToRight, ComponentRow::alignStart };
    TextButtonWithIcon play { "Play" };
    TextButtonEx save { "Save", 0 };
    PathComponent path;
    DefaultResourceCheckBox defaultMap { "Default map" };
    DefaultResourcesRadioButtons defaultPatterns { "Default patterns", { "Factory patterns", "Clear patterns", "User defined" } };
    ModalStage menuStage;
    ComboBoxEx patternBox { "patterns" };
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
// The larger skin controls and the column browser, as an editor shows them.
struct SkinControls
{
    SkinControls()
    {
        keyboard.setAvailableRange (36, 71);
        keyboard.setSize (21 * 16, 60);
        for (auto note : { 43, 48, 52 })
            keyboardState.noteOn (1, note, 1.0f);

        idleText.setSize (160, 20);
        editingText.setSize (160, 20);
        editingText.showEditor();

        matrix.setSize (920, 200);
        const ModulationMatrixModel::Row routings[] = { { 0, -1, 0.5f }, { 3, -1, -0.25f }, { 7, -1, 1.0f } };

        for (const auto& routing : routings)
        {
            matrix.addRow();
            auto& row = *matrix.getRow (matrix.getNumRows() - 1);
            row.getSourceBox().setSelectedId (routing.source, true);
            row.getAmountSlider().setValue (routing.amount, juce::sendNotificationSync);
            row.getAmountSlider().setModulationValue (0.8f);
        }

        matrix.selectRow (1);

        browser.setSize (500, 150);
        browser.openColumn (browser.createFirstColumn());
        browser.column (0).selectItem (0, true);
        auto& groups = browser.column (0);
        auto& items = browser.column (1);
        const auto at = [] (int row, int positionInRow) { return juce::Point<int> (40, 4 + row * ColumnBrowser::ListColumn::rowHeight + positionInRow); };
        groups.itemDragEnter ({ ColumnBrowser::dragDescription, &items.getList(), at (1, 10) });
        items.itemDragEnter ({ ColumnBrowser::dragDescription, &groups.getList(), at (1, 2) });
    }

    juce::MidiKeyboardState keyboardState;
    ImageMidiKeyboard keyboard { keyboardState, juce::KeyboardComponentBase::horizontalKeyboard, "Keys" };
    TextInput idleText { "PresetName", "Acid Line 2" }, editingText { "PatternName", "Bass Pluck" };
    ModulationMatrixComponent matrix { "Matrix" };
    ColumnBrowserFake::Browser browser;
};
} // namespace

TEST (WidgetGallery, EveryWidgetInOnePicture)
{
    Widgets w;
    Controls c;
    SkinControls sc;
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
    gallery.add ("Drop-down box", c.box);
    gallery.add ("Drop-down button", c.quality);
    gallery.add ("Radio buttons", c.radio);
    gallery.add ("Check box", c.check);
    gallery.add ("Tool buttons", c.tools);
    gallery.add ("Icon button", c.play);
    gallery.add ("Text button", c.save);
    gallery.add ("Path field", c.path);
    gallery.add ("Default map", c.defaultMap);
    gallery.add ("Default resources", c.defaultPatterns);
    gallery.add ("Open menu", c.menuStage);
    gallery.add ("Keyboard", sc.keyboard);
    gallery.add ("Text input", sc.idleText);
    gallery.add ("Text input, editing", sc.editingText);
    gallery.add ("Modulation matrix", sc.matrix);
    gallery.add ("Column browser, drop marks", sc.browser);
    c.fitToTexts();

    const auto image = gallery.render();
    EXPECT_TRUE (writeScreenshot (image, "widgets"));

    // Spot checks that the sheet holds the widgets where it says: the status
    // bar's background and the question box's title bar.
    const auto& lf = w.windowStage.lookAndFeel;
    const auto statusPoint = gallery.getSheet().getLocalPoint (&w.status, juce::Point<int> (400, 8));
    EXPECT_TRUE (pixelIs (image, statusPoint.x, statusPoint.y, lf.findColour (DefaultLookAndFeel::statusBarBackgroundColourId)));
    const auto titlePoint = gallery.getSheet().getLocalPoint (w.question.get(), juce::Point<int> (w.question->getWidth() - 40, 2));
    EXPECT_TRUE (pixelIs (image, titlePoint.x, titlePoint.y, lf.findColour (DefaultLookAndFeel::windowFrameColourId)));
    const auto selectedRowPoint = gallery.getSheet().getLocalPoint (sc.matrix.getRow (1), juce::Point<int> (2, 18));
    EXPECT_TRUE (pixelIs (image, selectedRowPoint.x, selectedRowPoint.y, juce::Colour (0xFFD09B59)));
}
