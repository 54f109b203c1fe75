#include "ControlTestSupport.h"

#include "TarvelinResources.h"
#include "framework/BundleResources.h"
#include "skin/ComponentLookup.h"
#include "skin/GFXAnimation.h"
#include "skin/GFXButton.h"
#include "skin/GFXDisplay.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXPanel.h"
#include "skin/GFXSwitch.h"
#include "skin/GFXToggleButton.h"
#include "skin/NumericDisplay.h"
#include "skin/NumericDisplayDigit.h"
#include "skin/PatternNumberDisplay.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"
#include "support/SkinTestSupport.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

/*  The default skin as the plug-in carries it: "skin.xml" and the images drawn
    from it at build time, loaded into a panel for a set-up instrument.
*/
namespace
{
using ControlTest::pressDragRelease;

const juce::XmlElement* childNamed (const juce::XmlElement& parent, const juce::String& tag)
{
    for (const auto* child : parent.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (tag))
            return child;

    return nullptr;
}

juce::Point<int> sizeOf (const juce::XmlElement& control, juce::Point<int> fallback = {})
{
    if (const auto* size = childNamed (control, "size"))
        return { size->getIntAttribute ("width"), size->getIntAttribute ("height") };

    return fallback;
}

struct Strip
{
    int frameWidth = 0, frameHeight = 0, frames = 0;
    juce::String control;

    bool operator== (const Strip& other) const
    {
        return frameWidth == other.frameWidth && frameHeight == other.frameHeight && frames == other.frames;
    }
};

/** Every image a panel's controls name, with the frame size and count the
    control cuts it into: its "size" for the image-strip controls; "size" width
    split among the digits of a numeric display (11 frames) or the four of the
    pattern number (12, 19, 13, 11); "glyphWidth" by "fontHeight" for every
    glyph of a text display, from "firstASCII" to 127, twice. */
std::map<juce::String, Strip> stripsNamedBy (const juce::XmlElement& panel)
{
    std::map<juce::String, Strip> strips;

    const auto add = [&strips] (const juce::String& name, Strip strip)
    {
        const auto [existing, added] = strips.emplace (name, strip);

        if (! added && ! (existing->second == strip))
            ADD_FAILURE() << name << " is cut differently by " << existing->second.control << " and " << strip.control;
    };

    const auto* controls = childNamed (panel, "controls");

    if (controls == nullptr)
        return strips;

    for (const auto* control : controls->getChildIterator())
    {
        const auto tag = control->getTagName().toLowerCase();
        const auto name = control->getStringAttribute ("name");
        const auto size = sizeOf (*control);
        const auto* gfx = childNamed (*control, tag == "numericdisplay" ? "digits" : "gfx");

        if (gfx == nullptr)
        {
            ADD_FAILURE() << name << " names no image";
            continue;
        }

        if (tag == "knob" || tag == "switch" || tag == "animation" || tag == "button")
        {
            add (gfx->getStringAttribute ("resource"), { size.x, size.y, gfx->getIntAttribute ("framesNum", 1), name });
        }
        else if (tag == "togglebutton" || tag == "multistatebutton")
        {
            const auto states = tag == "togglebutton" ? 2 : juce::jmax (2, control->getIntAttribute ("states", 2));
            const auto pressedFrames = control->getStringAttribute ("style") == "3D" ? 2 : 1;
            add (gfx->getStringAttribute ("resource"), { size.x, size.y, states * pressedFrames, name });
        }
        else if (tag == "numericdisplay")
        {
            const Strip digit { size.x / control->getIntAttribute ("digitsNum", 1), size.y, 11, name };

            if (gfx->hasAttribute ("resource"))
                add (gfx->getStringAttribute ("resource"), digit);

            for (const auto* each : gfx->getChildIterator())
                add (each->getStringAttribute ("resource"), digit);
        }
        else if (tag == "patternnumberdisplay")
        {
            const auto pattern = sizeOf (*control, { 100, 40 });
            add (gfx->getStringAttribute ("firstDigit"), { pattern.x / 4, pattern.y, 12, name });
            add (gfx->getStringAttribute ("secondDigit"), { pattern.x / 4, pattern.y, 19, name });
            add (gfx->getStringAttribute ("thirdDigit"), { pattern.x / 4, pattern.y, 13, name });
            add (gfx->getStringAttribute ("fourthDigit"), { pattern.x / 4, pattern.y, 11, name });
        }
        else if (tag == "display")
        {
            const auto glyphs = 128 - (int) gfx->getStringAttribute ("firstASCII", " ")[0];
            add (gfx->getStringAttribute ("resource"),
                 { gfx->getIntAttribute ("glyphWidth"), gfx->getIntAttribute ("fontHeight"), 2 * glyphs, name });
        }
        else
        {
            ADD_FAILURE() << name << ": the default skin has no " << control->getTagName();
        }
    }

    if (const auto* gfx = childNamed (panel, "gfx"))
    {
        const auto size = sizeOf (panel);
        add (gfx->getStringAttribute ("resource"), { size.x, size.y, gfx->getIntAttribute ("framesNum", 1), "MainPanel" });
    }

    return strips;
}

/** True when the legend's letters appear in the name in order, case aside
    ("SQR" for "Square", "LINK" for "Linked"). */
bool abbreviates (const juce::String& legend, const juce::String& name)
{
    int at = 0;

    for (const auto letter : legend.toLowerCase())
        if ((at = name.toLowerCase().indexOfChar (at, letter) + 1) == 0)
            return false;

    return legend.isNotEmpty();
}

/** How bright a pixel looks: the largest of its channels, 0 to 1. */
float brightness (juce::Colour colour)
{
    return juce::jmax (colour.getFloatRed(), colour.getFloatGreen(), colour.getFloatBlue());
}

/** How much brighter the brightest spot of `lit` is than the same spot of
    `unlit`: the mean gain of the few pixels that gain the most. */
float brighteningOf (const juce::Image& lit, const juce::Image& unlit, size_t spotPixels = 6)
{
    std::vector<float> gains;

    for (int y = 0; y < lit.getHeight(); ++y)
        for (int x = 0; x < lit.getWidth(); ++x)
            gains.push_back (brightness (lit.getPixelAt (x, y)) - brightness (unlit.getPixelAt (x, y)));

    const auto spot = std::min (spotPixels, gains.size());
    std::partial_sort (gains.begin(), gains.begin() + (std::ptrdiff_t) spot, gains.end(), std::greater<float>());
    return spot == 0 ? 0.0f : std::accumulate (gains.begin(), gains.begin() + (std::ptrdiff_t) spot, 0.0f) / (float) spot;
}

int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int count = 0;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            count += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;

