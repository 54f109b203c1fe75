#include "support/ParameterListeners.h"
#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/CheckBox_V2.h"
#include "widgets/ComboBoxButton.h"
#include "widgets/ComboBoxEx.h"
#include "widgets/RadioButtons_V2.h"
#include "widgets/TextButtonEx.h"
#include "widgets/TextButtonWithIcon.h"
#include "widgets/ToolbarDrawableButton.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
struct ChangeCounter : public ComboBoxEx::Listener,
                       public ComboBoxButton::Listener,
                       public RadioButtons_V2::Listener,
                       public juce::Button::Listener
{
    void comboBoxExChanged (ComboBoxEx*) override { ++calls; }
    void comboBoxButtonChanged (ComboBoxButton*) override { ++calls; }
    void radioButtonsChanged (RadioButtons_V2*) override { ++calls; }
    void buttonClicked (juce::Button*) override { ++calls; }

    int calls = 0;
};

// Parameters that count the writes made on the message thread.
struct CountedInt : public IntParameter
{
    using IntParameter::IntParameter;

    void setIntValue (int v, bool notify) override
    {
        if (juce::MessageManager::getInstance()->isThisTheMessageThread())
            ++messageThreadWrites;

        IntParameter::setIntValue (v, notify);
    }

    std::atomic<int> messageThreadWrites { 0 };
};

struct CountedBool : public BoolParameter
{
    using BoolParameter::BoolParameter;

    void setBoolValue (bool v, bool notify) override
    {
        if (juce::MessageManager::getInstance()->isThisTheMessageThread())
            ++messageThreadWrites;

        BoolParameter::setBoolValue (v, notify);
    }

    std::atomic<int> messageThreadWrites { 0 };
};

PopupMenuEx makeWaveforms()
{
    PopupMenuEx menu;
    menu.addItem (0, "Saw", false, true);
    menu.addItem (1, "Square", false, true);
    menu.addItem (2, "Pulse", false, false);
    return menu;
}

// One of every bound control on an editor stand-in, with counters on their listeners.
struct Controls
{
    Controls()
    {
        desktop.adopt (box);
        box.setBounds (10, 10, 150, 20);
        box.setMenu (makeWaveforms(), false);

        desktop.adopt (button);
        button.setBounds (200, 10, 150, 18);

        desktop.adopt (radio);
        radio.setSizeToFit (-1, -1);
        radio.setTopLeftPosition (10, 100);

        desktop.adopt (check);
        check.setBounds (10, 200, 120, 20);
        desktop.adopt (tool);
        tool.setBounds (200, 200, 24, 24);
        desktop.adopt (iconButton);
        iconButton.setBounds (250, 200, 100, 22);
        iconButton.setIcons (DefaultLookAndFeel::getIcon (24).get(), DefaultLookAndFeel::getIcon (25).get());

        for (auto* listenedTo : { static_cast<juce::Button*> (&check), static_cast<juce::Button*> (&tool),
                                  static_cast<juce::Button*> (&iconButton) })
            listenedTo->addListener (&counter);

        box.addListener (&counter);
        button.addListener (&counter);
        radio.addListener (&counter);
    }

    void bind()
    {
        box.setParameter (&boxValue);
        button.attachToParameter (&buttonValue);
        radio.setParameter (&radioValue);
        check.setParameter (&checkValue);
        tool.setParameter (&toolValue);
        iconButton.setParameter (&iconValue);

        for (auto* p : std::initializer_list<Parameter*> { &boxValue, &buttonValue, &radioValue, &checkValue, &toolValue, &iconValue })
            p->addListener (&heard);
    }

    // A point in the middle of the open menu's row, in the desktop's coordinates.
    juce::Point<int> menuRow (PopupMenuEx& menu, int row)
    {
        auto* window = menu.getMenuComponent()->getWindow (0);
        return desktop.getLocalPoint (window, juce::Point<int> (20, 14 + 16 * row));
    }

    // The parameters outlive the controls bound to them.
    CountedInt boxValue { 1, "Waveform", -1, 10, 0 };
    EnumParameter buttonValue { 2, "Quality", "Low;Medium;High", "Low" };
    CountedInt radioValue { 3, "Mode", -1, 5, 0 };
    CountedBool checkValue { 4, "Self Reset", false };
    CountedBool toolValue { 5, "Learn", false };
    CountedBool iconValue { 6, "Play", false };
    RecordingListener heard;

    TestDesktop desktop;
    ComboBoxEx box { "box" };
    ComboBoxButton button { "button" };
    RadioButtons_V2 radio { "Quality", { "Draft", "Good", "Best" } };
    CheckBox_V2 check { "Self Reset Mode" };
    ToolbarDrawableButton tool { "Learn", 27 };
    TextButtonWithIcon iconButton { "Play" };
    ChangeCounter counter;
};
} // namespace

