#include "HostedPlugin.h"
#include "support/MessageQueue.h"
#include "support/ScreenGrab.h"
#include "support/SkinLayout.h"
#include "support/SpawnedProcess.h"
#include "support/XDoTool.h"
#include "support/XServer.h"

#include <gtest/gtest.h>

/*  The built VST3's editor opened by a host in a real window, on the virtual
    display. The hosted editor lives in the plug-in's own copy of JUCE, in an
    X window embedded in the host's (XEmbed): the host's components cannot
    reach inside it, so it is driven with X input, as a user would.
*/
namespace
{
constexpr int timeoutMs = 10000;

class HostedEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plugin = HostedPlugin::load (HostedPlugin::Format::vst3);
        ASSERT_NE (plugin, nullptr);
        plugin->prepareToPlay (44100.0, 512);
    }

    void TearDown() override
    {
        close();
        plugin.reset();
    }

    /** Opens the editor window at the screen's top left and waits until the
        server shows the plug-in's own window inside it, the editor's size,
        and the plug-in has painted its panel there. */
    ::testing::AssertionResult open()
    {
        editor.reset (plugin->createEditorIfNeeded());

        if (editor == nullptr)
            return ::testing::AssertionFailure() << "the plug-in gave no editor";

        editor->setTopLeftPosition (0, 0);
        editor->addToDesktop (0);
        editor->setVisible (true);
        hostWindow = (unsigned long) (juce::pointer_sized_uint) editor->getPeer()->getNativeHandle();

        if (! runMessageLoopUntil ([this] { return findPluginWindow().has_value(); }, timeoutMs))
            return ::testing::AssertionFailure() << "no window of the plug-in's within " << timeoutMs << " ms in an editor of "
                                                 << editor->getWidth() << " x " << editor->getHeight();

        // Mapped is not ready: until the plug-in has handled the events of its
        // window's placing and painted, its idea of where it lies may be stale,
        // and a press then lands elsewhere. Painted where the host put it, it has.
        if (! runMessageLoopUntil ([this]
            {
                const auto window = findPluginWindow();
                return window.has_value()
                    && juce::Rectangle<int> (window->x, window->y, window->width, window->height) == editor->getScreenBounds()
                    && showsPanel (XServer::grabArea (editor->getScreenBounds()));
            }, timeoutMs))
            return ::testing::AssertionFailure() << "the plug-in's window does not show its panel where the host put it within "
                                                 << timeoutMs << " ms";

        return ::testing::AssertionSuccess();
    }

    /** True when the screen of the editor shows the panel where the skin puts
        its knobs and lamps, not the black behind it. */
    bool showsPanel (const juce::Image& screen) const
    {
        if (! screen.isValid() || ! skin.isValid())
            return false;

        for (const auto* name : { "TuneKnob", "CutoffKnob", "VolumeKnob", "ArpeOnLed", "PattLen01Led" })
        {
            const auto centre = skin.getControlBounds (name).getCentre();

            if (! screen.getBounds().contains (centre) || ScreenGrab::isNear (screen.getPixelAt (centre.x, centre.y), juce::Colours::black, 8))
                return false;
        }

        return true;
    }

    void close()
    {
        editor.reset();
    }

    /** The plug-in's window, once the server shows it: a window inside the
        one that the host's editor embeds it in (XEmbed). */
    std::optional<XServer::Window> findPluginWindow() const
    {
        for (const auto& window : XServer::getViewableDescendants (hostWindow))
            if (window.parent != hostWindow)
                return window;

        return std::nullopt;
    }

    // Notes play the voice.
    const HostedPlugin::ScopedUserSettings settings { "<InternalSequencer><IntSeq state=\"off\"/></InternalSequencer>" };
    const SkinLayout skin;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    unsigned long hostWindow = 0;
};
} // namespace

TEST_F (HostedEditor, OpensAndClosesFiftyTimesAndThePluginPlaysOn)
{
    for (int cycle = 0; cycle < 50; ++cycle)
    {
        ASSERT_TRUE (open()) << "cycle " << cycle;
        const auto pluginWindow = findPluginWindow()->id;

        close();
        ASSERT_TRUE (runMessageLoopUntil ([&] { return ! XServer::isViewable (pluginWindow) && ! XServer::isViewable (hostWindow); },
                                          timeoutMs))
            << "cycle " << cycle << ": a window stays on the screen after the editor closed";
    }

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 45, (juce::uint8) 100), 0);
    HostedPlugin::processBlock (*plugin, buffer, midi);
    EXPECT_GT (buffer.getMagnitude (0, 512), 0.0f) << "the instrument still sounds after the editor's fifty windows";
}