    return count;
}

/** Events a control fires for a plain, a Ctrl and a right click. */
struct Clicks
{
    std::vector<int> plain, ctrl, right;
};

Clicks clicksOf (juce::Component& control)
{
    auto* controller = dynamic_cast<GUIController*> (&control);
    ControlTest::ControllerRecorder recorder;
    controller->addListener (&recorder);
    Clicks clicks;

    const auto fire = [&] (juce::ModifierKeys mods)
    {
        recorder.events.clear();
        pressDragRelease (control, control.getLocalBounds().getCentre(), {}, mods);
        return recorder.events;
    };

    clicks.plain = fire (juce::ModifierKeys::leftButtonModifier);
    clicks.ctrl = fire (juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier));
    clicks.right = fire (juce::ModifierKeys::rightButtonModifier);
    controller->removeListener (&recorder);
    return clicks;
}
} // namespace

//==============================================================================
class DefaultSkinTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        instrument = InstrumentTest::createInstrument();
        editor = std::make_unique<PluginSkinEditor> (*instrument);
        skin = std::make_unique<Skin> (*editor, juce::String());
        panel = skin->createEditorPanel();
        document = juce::parseXML (loadBundleResourceAsString ("skin.xml"));

        if (panel != nullptr)
            panel->setVisible (true);
    }

    static void TearDownTestSuite()
    {
        panel.reset();
        skin.reset();
        editor.reset();
        instrument.reset();
        document.reset();
    }

    void SetUp() override
    {
        ASSERT_NE (panel, nullptr);
        ASSERT_NE (document, nullptr);
    }

    static const juce::XmlElement& mainPanelElement()    { return *childNamed (*document, "Panel"); }

    template <typename Control = juce::Component>
    static Control* find (const juce::String& name)
    {
        return dynamic_cast<Control*> (findChildComponentByName (*panel, name, true));
    }

    static int eventId (const juce::String& name)          { return instrument->getEventsMap().getEventUid (name); }
    static Parameter& parameter (const juce::String& name) { return *instrument->getParameterManager().getParameterByName (name); }

    static inline std::unique_ptr<Tarvelin> instrument;
    static inline std::unique_ptr<PluginSkinEditor> editor;
    static inline std::unique_ptr<Skin> skin;
    static inline std::unique_ptr<GFXPanel> panel;
    static inline std::unique_ptr<juce::XmlElement> document;
};

