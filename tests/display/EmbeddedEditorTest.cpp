#include "editor/OldStylePresetBrowserWindow.h"
#include "editor/TarvelinEditor.h"
#include "skin/GFXDisplay.h"
#include "skin/GFXKnob.h"
#include "skin/GFXPanel.h"
#include "skin/NumericDisplay.h"
#include "support/HostTopLevel.h"
#include "support/MessageQueue.h"
#include "support/PixelProbe.h"
#include "support/SpawnedProcess.h"
#include "support/StripFrames.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlugins.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>
#include <map>

/*  The editor embedded as a host embeds it: the plug-in's window is an X
    child of the host's top-level window, and what counts is what the host's
    own window gets. The host (HostTopLevel) is made as GTK and JUCE hosts make
    theirs: its keys arrive at an off-screen focus window, it takes the focus
    back when asked by WM_TAKE_FOCUS, and a press in it first goes through a
    click-to-focus window manager's hands, as under openbox. The editor is
    driven with real X input (xdotool), so the toolkit's own focus handling on
    clicks and keys is what runs.
*/
namespace
{
constexpr int timeoutMs = 10000;

class EmbeddedEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE (plugin, nullptr);
        plugin->setRateAndBufferSizeDetails (44100.0, 512);
        plugin->prepareToPlay (44100.0, 512);

        wrapper.reset (plugin->createEditorIfNeeded());
        ASSERT_NE (wrapper, nullptr);
        editor = dynamic_cast<TarvelinEditor*> (plugin->getPersistentEditor());
        ASSERT_NE (editor, nullptr);

        // The pointer stays clear of the windows until a test moves it.
        xdotool ({ "mousemove", "--sync", "1270", "1000" });

        host = std::make_unique<HostTopLevel> (wrapper->getLocalBounds());
        ASSERT_TRUE (host->isValid());
        hostWindow = host->getWindow();
        ASSERT_TRUE (runMessageLoopUntil ([this] { return XServer::isViewable (hostWindow); }, timeoutMs));

        wrapper->setTopLeftPosition (0, 0);
        wrapper->addToDesktop (0, (void*) (juce::pointer_sized_uint) hostWindow);
        wrapper->setVisible (true);
        pluginWindow = windowOf (*wrapper);

        ASSERT_TRUE (runMessageLoopUntil ([this] { return XServer::isViewable (pluginWindow) && showsPanel(); }, timeoutMs))
            << "the plug-in's window does not show the panel";