TEST_F (HostedEditor, ShowsTheSkinnedPanelInThePluginsWindowWhereTheHostPutsIt)
{
    ASSERT_TRUE (open());
    const auto pluginWindow = *findPluginWindow();
    const auto editorOnScreen = editor->getScreenBounds();
    EXPECT_EQ (juce::Rectangle<int> (pluginWindow.x, pluginWindow.y, pluginWindow.width, pluginWindow.height), editorOnScreen);

    ASSERT_TRUE (skin.isValid());
    EXPECT_EQ (editor->getWidth(), skin.getPanelBounds().getWidth());
    EXPECT_GT (editor->getHeight(), skin.getPanelBounds().getHeight()) << "the status bar lies below the panel";

    // Where the skin puts its knobs and lamps, the plug-in paints the panel,
    // not the black behind it, as xwd's dump of the whole screen shows too.
    EXPECT_TRUE (showsPanel (ScreenGrab::grabArea (editorOnScreen))) << "the plug-in's window shows black where the skin puts its controls";
}

TEST_F (HostedEditor, AnXDragOnTheCutoffKnobMovesTheHostedSlotAndTheStatusBar)
{
    ASSERT_TRUE (open());

    ASSERT_TRUE (skin.isValid());
    const auto knob = skin.getControlBounds ("CutoffKnob");
    ASSERT_FALSE (knob.isEmpty());

    juce::AudioProcessorParameter* cutoff = nullptr;

    for (auto* slot : HostedPlugin::getSlots (*plugin))
        if (slot->getName (100) == "Cutoff")
            cutoff = slot;

    ASSERT_NE (cutoff, nullptr);
    const auto valueBefore = cutoff->getValue();

    // The status bar lies below the skin's panel.
    const auto editorOnScreen = editor->getScreenBounds();
    const auto statusStrip = editorOnScreen.withTrimmedTop (skin.getPanelBounds().getHeight());
    ASSERT_GT (statusStrip.getHeight(), 0) << "no status bar below the panel";
    // Grabbed straight from the server: a dump of the whole screen by xwd takes
    // long enough, on a loaded machine, to outlast the status text's 3 seconds.
    const auto stripBefore = XServer::grabArea (statusStrip);
    ASSERT_TRUE (stripBefore.isValid());

    // xdotool presses, drags upwards and releases while the host's message loop runs the plug-in's.
    const auto start = editorOnScreen.getPosition() + knob.getCentre();
    const juce::TemporaryFile xdotoolLog;
    SpawnedProcess xdotool;
    ASSERT_TRUE (xdotool.start (XDoTool::makeDragCommand (start, start - juce::Point<int> (0, 60)), xdotoolLog.getFile()));
    ASSERT_TRUE (runMessageLoopUntil ([&] { return ! xdotool.isRunning(); }, timeoutMs)) << "xdotool still drags";
    ASSERT_TRUE (xdotool.getEnding()->isCleanExit()) << xdotoolLog.getFile().loadFileAsString();

    // The plug-in may hold the drag's events until more X input comes (see
    // XServer): the pointer gets a nudge while the test waits.
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return cutoff->getValue() > valueBefore + 0.05f; }, timeoutMs))
        << "the hosted slot stays at " << cutoff->getValue() << " from " << valueBefore;

    juce::Image strip;
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&]
    {
        strip = XServer::grabArea (statusStrip);
        return strip.isValid() && ScreenGrab::getMatchingShare (strip, {}, stripBefore, 1, 8) < 0.99;
    }, timeoutMs)) << "the status bar does not change";
}

namespace
{
// The preset browser window, centred in the panel above the status bar, and its
// rows, which show the selected one in this grey.
constexpr int browserWidth = 639, browserHeight = 350, browserRowHeight = 20;
const juce::Colour selectedRowGrey (0xFFADADAD);

/** The selected row of the rightmost column in a grab of the browser: the
    preset column's. Empty while the browser is not shown. */
juce::Rectangle<int> findSelectedPresetRow (const juce::Image& browser)
{
    // Rows of the grab that hold a long stretch of the grey, and where it lies.
    juce::Rectangle<int> found;

    for (int y = 0; y < browser.getHeight(); ++y)
    {
        juce::Array<int> xs;

        for (int x = 0; x < browser.getWidth(); ++x)
            if (ScreenGrab::isNear (browser.getPixelAt (x, y), selectedRowGrey, 2))
                xs.add (x);

        if (xs.size() < 100)
            continue;

        // The rightmost unbroken run: the group column's selected row lies left
        // of it, past a gap, and the text on the row breaks the lines it crosses.
        auto start = xs.getLast();

        for (int i = xs.size() - 1; i > 0 && xs[i] - xs[i - 1] <= 2; --i)
            start = xs[i - 1];

        if (xs.getLast() - start < 100)
            continue;

        const juce::Rectangle<int> run (start, y, xs.getLast() - start + 1, 1);
        found = found.isEmpty() ? run : found.getUnion (run);
    }

    return found;
}
} // namespace