TEST (ParameterBoundControls, FollowAParameterSetOnAnotherThreadWithoutTellingTheirListeners)
{
    Controls c;
    c.bind();
    EXPECT_EQ (c.box.getShownText(), "Saw"); // bound controls show the value at once
    EXPECT_EQ (c.button.getButton().getButtonText(), "Low");

    std::thread host ([&c]
    {
        c.boxValue.setIntValue (1, true);
        c.buttonValue.setIntValue (2, true);
        c.radioValue.setIntValue (2, true);
        c.checkValue.setBoolValue (true, true);
        c.toolValue.setBoolValue (true, true);
        c.iconValue.setBoolValue (true, true);
    });
    host.join();

    // Nothing moves until the message thread delivers the notifications.
    EXPECT_EQ (c.box.getSelectedId(), 0);
    dispatchPendingMessages();

    EXPECT_EQ (c.box.getSelectedId(), 1);
    EXPECT_EQ (c.box.getShownText(), "Square");
    EXPECT_TRUE (c.box.getMenu().findItem (1)->ticked);
    EXPECT_FALSE (c.box.getMenu().findItem (0)->ticked);
    EXPECT_EQ (c.button.getSelectedId(), 2);
    EXPECT_EQ (c.button.getButton().getButtonText(), "High");
    EXPECT_EQ (c.radio.getSelectedIndex(), 2);
    EXPECT_TRUE (c.radio.getButton (2)->getToggleState());
    EXPECT_FALSE (c.radio.getButton (0)->getToggleState());
    EXPECT_TRUE (c.check.isChecked());
    ASSERT_NE (c.check.getTick(), nullptr);
    EXPECT_TRUE (c.check.getTick()->isVisible());
    EXPECT_TRUE (c.tool.getToggleState());
    EXPECT_TRUE (c.iconButton.getToggleState());
    ASSERT_NE (c.iconButton.getOnIcon(), nullptr);
    EXPECT_TRUE (c.iconButton.getOnIcon()->isVisible());
    EXPECT_FALSE (c.iconButton.getNormalIcon()->isVisible());

    // No listener heard it, and no control wrote back what it was shown: a
    // write-back could overwrite a newer value set on the other thread meanwhile.
    EXPECT_EQ (c.counter.calls, 0);
    EXPECT_EQ (c.heard.numChanges(), 6);
    for (const auto* writes : { &c.boxValue.messageThreadWrites, &c.radioValue.messageThreadWrites, &c.checkValue.messageThreadWrites,
                                &c.toolValue.messageThreadWrites, &c.iconValue.messageThreadWrites })
        EXPECT_EQ (writes->load(), 0);
}

TEST (ParameterBoundControls, UserChoicesWriteTheParameterWithNotification)
{
    Controls c;
    c.bind();

    // Drop-down box: open, choose "Square".
    mouseDownAt (c.desktop, { 50, 20 });
    ASSERT_TRUE (c.box.getMenu().isOpen());
    EXPECT_TRUE (c.box.isMenuOpen());
    mouseDownAt (c.desktop, c.menuRow (c.box.getMenu(), 1));
    dispatchPendingMessages();
    EXPECT_FALSE (c.box.isMenuOpen());
    EXPECT_EQ (c.boxValue.getIntValue(), 1);

    // Drop-down button: the inner button triggers on the press and stays lit while open.
    mouseDownAt (c.desktop, { 250, 19 });
    ASSERT_TRUE (c.button.getMenu().isOpen());
    EXPECT_TRUE (c.button.getButton().getToggleState());
    mouseDownAt (c.desktop, c.menuRow (c.button.getMenu(), 1));
    dispatchPendingMessages();
    EXPECT_FALSE (c.button.getButton().getToggleState());
    EXPECT_EQ (c.buttonValue.getIntValue(), 1);

    // Radio group: a press on the second option.
    auto* good = c.radio.getButton (1);
    mouseDownAt (c.desktop, c.desktop.getLocalPoint (good, juce::Point<int> (5, 9)));
    EXPECT_EQ (c.radioValue.getIntValue(), 1);

    clickButton (c.check);
    EXPECT_TRUE (c.checkValue.getBoolValue());

    c.tool.setClickingTogglesState (true);
    clickButton (c.tool);
    EXPECT_TRUE (c.toolValue.getBoolValue());

    c.iconButton.setClickingTogglesState (true);
    clickButton (c.iconButton);
    EXPECT_TRUE (c.iconValue.getBoolValue());

    // Every write was heard by the parameters' own listeners.
    EXPECT_EQ (c.heard.numChanges(), 6);
    EXPECT_EQ (c.counter.calls, 6);
}

TEST (ParameterBoundControls, UnboundControlsWorkAsPlainWidgets)
{
    Controls c;

    mouseDownAt (c.desktop, { 50, 20 });
    mouseDownAt (c.desktop, c.menuRow (c.box.getMenu(), 0));
    dispatchPendingMessages();
    EXPECT_EQ (c.box.getSelectedId(), 0);

    c.button.setMenu (makeWaveforms(), false);
    c.button.setSelectedId (1, true);
    c.radio.setSelectedIndex (2, true);
    clickButton (c.check);

    EXPECT_EQ (c.button.getButton().getButtonText(), "Square");
    EXPECT_TRUE (c.check.isChecked());
    EXPECT_EQ (c.counter.calls, 4);
}