        // As after a click on the host's title bar: the keyboard is the host's.
        ASSERT_TRUE (host->takeKeyboard());
        dispatchPendingMessages();
    }

    void TearDown() override
    {
        if (wrapper != nullptr)
            wrapper->removeFromDesktop();

        wrapper.reset();
        host.reset();
    }

    static unsigned long windowOf (juce::Component& component)
    {
        auto* peer = component.getPeer();
        return peer != nullptr ? (unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle() : 0;
    }

    static void xdotool (juce::StringArray arguments)
    {
        arguments.insert (0, "xdotool");
        const auto result = runTool (arguments, timeoutMs);
        EXPECT_TRUE (result.succeeded) << arguments.joinIntoString (" ") << ": " << result.failure;
    }

    template <typename Control>
    Control& control (const juce::String& name) const
    {
        auto* found = dynamic_cast<Control*> (editor->findChildComponentByName (name, true));
        EXPECT_NE (found, nullptr) << name;
        return *found;
    }

    /** Where a component of the editor is on the screen, asked of the server. */
    juce::Rectangle<int> screenBoundsOf (const juce::Component& component) const
    {
        juce::Point<int> origin;

        for (const auto& window : XServer::getViewableDescendants (hostWindow))
            if (window.id == pluginWindow)
                origin = { window.x, window.y };

        return editor->getLocalArea (&component, component.getLocalBounds()) + origin;
    }

    void clickOn (const juce::Component& component, juce::Point<int> offset = {})
    {
        const auto point = screenBoundsOf (component).getCentre() + offset;
        xdotool ({ "mousemove", "--sync", juce::String (point.x), juce::String (point.y), "click", "1" });
    }

    void type (const juce::String& text)     { xdotool ({ "type", "--delay", "20", text }); }
    void press (const juce::String& key)     { xdotool ({ "key", key }); }

    /** Runs the loop until the host's window has heard so many keys in all. */
    bool hostHears (size_t count)
    {
        return XServer::runMessageLoopWithHandOnMouseUntil ([this, count] { return host->getKeys().size() >= count; }, timeoutMs);
    }

    /** The keys the host's window heard, by their X names. */
    juce::String keysTheHostHeard() const
    {
        juce::StringArray names;

        for (const auto& key : host->getKeys())
            names.add (XServer::describeKey (key.keycode, key.state));

        return names.joinIntoString (" ");
    }

    /** Clicks and waits until the plug-in's window, which takes the X focus on
        the press, has given the keyboard back to the host. */
    bool clickAndWaitForTheHostsKeyboard (const juce::Component& component)
    {
        const auto lost = host->getTimesKeyboardLost();
        clickOn (component);
        return XServer::runMessageLoopWithHandOnMouseUntil ([&]
        {
            return host->getTimesKeyboardLost() > lost && host->hasKeyboard();
        }, timeoutMs);
    }

    /** Clicks and waits until the plug-in's window has taken the keyboard by
        the press: the press has been handled, with the focus events it brought. */
    bool clickAndWaitForThePluginsKeyboard (const juce::Component& component)
    {
        const auto lost = host->getTimesKeyboardLost();
        clickOn (component);
        const auto taken = XServer::runMessageLoopWithHandOnMouseUntil ([&]
        {
            return host->getTimesKeyboardLost() > lost && XServer::getInputFocus() == pluginWindow;
        }, timeoutMs);
        dispatchPendingMessages();
        return taken;
    }

    /** The first showing component of a kind inside a parent, or null. */
    template <typename Kind>
    static Kind* findShowing (juce::Component& parent)
    {
        for (auto* child : parent.getChildren())
        {
            if (! child->isShowing())
                continue;

            if (auto* found = dynamic_cast<Kind*> (child))
                return found;

            if (auto* found = findShowing<Kind> (*child))
                return found;
        }

        return nullptr;
    }

    /** One block of audio, so that the sequencer takes what the panel asked. */
    void playBlock (const std::vector<juce::MidiMessage>& messages = {})
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer midi;

        for (const auto& message : messages)
            midi.addEvent (message, 0);

        plugin->processBlock (buffer, midi);
    }

    juce::String presetName() const { return plugin->getPresetName (plugin->getCurrentPresetIndex()); }

    juce::StringArray allPresetNames() const
    {
        juce::StringArray names;

        for (int i = 0; i < plugin->getNumPresets(); ++i)
            names.add (plugin->getPresetName (i));

        return names;
    }

    juce::StringArray allPatternNames() const
    {
        juce::StringArray names;

        for (int i = 0; i < plugin->getNumPatterns(); ++i)
            names.add (plugin->getPatternName (i));

        return names;
    }

    /** WRITE on, with INT CLK: the pattern name can be edited. */
    void switchWriteModeOn()
    {
        editor->controllerEventTriggered (nullptr, IntSeqPlugin::toggleInternalSyncEvent);
        editor->controllerEventTriggered (nullptr, IntSeqPlugin::togglePatternWriteModeEvent);
        dispatchPendingMessages();
    }

    /** A click on a name display that starts an edit (xdotool's --sync waits for
        a move: a second click at the same point needs an offset). */
    bool startEditing (GFXDisplay& display, juce::Point<int> offset = {})
    {
        clickOn (display, offset);
        return XServer::runMessageLoopWithHandOnMouseUntil ([&] { return display.isEditing(); }, timeoutMs);
    }

    /** Waits for an edit to end; false when it goes on. */
    static bool editEnds (GFXDisplay& display)
    {
        return XServer::runMessageLoopWithHandOnMouseUntil ([&] { return ! display.isEditing(); }, timeoutMs);
    }

    /** The frame of its strip that the screen shows for a knob. */
    StripFrames::Match frameOnScreen (GFXKnob& knob) const
    {
        const auto picture = XServer::grabArea (screenBoundsOf (knob));

        // What lies behind the knob, as the editor paints it.
        knob.setVisible (false);
        const auto background = editor->createComponentSnapshot (editor->getLocalArea (&knob, knob.getLocalBounds()), true);
        knob.setVisible (true);

        return StripFrames::findShownFrame (knob, picture, background);
    }

    /** Waits until the screen shows each knob at its parameter's frame; the knobs that do not, and why, otherwise. */
    juce::String knobsOffTheirParameters (const std::vector<GFXKnob*>& knobs)
    {
        juce::String failures;

        runMessageLoopUntil ([&]
        {
            failures.clear();

            for (auto* knob : knobs)
                if (const auto shown = frameOnScreen (*knob); shown.frame != StripFrames::expectedFrame (*knob))
                    failures << knob->getName() << " shows frame " << shown.frame << " for "
                             << knob->getParameter()->getName() << "'s frame " << StripFrames::expectedFrame (*knob) << "; ";

            return failures.isEmpty();
        }, timeoutMs);

        return failures;
    }

    bool showsPanel() const
    {
        // Painted: the screen under the panel is no longer the empty window's black.
        const auto shown = XServer::grabArea (screenBoundsOf (*editor->getMainPanel()));
        int black = 0;

        for (int y = 0; y < shown.getHeight(); y += 7)
            for (int x = 0; x < shown.getWidth(); x += 7)
                black += shown.getPixelAt (x, y).getBrightness() < 0.02f ? 1 : 0;

        return shown.isValid() && black < (shown.getWidth() / 7) * (shown.getHeight() / 7) / 2;
    }

    const bool settingsRemoved = [] { removeSettingsOf (JucePlugin_Name); return true; }();
    std::unique_ptr<Tarvelin> plugin { dynamic_cast<Tarvelin*> (createPluginFilter()) };
    std::unique_ptr<juce::AudioProcessorEditor> wrapper;
    std::unique_ptr<HostTopLevel> host;
    TarvelinEditor* editor = nullptr;
    unsigned long hostWindow = 0, pluginWindow = 0;
};
} // namespace