//==============================================================================
TEST_F (DefaultSkinTest, EveryImageIsCutIntoFramesOfTheSizeItsElementGives)
{
    const auto strips = stripsNamedBy (mainPanelElement());
    ASSERT_FALSE (strips.empty());

    for (const auto& [name, strip] : strips)
    {
        const auto image = loadBundleResourceAsImage (name);
        ASSERT_TRUE (image.isValid()) << name;
        EXPECT_EQ (image.getWidth(), strip.frameWidth) << name << " (" << strip.control << ")";
        EXPECT_EQ (image.getHeight(), strip.frameHeight * strip.frames) << name << " (" << strip.control << ")";
    }

    std::set<juce::String> embedded, named;

    for (int i = 0; i < TarvelinResources::namedResourceListSize; ++i)
    {
        const juce::String file (TarvelinResources::getNamedResourceOriginalFilename (TarvelinResources::namedResourceList[i]));

        if (file.endsWithIgnoreCase (".png"))
            embedded.insert (file);
    }

    for (const auto& entry : strips)
        named.insert (entry.first);

    EXPECT_EQ (embedded, named);
}

TEST_F (DefaultSkinTest, PanelBuildsWithoutWarningsFallbacksOrOverlapsButTheSharedPlaces)
{
    EXPECT_TRUE (skin->getWarnings().isEmpty()) << skin->getWarnings().joinIntoString ("\n");

    // Big enough for the options window, small enough for a laptop screen.
    EXPECT_GE (panel->getWidth(), 640);
    EXPECT_GE (panel->getHeight(), 480);
    EXPECT_LE (panel->getWidth(), 1100);
    EXPECT_LE (panel->getHeight(), 620);

    const std::set<std::set<juce::String>> sharedPlaces = {
        { "GateLevelKnob", "GateThresholdKnob" },
        { "AccentLevelKnob", "AccentThresholdKnob" },
        { "SlideLevelKnob", "SlideThresholdKnob" },
        { "ArpeRepeaterSwitch", "ArpeMultiplierSwitch" },
        { "ArpeChordSwitch", "RandChordSwitch" },
    };

    const auto controls = panel->getChildren();

    for (int i = 0; i < controls.size(); ++i)
    {
        const auto* control = controls[i];
        const auto name = control->getName();
        EXPECT_TRUE (panel->getLocalBounds().contains (control->getBounds())) << name;

        for (int j = 0; j < i; ++j)
        {
            if (! controls[j]->getBounds().intersects (control->getBounds()))
                continue;

            const auto shared = sharedPlaces.count ({ name, controls[j]->getName() }) > 0;
            EXPECT_TRUE (shared && controls[j]->getBounds() == control->getBounds())
                << name << " overlaps " << controls[j]->getName();
        }

        // Nothing falls back to its plain drawing: strips for the image
        // controls, the glyph strip's width for the text displays, dark glass
        // (the fallback digits are light) for the number displays.
        if (const auto* strip = dynamic_cast<const BaseGFXController*> (control))
        {
            EXPECT_TRUE (strip->hasImage()) << name;
        }
        else if (const auto* display = dynamic_cast<const GFXDisplay*> (control))
        {
            const auto* element = mainPanelElement().getChildByName ("controls")->getChildByAttribute ("name", name);
            const auto glyphWidth = childNamed (*element, "gfx")->getIntAttribute ("glyphWidth");
            EXPECT_EQ (display->getNumCharsFitting(), control->getWidth() / glyphWidth) << name;
        }
        else
        {
            const auto image = renderComponent (*const_cast<juce::Component*> (control));
            double sum = 0.0;

            for (int y = 0; y < image.getHeight(); ++y)
                for (int x = 0; x < image.getWidth(); ++x)
                    sum += brightness (image.getPixelAt (x, y));

            EXPECT_LT (sum / (image.getWidth() * image.getHeight()), 0.35) << name;
        }
    }
}

