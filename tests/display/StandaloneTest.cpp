#include "support/EditorWindow.h"
#include "support/PixelProbe.h"
#include "support/ScreenGrab.h"
#include "support/SkinLayout.h"
#include "support/SpawnedProcess.h"
#include "support/TemporaryFolder.h"
#include "support/StripFrames.h"
#include "support/XDoTool.h"

#include <gtest/gtest.h>

#include <csignal>

/*  The built Standalone as a user starts it, on the virtual display, with
    settings folders of its own (no settings yet): its window shows the
    editor, and an interrupt (Ctrl+C in a terminal) or a termination (a
    logout, `kill`) ends it cleanly, with what its close button saves saved
    and its settings written on the way out.
*/
namespace
{
constexpr int startTimeoutMs = 30000;
constexpr int stopTimeoutMs = 20000;

/** The knobs and lamps probed on the screen: resting ones, whose pictures do
    not change by themselves. */
const char* const probedControls[] = { "TuneKnob", "CutoffKnob", "ResonanceKnob", "VolumeKnob",
                                        "ArpeOnLed", "PattLen01Led", "MidiLearnButton" };

class StandaloneWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The editor the Standalone should show, as it paints itself: made the
        // same way, with no settings either.
        {
            EditorWindow reference;
            ASSERT_TRUE (reference.open());
            expected = renderComponent (*reference.getEditor());
        }

        // JUCE's Standalone keeps its own window and device settings under
        // ~/.config, so HOME is temporary too.
        const auto home = folder.get();
        const juce::StringPairArray environment = [&]
        {
            juce::StringPairArray variables;
            variables.set ("HOME", home.getFullPathName());
            variables.set ("XDG_CONFIG_HOME", home.getChildFile ("config").getFullPathName());
            variables.set ("XDG_DATA_HOME", home.getChildFile ("data").getFullPathName());
            variables.set ("JACK_NO_START_SERVER", "1");
            return variables;
        }();

        ASSERT_TRUE (standalone.start ({ TARVELIN_STANDALONE }, getLog(), {}, environment));

        juce::String failure;
        const auto window = XDoTool::findVisibleWindow (standalone.getPid(), startTimeoutMs, &failure);
        ASSERT_TRUE (window.has_value()) << failure << getLog().loadFileAsString();

        // JUCE's document window: the editor fills it below the title bar, inside an even border.
        windowBounds = XDoTool::getWindowBounds (*window);
        const auto border = (windowBounds.getWidth() - expected.getWidth()) / 2;
        ASSERT_GE (border, 0) << "a window of " << windowBounds.toString() << " for an editor of "
                              << expected.getWidth() << " x " << expected.getHeight();
        editorArea = expected.getBounds().withPosition (windowBounds.getX() + border,
                                                        windowBounds.getBottom() - border - expected.getHeight());
    }

    void TearDown() override
    {
        // Whatever the test found, the Standalone quits on an interrupt, cleanly.
        if (standalone.getEnding() == std::nullopt)
            quitBy (SIGINT);
    }

    /** Sends the signal and expects a clean exit (status 0) with the plug-in's settings written. */
    void quitBy (int signal)
    {
        ASSERT_TRUE (standalone.sendSignal (signal));
        const auto ending = standalone.waitForEnd (stopTimeoutMs);
        ASSERT_TRUE (ending.has_value()) << "still running " << stopTimeoutMs << " ms after signal " << signal;
        EXPECT_TRUE (ending->isCleanExit()) << ending->describe() << "\n" << getLog().loadFileAsString();
        EXPECT_TRUE (folder.get().getChildFile ("config/Ulvra Group/Tarvelin/Tarvelin.ini").existsAsFile())
            << "the plug-in writes its settings when it is deleted";
    }

    juce::File getLog() const { return folder.get().getChildFile ("standalone.log"); }

    /** The plug-in state the Standalone keeps in its own settings file
        (saved by its close button), or null when there is none. */
    std::unique_ptr<juce::XmlElement> getSavedPluginState() const
    {
        const auto settings = juce::parseXML (folder.get().getChildFile (".config/Tarvelin.settings"));

        if (settings == nullptr)
            return nullptr;

        for (auto* value : settings->getChildWithTagNameIterator ("VALUE"))
        {
            if (value->getStringAttribute ("name") == "filterState")
            {
                juce::MemoryBlock state;

                if (state.fromBase64Encoding (value->getStringAttribute ("val")))
                    return juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize());
            }
        }

        return nullptr;
    }

    /** Clicks the middle of a skin control on the screen. */
    void clickOn (const SkinLayout& skin, const juce::String& name)
    {
        const auto point = editorArea.getPosition() + skin.getControlBounds (name).getCentre();
        const auto result = runTool ({ "xdotool", "mousemove", "--sync", juce::String (point.x), juce::String (point.y), "click", "1" },
                                     startTimeoutMs);
        EXPECT_TRUE (result.succeeded) << result.failure;
    }

    /** Grabs the screen until the editor area shows what `matches` wants, or the time is up. */
    template <typename Condition>
    juce::Image grabUntil (Condition&& matches)
    {
        juce::Image screen;
        runMessageLoopUntil ([&]
        {
            screen = ScreenGrab::grabScreen();
            return screen.isValid() && matches (screen);
        }, startTimeoutMs);
        return screen;
    }

    TemporaryFolder folder;
    SpawnedProcess standalone;
    juce::Image expected;
    juce::Rectangle<int> windowBounds, editorArea;
};
} // namespace