TEST_F (EmbeddedEditor, KeysAfterAClickOnPlayGoToTheHostAndLeaveThePresetName)
{
    const auto nameBefore = presetName();
    auto& nameDisplay = control<GFXDisplay> ("PresetNameDisplay");
    EXPECT_NE (editor->getTooltipWindow(), nullptr) << "with a display, tips show";

    ASSERT_TRUE (clickAndWaitForTheHostsKeyboard (control<juce::Component> ("PlayButton")))
        << "the host does not get its keyboard back after a click on PLAY";
    type ("xyz ");
    press ("Return");
    press ("ctrl+s");

    ASSERT_TRUE (hostHears (7)) << "the host heard only: " << keysTheHostHeard();
    EXPECT_EQ (keysTheHostHeard(), "x y z space Return Control_L ctrl+s");
    EXPECT_EQ (presetName(), nameBefore);
    EXPECT_EQ (nameDisplay.getText(), nameBefore);
    EXPECT_FALSE (nameDisplay.isEditing());
    EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent(), nullptr);

    // The click did reach PLAY.
    playBlock();
    EXPECT_TRUE (plugin->isSequencerRunning());
}

TEST_F (EmbeddedEditor, AClickOnTheNameDisplayTypingAndReturnRenameThePresetAndGiveTheKeysBack)
{
    const auto nameBefore = presetName();
    auto& nameDisplay = control<GFXDisplay> ("PresetNameDisplay");

    const auto idle = XServer::grabArea (screenBoundsOf (nameDisplay));
    clickOn (nameDisplay);
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return nameDisplay.isEditing(); }, timeoutMs));
    EXPECT_EQ (XServer::getInputFocus(), pluginWindow) << "the edit has no keyboard";
    type ("abc");

    // The display scrolls to its caret at the end of the name.
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&]
    {
        return nameDisplay.getText() == nameBefore + "abc"
            && StripFrames::difference (XServer::grabArea (screenBoundsOf (nameDisplay)), idle) > 0;
    }, timeoutMs));
    EXPECT_TRUE (writeScreenshot (XServer::grabArea (screenBoundsOf (*editor)), "embedded-editor-renaming"));

    press ("Return");

    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return presetName() == nameBefore + "abc"; }, timeoutMs)) << presetName();
    EXPECT_FALSE (nameDisplay.isEditing());
    EXPECT_EQ (keysTheHostHeard(), "") << "the edit's keys reached the host";

    // The edit over, keys are the host's again.
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([this] { return host->hasKeyboard(); }, timeoutMs))
        << "the host does not get its keyboard back when the edit ends";
    type ("q");
    ASSERT_TRUE (hostHears (1));
    EXPECT_EQ (keysTheHostHeard(), "q");
    EXPECT_EQ (presetName(), nameBefore + "abc");
}