TEST_F (DefaultSkinTest, TheEditorsNamesFindTheirControlsWithTheirBindings)
{
    enum Kind { multiState, animation, display, numeric, patternNumber, knob, switchControl, button };

    struct Row
    {
        juce::String name;
        Kind kind;
        juce::String parameter, click, ctrlClick, rightClick;
    };

    std::vector<Row> rows = {
        { "MidiLearnButton", multiState, {}, "Toggle Midi Learn", "Toggle Midi Learn", "Toggle Midi Learn" },
        { "PattRandModeButton", multiState, "Randomizer State", "Toggle Randomizer", "Toggle Randomizer", "Toggle Randomizer" },
        { "PattLengthButton", multiState, "Length Mode State", "Toggle Length Mode", "Toggle Length Mode", "Toggle Length Mode" },
        { "RandNotesButton", multiState, "Rand Notes Lamp", "Toggle Random Notes", "Toggle Random Notes", "Toggle Random Notes" },
        { "MidiActivityLed", animation, {}, {}, {}, {} },
        { "PresetNameDisplay", display, "Current Preset Name", {}, {}, {} },
        { "PatternNameDisplay", display, "Pattern Name", {}, {}, {} },
        { "PatternNumberDisplay", patternNumber, "Pattern Number", {}, {}, {} },
        { "TempoDisplay", numeric, "Pattern Tempo", {}, {}, {} },
        { "ShuffleDisplay", numeric, "Pattern Shuffle", {}, {}, {} },
        { "ArpeShuffleDisplay", numeric, "Arp Shuffle Amount", {}, {}, {} },
        { "TempoKnob", knob, "Pattern Tempo", {}, {}, {} },
        { "ShuffleKnob", knob, "Pattern Shuffle", {}, {}, {} },
        { "ArpeRepeaterSwitch", switchControl, "Arp Repeater", {}, {}, {} },
        { "ArpeMultiplierSwitch", switchControl, "Arp Multiplier", {}, {}, {} },
        { "ArpeChordSwitch", switchControl, "Arp Chord", {}, {}, {} },
        { "RandChordSwitch", switchControl, "Rand Chord", {}, {}, {} },
        { "PattPrevButton", button, {}, "Prev", "Load Patterns", "Load Patterns" },
        { "PattNextButton", button, {}, "Next", "Save Patterns", "Save Patterns" },
    };

    for (const auto* x : { "Octave Down", "Octave Up", "Gate", "Accent", "Slide" })
    {
        const juce::String flag (x);
        rows.push_back ({ flag.removeCharacters (" ") + "Button", multiState, flag + " Lamp",
                          "Toggle " + flag, "Toggle " + flag + " 2nd", "Toggle " + flag });
    }

    for (const auto* x : { "Gate", "Accent", "Slide" })
    {
        rows.push_back ({ juce::String (x) + "LevelKnob", knob, juce::String (x) + " Level", {}, {}, {} });
        rows.push_back ({ juce::String (x) + "ThresholdKnob", knob, juce::String (x) + " Threshold", {}, {}, {} });
    }

    const std::pair<const char*, const char*> keys[] = {
        { "NoteCButton", "C" }, { "NoteC_Button", "C#" }, { "NoteDButton", "D" }, { "NoteD_Button", "D#" },
        { "NoteEButton", "E" }, { "NoteFButton", "F" }, { "NoteF_Button", "F#" }, { "NoteGButton", "G" },
        { "NoteG_Button", "G#" }, { "NoteAButton", "A" }, { "NoteA_Button", "A#" }, { "NoteBButton", "B" },
        { "NoteC1Button", "Upper C" },
    };

    for (const auto& [name, key] : keys)
        rows.push_back ({ name, multiState, "Key " + juce::String (key) + " Lamp",
                          "Key " + juce::String (key), "Key " + juce::String (key) + " 2nd", "Key " + juce::String (key) });

    for (int step = 1; step <= 16; ++step)
    {
        const auto nn = juce::String (step).paddedLeft ('0', 2);
        rows.push_back ({ "PattLen" + nn + "Led", multiState, "Step " + nn + " Length State",
                          "Set Pattern Length To " + nn, "Set Pattern Length To " + nn, "Set Pattern Length To " + nn });
        rows.push_back ({ "PattStepNum" + nn + "Led", multiState, "Step " + nn + " State",
                          "Select Step " + nn, "Select Step " + nn, "Select Step " + nn });
    }

    ASSERT_EQ (rows.size(), 75u);

    const auto events = [] (const juce::String& name) { return name.isEmpty() ? std::vector<int>() : std::vector<int> { eventId (name) }; };

    for (const auto& row : rows)
    {
        auto* control = find (row.name);
        ASSERT_NE (control, nullptr) << row.name;

        const bool kindMatches[] = {
            dynamic_cast<GFXMultiStateButton*> (control) != nullptr,
            dynamic_cast<GFXAnimation*> (control) != nullptr,
            dynamic_cast<GFXDisplay*> (control) != nullptr,
            dynamic_cast<NumericDisplay*> (control) != nullptr,
            dynamic_cast<PatternNumberDisplay*> (control) != nullptr,
            dynamic_cast<GFXKnob*> (control) != nullptr,
            dynamic_cast<GFXSwitch*> (control) != nullptr,
            dynamic_cast<GFXButton*> (control) != nullptr,
        };
        EXPECT_TRUE (kindMatches[row.kind]) << row.name;

        const auto* bound = dynamic_cast<GUIController&> (*control).getParameter();
        EXPECT_EQ (bound != nullptr ? bound->getName() : juce::String(), row.parameter) << row.name;

        if (row.kind == multiState || row.kind == button)
        {
            const auto clicks = clicksOf (*control);
            EXPECT_EQ (clicks.plain, events (row.click)) << row.name;
            EXPECT_EQ (clicks.ctrl, events (row.ctrlClick)) << row.name << " with Ctrl";
            EXPECT_EQ (clicks.right, events (row.rightClick)) << row.name << " with the right button";
        }
    }
}