TEST (ParameterBoundControls, ComboBoxesIgnoreRepeatsUnknownIdsAndOtherComponentsResults)
{
    Controls c;
    c.bind();

    // The item already selected: nothing changes, no one is told.
    c.box.setSelectedId (0, true);
    EXPECT_EQ (c.counter.calls, 0);

    // An id no item has shows dashes in italics; a disabled item too is italic.
    c.boxValue.setIntValue (7, true);
    drainAsync (c.boxValue);
    EXPECT_EQ (c.box.getShownText(), "---");
    EXPECT_TRUE (c.box.getFont().isItalic());
    c.box.setSelectedId (2, false);
    EXPECT_EQ (c.box.getShownText(), "Pulse");
    EXPECT_TRUE (c.box.getFont().isItalic());
    c.box.setSelectedId (0, false);
    EXPECT_FALSE (c.box.getFont().isItalic());

    // One menu shared by two boxes: a result belongs to the box it was shown under.
    auto shared = std::make_unique<PopupMenuEx> (makeWaveforms());
    ComboBoxEx other ("other");
    c.desktop.adopt (other);
    other.setBounds (10, 300, 150, 20);
    c.box.setExternalMenu (shared.get());
    other.setExternalMenu (shared.get());

    mouseDownAt (c.desktop, { 50, 310 });
    mouseDownAt (c.desktop, c.menuRow (*shared, 1));
    dispatchPendingMessages();

    EXPECT_EQ (other.getSelectedId(), 1);
    EXPECT_EQ (c.box.getSelectedId(), 0);
    EXPECT_EQ (c.counter.calls, 0);

    // A shared menu that goes away leaves the box with its own.
    shared.reset();
    c.box.setSelectedId (1, false);
    EXPECT_EQ (c.box.getShownText(), "Square");
}

TEST (ParameterBoundControls, AnIndexPastTheOptionsSelectsNoneAndStillReportsTheSelection)
{
    struct Group : public RadioButtons_V2
    {
        Group() : RadioButtons_V2 ("Host play detection", { "Off", "On" }) {}
        void selectionChanged() override { ++selections; }
        int selections = 0;
    } group;

    group.setSelectedIndex (1, false);
    group.setSelectedIndex (2, false);

    EXPECT_EQ (group.getSelectedIndex(), -1);
    EXPECT_FALSE (group.getButton (0)->getToggleState());
    EXPECT_FALSE (group.getButton (1)->getToggleState());
    EXPECT_EQ (group.selections, 2);
}

TEST (ParameterBoundControls, SizesFollowTheirTexts)
{
    TestDesktop desktop;
    RadioButtons_V2 group ("Quality", { "Draft", "Best quality" });
    TextButtonWithIcon play ("Play");
    TextButtonEx ok ("OK", 0);
    desktop.adopt (group);
    desktop.adopt (play);
    desktop.adopt (ok);

    group.setSizeToFit (-1, -1);
    const auto font = desktop.lookAndFeel.getInterfaceFont();
    auto* best = group.getButton (1);
    EXPECT_EQ (best->getHeight(), 18);
    EXPECT_EQ (group.getWidth(), best->getWidth() + 16);
    EXPECT_EQ (group.getLastButtonBounds().getWidth(), (int) (font.getStringWidthFloat ("Best quality") + 1.2f * 18.0f));

    play.setIconPadding ({ 3, 1, 5, 1 });
    play.setText ("Play", false);
    play.fitToText (20);
    EXPECT_EQ (play.getWidth(), (20 - 3 - 5) + (int) (20 * 0.833f) + 1 + 1 + font.getStringWidth ("Play"));
    EXPECT_EQ (play.getIconArea(), juce::Rectangle<int> (1, 3, 12, 12));
    play.setIconOnRight (true);
    EXPECT_EQ (play.getIconArea().getRight(), play.getWidth() - 1);

    EXPECT_EQ (ok.getWidth(), ok.getTextWidth() + ok.getLeftMargin() + ok.getRightMargin());
    EXPECT_GT (ok.getTextWidth(), 0);
}

TEST (ParameterBoundControls, TheBoxOutlineLightsWhileItsMenuIsOpen)
{
    Controls c;
    c.bind();

    const auto closed = renderComponent (c.box);
    mouseDownAt (c.desktop, { 50, 20 });
    const auto open = renderComponent (c.box);
    writeScreenshot (renderComponent (c.desktop), "combo-box-open");

    EXPECT_TRUE (pixelIs (closed, 60, 0, juce::Colours::white));
    EXPECT_TRUE (pixelIs (open, 60, 0, juce::Colour (0xFFFF4500).withAlpha (0.75f)));
    EXPECT_TRUE (pixelIs (closed, 60, 10, juce::Colour (0xFFE3E3E3)));
    EXPECT_TRUE (pixelIs (closed, c.box.getWidth() - 13, 10, juce::Colour (0xFFBFBFBF)));
}