TEST_F (StandaloneWindow, ShowsTheSkinnedPanelAndQuitsOnInterrupt)
{
    const SkinLayout skin;
    ASSERT_TRUE (skin.isValid());
    EXPECT_EQ (expected.getBounds().withHeight (skin.getPanelBounds().getHeight()), skin.getPanelBounds())
        << "the editor is the panel's size, with the status bar below";

    // Where the skin puts its knobs and lamps, the screen shows the editor's
    // own picture, and that is the panel's, not the black behind it.
    const auto isPanelAt = [&] (const juce::Image& screen, juce::Point<int> point)
    {
        const auto shown = screen.getPixelAt (editorArea.getX() + point.x, editorArea.getY() + point.y);
        return ScreenGrab::isNear (shown, expected.getPixelAt (point.x, point.y), 8)
               && ! ScreenGrab::isNear (shown, juce::Colours::black, 8);
    };

    const auto shareOf = [this] (const juce::Image& screen) { return ScreenGrab::getMatchingShare (screen, editorArea.getPosition(), expected); };
    const auto screen = grabUntil ([&] (const juce::Image& grab) { return shareOf (grab) > 0.98; });
    ASSERT_TRUE (screen.isValid());
    writeScreenshot (screen.getClippedImage (windowBounds.getIntersection (screen.getBounds())), "StandaloneWindow");
    EXPECT_GT (shareOf (screen), 0.98) << "the Standalone's window shows " << shareOf (screen) << " of the editor's own picture";

    for (const auto* name : probedControls)
    {
        ASSERT_FALSE (skin.getControlBounds (name).isEmpty()) << name;
        EXPECT_TRUE (isPanelAt (screen, skin.getControlBounds (name).getCentre())) << name;
    }
}

/** The signals a desktop's logout or `kill` (SIGTERM) and a terminal's Ctrl+C (SIGINT) send. */
class StandaloneSignal : public StandaloneWindow,
                         public ::testing::WithParamInterface<int>
{
};

TEST_P (StandaloneSignal, SavesWhatItsCloseButtonSavesAndExitsCleanly)
{
    const SkinLayout skin;
    ASSERT_TRUE (skin.isValid());
    ASSERT_TRUE (grabUntil ([&] (const juce::Image& grab) { return ScreenGrab::getMatchingShare (grab, editorArea.getPosition(), expected) > 0.98; })
                     .isValid());

    // NEXT makes the second preset the current one; the name on the screen shows it has.
    const auto nameArea = skin.getControlBounds ("PresetNameDisplay") + editorArea.getPosition();
    const auto nameBefore = ScreenGrab::grabArea (nameArea);
    clickOn (skin, "PresetNextButton");
    const auto nameShown = [&] (const juce::Image& screen) { return screen.getClippedImage (nameArea); };
    EXPECT_GT (StripFrames::difference (nameShown (grabUntil ([&] (const juce::Image& grab)
               { return StripFrames::difference (nameShown (grab), nameBefore) > 0; })), nameBefore), 0)
        << "the click on NEXT changed nothing on the screen";

    quitBy (GetParam());

    const auto saved = getSavedPluginState();
    ASSERT_NE (saved, nullptr) << "no plug-in state in the Standalone's settings";
    ASSERT_NE (saved->getChildByName ("PresetsState"), nullptr) << saved->toString();
    EXPECT_EQ (saved->getChildByName ("PresetsState")->getIntAttribute ("currentPreset", -1), 1);
}

// A wedged Standalone still ends: the second of two signals ends it as that
// signal's default does. Both arrive while it is stopped, so the first one's
// quit cannot have run before the second comes.
TEST_F (StandaloneWindow, ASecondSignalWhileTheFirstQuitIsPendingEndsItAsTheSignalsDefaultDoes)
{
    ASSERT_TRUE (standalone.sendSignal (SIGSTOP));
    ASSERT_TRUE (standalone.sendSignal (SIGTERM));
    ASSERT_TRUE (standalone.sendSignal (SIGINT));
    ASSERT_TRUE (standalone.sendSignal (SIGCONT));

    const auto ending = standalone.waitForEnd (stopTimeoutMs);
    ASSERT_TRUE (ending.has_value()) << "still running " << stopTimeoutMs << " ms after two signals";
    EXPECT_FALSE (ending->exited) << ending->describe() << "\n" << getLog().loadFileAsString();
    EXPECT_TRUE (ending->signal == SIGTERM || ending->signal == SIGINT) << ending->describe();
    EXPECT_FALSE (ending->dumpedCore);
}

INSTANTIATE_TEST_SUITE_P (TerminateAndInterrupt, StandaloneSignal, ::testing::Values (SIGTERM, SIGINT),
                          [] (const ::testing::TestParamInfo<int>& signal) { return signal.param == SIGTERM ? "SIGTERM" : "SIGINT"; });