TEST_F (DefaultSkinTest, ControlsBindEveryHostParameterAndFireEveryFrameworkEvent)
{
    std::set<int> bound, fired;

    for (auto* control : panel->getChildren())
    {
        if (const auto* parameterBound = dynamic_cast<GUIController&> (*control).getParameter())
            bound.insert (parameterBound->getId());

        if (dynamic_cast<juce::Button*> (control) != nullptr && dynamic_cast<GFXToggleButton*> (control) == nullptr)
        {
            const auto clicks = clicksOf (*control);

            for (const auto* ids : { &clicks.plain, &clicks.ctrl, &clicks.right })
                fired.insert (ids->begin(), ids->end());
        }
    }

    for (int id = 0; id < 36; ++id)
        EXPECT_EQ (bound.count (id), 1u) << "parameter " << id;

    for (const auto id : { 1000, 1001, 1002, 1003, 1004, 1007, 1008, 1009, 1010 })
        EXPECT_EQ (fired.count (id), 1u) << "event " << id;

    // Every event a control fires is one the plug-in knows.
    for (const auto id : fired)
        EXPECT_TRUE (instrument->getEventsMap().getEventName (id).isNotEmpty()) << "event " << id;
}

TEST_F (DefaultSkinTest, SwitchesHaveAFramePerPositionAndKnobsAnOddCountOf65OrMore)
{
    // A lever is up for its last position: the legend printed above it names that
    // one, the legend below it the first.
    std::map<juce::String, std::pair<juce::String, juce::String>> leverLegends;

    for (const auto* label : childNamed (*document, "Artwork")->getChildIterator())
    {
        if (label->getStringAttribute ("side") == "above")
            leverLegends[label->getStringAttribute ("for")].first = label->getStringAttribute ("text");
        else if (label->getStringAttribute ("side") == "below")
            leverLegends[label->getStringAttribute ("for")].second = label->getStringAttribute ("text");
    }

    for (auto* control : panel->getChildren())
    {
        if (auto* switchControl = dynamic_cast<GFXSwitch*> (control))
        {
            const auto* choices = dynamic_cast<const EnumParameter*> (switchControl->getParameter());
            ASSERT_NE (choices, nullptr) << control->getName();
            EXPECT_EQ (switchControl->getFramesNum(), choices->getNames().size()) << control->getName();

            if (switchControl->getStyle() == GFXSwitch::vertical)
            {
                const auto& [up, down] = leverLegends[control->getName()];
                EXPECT_TRUE (abbreviates (up, choices->getNames()[choices->getNames().size() - 1])) << control->getName();
                EXPECT_TRUE (abbreviates (down, choices->getNames()[0])) << control->getName();
            }
        }
        else if (auto* knob = dynamic_cast<GFXKnob*> (control))
        {
            EXPECT_GE (knob->getFramesNum(), 65) << control->getName();
            EXPECT_EQ (knob->getFramesNum() % 2, 1) << control->getName();
        }
    }
}