TEST_F (HostedEditor, MovingTheCurrentPresetInTheBrowserTellsTheHostItsNewProgram)
{
    ASSERT_TRUE (open());
    ASSERT_EQ (plugin->getNumPrograms(), 128);
    ASSERT_EQ (plugin->getCurrentProgram(), 0);

    const auto editorOnScreen = editor->getScreenBounds();
    const auto panel = skin.getPanelBounds();
    const auto browserOnScreen = juce::Rectangle<int> (browserWidth, browserHeight)
                                     .withCentre (panel.getCentre())
                                     .translated (editorOnScreen.getX(), editorOnScreen.getY());

    // BROWSE opens the browser on the current preset's group, its row selected.
    const auto browse = editorOnScreen.getPosition() + skin.getControlBounds ("PresetBrowseButton").getCentre();
    const juce::TemporaryFile clickLog;
    SpawnedProcess click;
    ASSERT_TRUE (click.start ({ "xdotool", "mousemove", "--sync", juce::String (browse.x), juce::String (browse.y), "click", "1" },
                              clickLog.getFile()));
    ASSERT_TRUE (runMessageLoopUntil ([&] { return ! click.isRunning(); }, timeoutMs));

    juce::Rectangle<int> row;
    ASSERT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&]
    {
        row = findSelectedPresetRow (XServer::grabArea (browserOnScreen));
        return row.getHeight() >= browserRowHeight / 2;
    }, timeoutMs)) << "no selected preset row in the browser";


    // Preset 0 dragged onto the lower half of the third row: it goes after it and is preset 2.
    const auto from = browserOnScreen.getPosition() + juce::Point<int> (row.getX() + 40, row.getCentreY());
    const auto to = from + juce::Point<int> (0, 2 * browserRowHeight + browserRowHeight / 4);
    const juce::TemporaryFile dragLog;
    SpawnedProcess drag;
    ASSERT_TRUE (drag.start (XDoTool::makeDragCommand (from, to, 12), dragLog.getFile()));
    ASSERT_TRUE (runMessageLoopUntil ([&] { return ! drag.isRunning(); }, timeoutMs)) << "xdotool still drags";
    ASSERT_TRUE (drag.getEnding()->isCleanExit()) << dragLog.getFile().loadFileAsString();

    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return plugin->getCurrentProgram() == 2; }, timeoutMs))
        << "the host still has program " << plugin->getCurrentProgram();
}

TEST_F (HostedEditor, ANameTypedAfterAClickReachesTheHostAndKeysAfterAClickOnPlayRenameNothing)
{
    // JUCE's host keeps the X focus in the plug-in's window while its embedding
    // component has the keyboard (XEmbed): asked to take the focus back, it
    // gives it to that window again. Whatever the keyboard does there, a click
    // on the name display still renames, and keys after a click elsewhere do not.
    ASSERT_TRUE (open());
    const auto nameBefore = HostedPlugin::getSavedPresetNames (*HostedPlugin::savePluginState (*plugin, HostedPlugin::Format::vst3))[0];
    const auto savedName = [this]
    {
        const auto state = HostedPlugin::savePluginState (*plugin, HostedPlugin::Format::vst3);
        return state != nullptr ? HostedPlugin::getSavedPresetNames (*state)[0] : juce::String();
    };

    // Clicks on a control, types and presses Return, the keys at once: X
    // delivers them after the click, whenever the plug-in reads them.
    const auto editorOnScreen = editor->getScreenBounds();
    const auto clickTypeAndReturn = [&] (const char* control, const char* text)
    {
        const auto run = [&] (const juce::StringArray& command)
        {
            const juce::TemporaryFile log;
            SpawnedProcess xdotool;
            return xdotool.start (command, log.getFile())
                && runMessageLoopUntil ([&] { return ! xdotool.isRunning(); }, timeoutMs)
                && xdotool.getEnding()->isCleanExit();
        };

        // xdotool's "type" takes every argument after it: Return goes on its own.
        const auto centre = editorOnScreen.getPosition() + skin.getControlBounds (control).getCentre();
        return run ({ "xdotool", "mousemove", "--sync", juce::String (centre.x), juce::String (centre.y), "click", "1",
                      "type", "--delay", "20", text })
            && run ({ "xdotool", "key", "Return" });
    };

    ASSERT_TRUE (clickTypeAndReturn ("PresetNameDisplay", "xyz"));
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return savedName() == nameBefore + "xyz"; }, timeoutMs))
        << "the host saves the name '" << savedName() << "'";

    // Keys typed while the focus passes through the host's windows would be
    // the host's: the next keys wait until it has settled in the plug-in's window.
    const auto pluginWindow = findPluginWindow()->id;
    const auto keyboardInThePlugin = [&]
    {
        return XServer::runMessageLoopWithHandOnMouseUntil ([&] { return XServer::getInputFocus() == pluginWindow; }, timeoutMs);
    };

    ASSERT_TRUE (keyboardInThePlugin()) << "JUCE's host keeps the keyboard in its own window";
    ASSERT_TRUE (clickTypeAndReturn ("PlayButton", "q"));
    ASSERT_TRUE (keyboardInThePlugin()) << "JUCE's host keeps the keyboard in its own window";
    ASSERT_TRUE (clickTypeAndReturn ("PresetNameDisplay", "w"));
    EXPECT_TRUE (XServer::runMessageLoopWithHandOnMouseUntil ([&] { return savedName() == nameBefore + "xyzw"; }, timeoutMs))
        << "the host saves the name '" << savedName() << "'";
}