TEST_F (EmbeddedEditor, AClickOnPlayEndsANameEditAndTheKeysAfterItGoToTheHost)
{
    struct Case
    {
        const char* display;
        bool writeMode;
        std::function<juce::StringArray()> names;
    };

    const Case cases[] = {
        { "PresetNameDisplay", false, [this] { return allPresetNames(); } },
        { "PatternNameDisplay", true, [this] { return allPatternNames(); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.display);
        host->clearKeys();

        if (c.writeMode)
            switchWriteModeOn();

        const auto namesBefore = c.names();
        auto& display = control<GFXDisplay> (c.display);
        const auto shownBefore = display.getText();
        const auto wasPlaying = plugin->isSequencerRunning();

        ASSERT_TRUE (startEditing (display));
        ASSERT_TRUE (clickAndWaitForTheHostsKeyboard (control<juce::Component> ("PlayButton")))
            << "the host does not get its keyboard back after a click on PLAY";
        EXPECT_TRUE (editEnds (display));

        type ("zqxj");
        press ("Return");

        ASSERT_TRUE (hostHears (5)) << "the host heard only: " << keysTheHostHeard();
        EXPECT_EQ (keysTheHostHeard(), "z q x j Return");
        EXPECT_EQ (c.names(), namesBefore);
        EXPECT_EQ (display.getText(), shownBefore);

        // The click that ended the edit went on to PLAY.
        playBlock();
        EXPECT_NE (plugin->isSequencerRunning(), wasPlaying);
    }
}

TEST_F (EmbeddedEditor, ASecondClickOnTheNameStartsASecondRename)
{
    const auto nameBefore = presetName();
    auto& nameDisplay = control<GFXDisplay> ("PresetNameDisplay");

    ASSERT_TRUE (startEditing (nameDisplay));
    type ("ab");
    press ("Return");
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return presetName() == nameBefore + "ab"; }, timeoutMs)) << presetName();

    ASSERT_TRUE (startEditing (nameDisplay, { 10, 0 })) << "the second click starts no edit";
    type ("cd");
    press ("Return");
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return presetName() == nameBefore + "abcd"; }, timeoutMs)) << presetName();
    EXPECT_EQ (keysTheHostHeard(), "") << "the edits' keys reached the host";
}

TEST_F (EmbeddedEditor, AnEditEndsWithItsTextWhenTheHostTakesTheKeyboard)
{
    const auto nameBefore = presetName();
    auto& nameDisplay = control<GFXDisplay> ("PresetNameDisplay");

    ASSERT_TRUE (startEditing (nameDisplay));
    type ("ab");
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return nameDisplay.getText() == nameBefore + "ab"; }, timeoutMs));

    ASSERT_TRUE (host->takeKeyboard());
    EXPECT_TRUE (editEnds (nameDisplay));
    EXPECT_EQ (presetName(), nameBefore + "ab");
    EXPECT_EQ (nameDisplay.getText(), nameBefore + "ab");
}

TEST_F (EmbeddedEditor, TheBankChooserTakesATypedNameAndSavesTheBankUnderIt)
{
    const TemporaryFolder folder;
    plugin->setLastUsedFolder (folder.get());
    auto& browser = editor->getPresetBrowser();

    // The browser's list takes the keyboard; the chooser opens over it.
    ASSERT_TRUE (clickAndWaitForThePluginsKeyboard (control<juce::Component> ("PresetBrowseButton")));
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return browser.isShowing(); }, timeoutMs)) << "BROWSE opens no browser";
    clickOn (browser.getBankSaveButton());

    juce::FileChooserDialogBox* chooser = nullptr;
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&]
    {
        chooser = findShowing<juce::FileChooserDialogBox> (*editor);
        return chooser != nullptr;
    }, timeoutMs)) << "the bank's Save opens no chooser";

    auto* nameField = findShowing<juce::TextEditor> (*chooser);
    ASSERT_NE (nameField, nullptr);

    // Under the window manager the press takes the focus to the host first:
    // the keyboard must still end up in the field that was clicked.
    ASSERT_TRUE (clickAndWaitForThePluginsKeyboard (*nameField));
    type ("abc");
    const auto typed = XServer::runMessageLoopWithHandOnMouseUntil ([&] { return nameField->getText() == "abc"; }, timeoutMs);
    const auto* focused = juce::Component::getCurrentlyFocusedComponent();
    EXPECT_TRUE (typed) << "the name field shows '" << nameField->getText() << "'; the keyboard is with "
                        << (focused != nullptr ? typeid (*focused).name() : "nothing");
    EXPECT_TRUE (writeScreenshot (XServer::grabArea (screenBoundsOf (*editor)), "embedded-editor-bank-chooser"));

    press ("Return");
    const auto saved = folder.get().getChildFile ("abc.tqprsb");
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return saved.existsAsFile(); }, timeoutMs))
        << "no bank saved as " << saved.getFullPathName();
    EXPECT_TRUE (plugin->loadBankFromFile (saved)) << "the saved file is no bank";

    EXPECT_EQ (keysTheHostHeard(), "") << "the chooser's keys reached the host";
}