//==============================================================================
TEST_F (DefaultSkinTest, EveryKnobAndSwitchFrameDiffersFromTheNext)
{
    std::set<const void*> seen;

    for (auto* control : panel->getChildren())
    {
        auto* slider = dynamic_cast<juce::Slider*> (control);
        auto* strip = dynamic_cast<BaseGFXController*> (control);

        if (slider == nullptr || strip == nullptr || ! seen.insert (strip->getImage().getPixelData()).second)
            continue;

        const auto frames = strip->getFramesNum();
        juce::Image previous;

        for (int frame = 0; frame < frames; ++frame)
        {
            slider->setValue ((double) frame / (frames - 1), juce::dontSendNotification);
            const auto image = renderComponent (*control);

            if (previous.isValid())
            {
                EXPECT_GT (differingPixels (previous, image), 8) << control->getName() << " frames " << frame - 1 << " and " << frame;
            }

            previous = image;
        }
    }
}

TEST_F (DefaultSkinTest, LitLampsAreClearlyBrighterThanUnlit)
{
    std::set<const void*> seen;
    int lampsSeen = 0;

    for (auto* control : panel->getChildren())
    {
        auto* strip = dynamic_cast<BaseGFXController*> (control);

        if (strip == nullptr || dynamic_cast<juce::Slider*> (control) != nullptr || dynamic_cast<GFXButton*> (control) != nullptr
            || dynamic_cast<GFXPanel*> (control) != nullptr || ! seen.insert (strip->getImage().getPixelData()).second)
            continue;

        const auto show = [control] (bool lit)
        {
            if (auto* lamp = dynamic_cast<GFXMultiStateButton*> (control))
                lamp->setState (lit ? 1 : 0);
            else if (auto* toggle = dynamic_cast<GFXToggleButton*> (control))
                toggle->setToggleState (lit, juce::dontSendNotification);
            else if (auto* animation = dynamic_cast<GFXAnimation*> (control))
                animation->setFrame (lit ? 1 : 0);

            return renderComponent (*control);
        };

        const auto lit = show (true);
        const auto unlit = show (false);
        EXPECT_GT (brighteningOf (lit, unlit), 0.4f) << control->getName();
        ++lampsSeen;
    }

    // Lamp buttons, small lamp buttons, keys of both colours, step buttons, length lamps, LEDs.
    EXPECT_EQ (lampsSeen, 7);
}

//==============================================================================
TEST_F (DefaultSkinTest, TheTempoShowsItsDecimalPointOnTheUnitsDigit)
{
    auto* tempo = find<NumericDisplay> ("TempoDisplay");
    ASSERT_NE (tempo, nullptr);
    tempo->setValue (120.0, false);

    std::vector<int> digits;
    std::vector<juce::Image> cells;

    for (auto* child : tempo->getChildren())
    {
        if (auto* digit = dynamic_cast<NumericDisplayDigit*> (child))
        {
            digits.push_back (digit->isBlank() ? -1 : digit->getDigit());
            cells.push_back (renderComponent (*digit));
        }
    }

    ASSERT_EQ (digits, (std::vector<int> { 1, 2, 0, 0 }));

    // Units and tenths both show 0; only the point tells them apart, and it is lit.
    EXPECT_GT (brighteningOf (cells[2], cells[3]), 0.4f);
}

TEST_F (DefaultSkinTest, NumberDisplaysHaveTheirDigitsAndKeepToTheirParametersRanges)
{
    struct Row
    {
        const char* name;
        int digits;
        double lowest, highest;
    };

    const Row rows[] = {
        { "TempoDisplay", 4, 30.0, 300.0 },
        { "ShuffleDisplay", 3, 0.0, 100.0 },
        { "ArpeShuffleDisplay", 3, 0.0, 100.0 },
    };

    for (const auto& row : rows)
    {
        auto* display = find<NumericDisplay> (row.name);
        ASSERT_NE (display, nullptr) << row.name;
        EXPECT_EQ (display->getNumDigits(), row.digits) << row.name;
        EXPECT_EQ (display->getSign(), nullptr) << row.name;

        display->setValue (-1000.0, false);
        EXPECT_EQ (display->getValue(), row.lowest) << row.name;
        display->setValue (1000.0, false);
        EXPECT_EQ (display->getValue(), row.highest) << row.name;
    }
}

TEST_F (DefaultSkinTest, PatternNumbersCountBanksOfEight)
{
    auto* number = find<PatternNumberDisplay> ("PatternNumberDisplay");
    ASSERT_NE (number, nullptr);
    number->setMode (2);

    // Digit frames: bank number + 1, "-" (18), then the slot's two digits + 1.
    const std::pair<int, std::vector<int>> rows[] = {
        { 1, { 2, 18, 1, 2 } },     // 1-01
        { 8, { 2, 18, 1, 9 } },     // 1-08
        { 9, { 3, 18, 1, 2 } },     // 2-01
        { 24, { 4, 18, 1, 9 } },    // 3-08
    };

    for (const auto& [pattern, frames] : rows)
    {
        number->setValue (pattern);
        std::vector<int> shown;

        for (auto* child : number->getChildren())
            if (auto* digit = dynamic_cast<PatternNumberDisplay::PatternNumberDisplayDigit*> (child))
                shown.push_back (digit->getValue());

        EXPECT_EQ (shown, frames) << "pattern " << pattern;
    }
}

//==============================================================================
TEST_F (DefaultSkinTest, RendersThePanelWithAPatternLoadedForPeopleToLookAt)
{
    auto& parameters = instrument->getParameterManager();

    for (const auto& [name, value] : std::initializer_list<std::pair<const char*, float>> {
             { "Cutoff", 0.62f }, { "Resonance", 0.78f }, { "Env Mod", 0.55f }, { "Decay", 0.35f },
             { "Accent", 0.7f }, { "Accent Sweep", 0.45f }, { "Drive", 0.3f }, { "Volume", 0.6f },
             { "Arp Mode", 0.5f }, { "Arp Shuffle", 0.25f }, { "Arp Octave 0", 1.0f }, { "Arp Octave +1", 1.0f },
             { "Effect", 1.0f }, { "Waveform", 0.0f } })
        parameters.setNormalisedValue (parameter (name).getId(), value);

    parameter ("Current Preset Name").setValueFromText ("Acid Squelch", true);
    instrument->performEvent (eventId ("Toggle Pattern Write Mode"));
    instrument->performEvent (eventId ("Select Step 05"));
    dispatchPendingMessages();

    for (auto* control : panel->getChildren())
        dynamic_cast<GUIController&> (*control).refreshFromParameter();

    // What the editor shows of the controls that share a place.
    const auto levelEdit = parameter ("Level Edit State").getBoolValue();
    const auto repeaterView = parameter ("Arp Repeater View").getBoolValue();
    const auto randomizer = parameter ("Randomizer State").getBoolValue();

    for (const auto* flag : { "Gate", "Accent", "Slide" })
    {
        find (juce::String (flag) + "LevelKnob")->setVisible (levelEdit);
        find (juce::String (flag) + "ThresholdKnob")->setVisible (! levelEdit);
    }

    find ("ArpeRepeaterSwitch")->setVisible (repeaterView);
    find ("ArpeMultiplierSwitch")->setVisible (! repeaterView);
    find ("RandChordSwitch")->setVisible (randomizer);
    find ("ArpeChordSwitch")->setVisible (! randomizer);
    find<GFXMultiStateButton> ("MidiLearnButton")->setState (0);

    find<GFXAnimation> ("MidiActivityLed")->setFrame (1);
    const auto image = renderComponent (*panel);

    EXPECT_TRUE (writeScreenshot (image, "DefaultSkinPanel"));

    // The preset's name is lit on the amber display.
    const auto presetName = find ("PresetNameDisplay")->getBounds();
    bool amberLit = false;

    for (int x = presetName.getX(); x < presetName.getRight() && ! amberLit; ++x)
    {
        const auto pixel = image.getPixelAt (x, presetName.getCentreY());
        amberLit = pixel.getRed() > 200 && pixel.getGreen() > 140 && pixel.getBlue() < 120;
    }

    EXPECT_TRUE (amberLit);
}