TEST_F (EmbeddedEditor, TheTempoKnobShowsThePatternTempoAfterOpeningAPatternChangeAndADisplayDrag)
{
    auto& knob = control<GFXKnob> ("TempoKnob");
    auto& display = control<NumericDisplay> ("TempoDisplay");
    const auto& tempo = *plugin->getParameterManager().getParameter (IntSeqPlugin::patternTempoId);

    // Pattern 1 at 130 BPM; the knob cannot be turned now, and shows it dimmed.
    EXPECT_FLOAT_EQ (tempo.getValue(), 130.0f);
    EXPECT_FALSE (knob.isEnabled());
    EXPECT_EQ (knobsOffTheirParameters ({ &knob }), "");
    EXPECT_EQ (frameOnScreen (knob).frame, 24);

    // MIDI note 19 chooses pattern 5, at 136 BPM.
    playBlock ({ juce::MidiMessage::noteOn (1, 19, (juce::uint8) 100) });
    dispatchPendingMessages();
    ASSERT_FLOAT_EQ (tempo.getValue(), 136.0f);
    EXPECT_EQ (knobsOffTheirParameters ({ &knob }), "");

    // INT CLK and WRITE on, a drag of 30 pixels up on the display's tens digit.
    editor->controllerEventTriggered (nullptr, IntSeqPlugin::toggleInternalSyncEvent);
    editor->controllerEventTriggered (nullptr, IntSeqPlugin::togglePatternWriteModeEvent);
    dispatchPendingMessages();
    ASSERT_TRUE (display.isEditable());

    const auto tens = screenBoundsOf (display).getPosition() + juce::Point<int> (display.getWidth() * 3 / 8, display.getHeight() / 2);
    juce::StringArray drag { "mousemove", "--sync", juce::String (tens.x), juce::String (tens.y), "mousedown", "1" };

    for (int step = 1; step <= 6; ++step)
        drag.addArray ({ "mousemove", "--sync", juce::String (tens.x), juce::String (tens.y - 5 * step) });

    drag.addArray ({ "mouseup", "1" });
    xdotool (drag);

    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return tempo.getValue() == 166.0f; }, timeoutMs)) << tempo.getValue();
    EXPECT_TRUE (knob.isEnabled());
    EXPECT_EQ (knobsOffTheirParameters ({ &knob }), "");
    EXPECT_EQ (frameOnScreen (knob).frame, 32);
}

TEST_F (EmbeddedEditor, EveryKnobOnTheScreenShowsItsParameterAfterAPresetChange)
{
    std::vector<GFXKnob*> knobs;
    std::function<void (juce::Component&)> collect = [&] (juce::Component& parent)
    {
        for (auto* child : parent.getChildren())
        {
            if (! child->isVisible())
                continue;

            if (auto* knob = dynamic_cast<GFXKnob*> (child); knob != nullptr && knob->hasImage() && knob->getParameter() != nullptr)
                knobs.push_back (knob);

            collect (*child);
        }
    };
    collect (*editor->getMainPanel());
    ASSERT_GE (knobs.size(), 20u);

    std::map<GFXKnob*, int> before;

    for (auto* knob : knobs)
        before[knob] = frameOnScreen (*knob).frame;

    editor->controllerEventTriggered (nullptr, GuiEventsMap::selectNextPresetEvent);
    dispatchPendingMessages();
    ASSERT_EQ (plugin->getCurrentPresetIndex(), 1);

    EXPECT_EQ (knobsOffTheirParameters (knobs), "");

    int moved = 0;

    for (auto* knob : knobs)
        moved += frameOnScreen (*knob).frame != before[knob] ? 1 : 0;

    EXPECT_GE (moved, 5) << "the second preset moves the knobs on the screen";
}
