#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/GFXDisplay.h"
#include "skin/GFXDisplayFloat.h"
#include "skin/NoteDisplay.h"
#include "skin/NumericDisplay.h"
#include "support/HeadlessWindow.h"
#include "support/MessageQueue.h"

using namespace ControlTest;

namespace
{
// The glyph strip: codes " " to "z", each glyph 6 x 4 pixels, the caret set after them.
constexpr int glyphWidth = 6, glyphHeight = 4;
constexpr int firstCode = ' ', lastCode = 'z', glyphCount = lastCode - firstCode + 1;

class DisplayTest : public SkinTest
{
protected:
    DisplayTest()
    {
        package.addImage ("font.png", makeStrip (2 * glyphCount, glyphWidth, glyphHeight))
            .addImage ("digit.png", makeStrip (11, 8, 10))
            .addImage ("sign.png", makeStrip (2, 6, 10))
            .addImage ("notes.png", makeStrip (9, 8, 10))
            .addImage ("tones.png", makeStrip (3, 4, 6))
            .addImage ("octaves.png", makeStrip (13, 8, 8));
    }

    /** The one control of a main panel built from a packaged skin. */
    template <typename Control>
    Control& load (const juce::String& controlXml)
    {
        panel = packagedPanelFrom ("<size width=\"200\" height=\"40\"/><controls>" + controlXml + "</controls>", package);

        if (panel == nullptr || panel->getNumChildComponents() != 1)
        {
            ADD_FAILURE() << "no control from " << controlXml;
            panel = std::make_unique<GFXPanel> ("Empty");
            panel->addAndMakeVisible (new Control ("Control"));
        }

        return dynamic_cast<Control&> (*panel->getChildComponent (0));
    }

    SkinTestSupport::Package package;
    Parameters parameters;
    std::unique_ptr<GFXPanel> panel;
};

/** The text a glyph display draws, read back glyph by glyph; "|" marks a caret glyph. */
juce::String drawnText (juce::Component& display)
{
    const auto image = renderComponent (display);
    juce::String text;

    for (int x = glyphWidth / 2; x < display.getWidth(); x += glyphWidth)
    {
        const auto row = frameAt (image, x, glyphHeight / 2, 2 * glyphCount);
        text << (row < 0 ? juce::String ("?") : row >= glyphCount ? juce::String ("|")
                                                                   : juce::String::charToString (juce::juce_wchar (firstCode + row)));
    }

    return text.trimEnd();
}

juce::KeyPress key (juce::juce_wchar character)     { return juce::KeyPress (static_cast<int> (character), {}, character); }

struct EditRecorder : public GFXDisplayListener
{
    void displayTextChanged (GFXDisplay* display) override     { texts.push_back (display->getText()); }
    std::vector<juce::String> texts;
};

const char* const nameDisplay = R"(<Display name="PatternNameDisplay" backgroundColour="FF000000">
    <gfx resource="font.png" fontHeight="4" firstASCII=" "/><size width="120" height="4"/></Display>)";
} // namespace

TEST_F (DisplayTest, ShowsItsNameUntilItsParameterSetsAText)
{
    auto& display = load<GFXDisplay> (nameDisplay);
    EXPECT_EQ (drawnText (display), "PatternNameDisplay");

    auto& name = parameters.add<StringParameter> (0, "Pattern Name", "Acid line");
    display.setParameter (&name);
    display.refreshFromParameter();
    EXPECT_EQ (drawnText (display), "Acid line");

    display.setText (juce::String ("z~") + juce::String::charToString (0xe9) + "!");
    EXPECT_EQ (drawnText (display), "zz !") << "codes past the strip show its last glyph; codes above 127 its first";

    display.startBlinking();
    display.toggleBlinkPhase();
    EXPECT_EQ (drawnText (display), "");
    display.toggleBlinkPhase();
    EXPECT_EQ (drawnText (display), "zz !");
}

TEST_F (DisplayTest, FloatDisplayShowsItsNumberAndNeverEndsOnItsDecimalPoint)
{
    auto& display = load<GFXDisplayFloat> (R"(<DisplayFloat name="Tempo" backgroundColour="FF000000">
        <gfx resource="font.png" fontHeight="4"/><size width="30" height="4"/></DisplayFloat>)");
    auto& tempo = parameters.add<FloatParameter> (0, "Tempo", 30.0f, 3000.0f, 120.5f);
    display.setParameter (&tempo);
    display.refreshFromParameter();
    EXPECT_EQ (drawnText (display), "120.5");

    tempo.setValue (1234.5f, true);
    dispatchPendingMessages();
    EXPECT_EQ (display.getText(), " 1234.5");
    EXPECT_EQ (drawnText (display), " 1234");
}

TEST_F (DisplayTest, EditingByKeys)
{
    struct Row
    {
        std::vector<juce::KeyPress> keys;
        bool loseFocus;
        juce::String text;
        std::vector<juce::String> reported;
    };

    using K = juce::KeyPress;
    const K enter (K::returnKey), escape (K::escapeKey), backspace (K::backspaceKey), del (K::deleteKey),
        home (K::homeKey), end (K::endKey), leftKey (K::leftKey), rightKey (K::rightKey);

    const Row rows[] = {
        { { key ('D'), enter }, false, "ABCD", { "ABCD" } },
        { { backspace, enter }, false, "AB", { "AB" } },
        { { home, del, enter }, false, "BC", { "BC" } },
        { { leftKey, leftKey, key ('x'), enter }, false, "AxBC", { "AxBC" } },
        { { home, leftKey, key ('x'), end, rightKey, key ('y'), enter }, false, "xABCy", { "xABCy" } },
        { { key ('D'), escape }, false, "ABC", {} },
        { { key ('D'), backspace, enter }, false, "ABC", {} },                  // the same text tells nobody
        { { key (0xe9), key ('~'), enter }, false, "ABC", {} },                 // outside the glyph range
        { { key ('D') }, true, "ABCD", { "ABCD" } },                            // a lost focus ends the edit
        { { key ('D'), enter }, true, "ABCD", { "ABCD" } },                     // once
    };

    for (const auto& row : rows)
    {
        auto& display = load<GFXDisplay> (nameDisplay);
        EditRecorder recorder;
        display.addListener (&recorder);
        display.setText ("ABC");

        display.focusGained (juce::Component::focusChangedDirectly);

        for (const auto& k : row.keys)
            EXPECT_TRUE (display.keyPressed (k));

        if (row.loseFocus)
            display.focusLost (juce::Component::focusChangedDirectly);

        EXPECT_EQ (display.getText(), row.text);
        EXPECT_EQ (recorder.texts, row.reported) << "ending in " << row.text;
        EXPECT_EQ (drawnText (display), row.text);
    }
}

TEST_F (DisplayTest, OnlyItsOwnRequestForFocusStartsAnEdit)
{
    auto& display = load<GFXDisplay> (nameDisplay);
    display.setText ("ABC");

    display.focusGained (juce::Component::focusChangedByTabKey);
    display.keyPressed (key ('D'));
    EXPECT_EQ (display.getText(), "ABC");

    display.mouseDown (mouseEvent (display, { 2, 2 }));
    EXPECT_TRUE (display.getWantsKeyboardFocus()) << "an editable display asks for the focus on a click";
}

TEST_F (DisplayTest, ANonEditableDisplayIgnoresClicksAndAReadOnlyOneIsDisabled)
{
    auto& display = load<GFXDisplay> (nameDisplay);
    display.setEditable (false);
    display.mouseDown (mouseEvent (display, { 2, 2 }));
    EXPECT_FALSE (display.getWantsKeyboardFocus());

    auto& readOnly = load<GFXDisplay> (R"(<Display name="R" readonly="yes"><size width="12" height="4"/></Display>)");
    EXPECT_FALSE (readOnly.isEnabled());
}

namespace
{
/** The name display and a button that acts on press beside it, in a window
    that takes the mouse and the keys through its peer, as a user's do. */
struct DisplayBesideAButton : public GFXDisplayListener,
                              public GUIController::Listener
{
    DisplayBesideAButton (std::unique_ptr<GFXPanel> builtPanel)
        : panel (std::move (builtPanel))
    {
        if (panel == nullptr)
            return;

        window.addAndMakeVisible (*panel);
        display = dynamic_cast<GFXDisplay*> (find ("PatternNameDisplay"));
        button = find ("Other");

        if (display != nullptr)
        {
            display->setText ("ABC");
            display->addListener (static_cast<GFXDisplayListener*> (this));
        }

        if (auto* controller = dynamic_cast<GUIController*> (button))
            controller->addListener (static_cast<GUIController::Listener*> (this));
    }

    juce::Component* find (const juce::String& name) const
    {
        for (auto* child : panel->getChildren())
            if (child->getName() == name)
                return child;

        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }

    void displayTextChanged (GFXDisplay* changed) override              { log.add ("renamed " + changed->getText()); }
    void controllerEventTriggered (GUIController*, int eventId) override { log.add ("event " + juce::String (eventId)); }

    void click (juce::Component& target)
    {
        const auto at = window.getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
        time += 1000;   // never a double click
        auto* peer = window.getPeer();
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys::leftButtonModifier,
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time);
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, {},
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time + 10);
    }

    /** True when something in the window took the key. */
    bool type (const juce::KeyPress& k)     { return window.getPeer()->handleKeyPress (k); }

    HeadlessWindow window { 200, 40 };
    std::unique_ptr<GFXPanel> panel;
    GFXDisplay* display = nullptr;
    juce::Component* button = nullptr;
    juce::StringArray log;
    juce::int64 time = juce::Time::currentTimeMillis();
};
} // namespace

TEST_F (DisplayTest, AnEditEndsAsReturnEndsItOnAPressElsewhereOrWhenTheWindowLosesTheKeyboard)
{
    DisplayBesideAButton s (packagedPanelFrom (juce::String ("<size width=\"200\" height=\"40\"/><controls>") + nameDisplay
        + R"(<Button name="Other" clickEvent="onPress"><actions><action type="onClick" event="Transpose Up"/></actions>
             <size width="20" height="20"/><pos left="150" top="10"/></Button></controls>)", package));
    ASSERT_NE (s.display, nullptr);
    ASSERT_NE (s.button, nullptr);
    auto& display = *s.display;
    const juce::KeyPress escape (juce::KeyPress::escapeKey);

    // A press elsewhere: the rename first, then the press acts; later keys are the host's.
    s.click (display);
    ASSERT_TRUE (display.isEditing());
    EXPECT_TRUE (s.type (key ('D')));
    s.click (display);
    EXPECT_TRUE (display.isEditing()) << "a press on the display itself goes on editing";
    s.click (*s.button);
    EXPECT_FALSE (display.isEditing());
    EXPECT_EQ (s.log.joinIntoString (", "), "renamed ABCD, event 0");
    EXPECT_FALSE (s.type (key ('E')));
    EXPECT_EQ (drawnText (display), "ABCD");

    // Escape still restores, and the press after it reports no rename.
    s.log.clear();
    s.click (display);
    EXPECT_TRUE (s.type (key ('E')));
    EXPECT_TRUE (s.type (escape));
    s.click (*s.button);
    EXPECT_EQ (display.getText(), "ABCD");
    EXPECT_EQ (s.log.joinIntoString (", "), "event 0");

    // The window losing the keyboard ends the edit with its text.
    s.log.clear();
    s.click (display);
    EXPECT_TRUE (s.type (key ('F')));
    s.window.getPeer()->handleFocusLoss();
    EXPECT_FALSE (display.isEditing());
    EXPECT_EQ (s.log.joinIntoString (", "), "renamed ABCDF");
    EXPECT_FALSE (s.type (key ('G')));
}

//==============================================================================
namespace
{
/** The frames a numeric display's sign (when it has one) and digits show, left to right. */
std::vector<int> digitFrames (NumericDisplay& display)
{
    const auto image = renderComponent (display);
    std::vector<int> frames;

    for (auto* child : display.getChildren())
        frames.push_back (frameAt (image, child->getBounds().getCentreX(), child->getBounds().getCentreY()));

    return frames;
}
} // namespace

TEST_F (DisplayTest, NumericDigitsBlankLeadingZerosBeforeTheUnitsDigit)
{
    struct Row
    {
        const char* attributes;
        double value;
        std::vector<int> frames;     // sign first when there is one; frame = digit + 1, 0 blank
    };

    const Row rows[] = {
        { R"(digitsNum="3" firstDigitOrder="10" maxValue="99.9")", 12.345, { 2, 3, 4 } },
        { R"(digitsNum="3" firstDigitOrder="10" maxValue="99.9")", 5.0, { 0, 6, 1 } },
        { R"(digitsNum="3" firstDigitOrder="50" maxValue="999")", 5.0, { 0, 0, 6 } },      // not a power of ten: 100
        { R"(digitsNum="4" firstDigitOrder="100" maxValue="300")", 120.0, { 2, 3, 1, 1 } },  // the tempo
        { R"(digitsNum="0" maxValue="9")", 7.0, { 8 } },                                      // at least one digit
        { R"(digitsNum="2" firstDigitOrder="10" maxValue="50")", 80.0, { 6, 1 } },            // clamped
        { R"(digitsNum="2" firstDigitOrder="10" minValue="-10" maxValue="10")", -5.0, { 1, 0, 6 } },
        { R"(digitsNum="2" firstDigitOrder="10" minValue="-10" maxValue="10")", 5.0, { 0, 0, 6 } },
        { R"(digitsNum="3" firstDigitOrder="100" maxValue="999")", 0.0, { 0, 0, 1 } },        // zero shows "0"
        { R"(digitsNum="3" firstDigitOrder="10" maxValue="99.9")", 0.5, { 0, 1, 6 } },        // "0.5"
        { R"(digitsNum="2" firstDigitOrder="10" minValue="-10" maxValue="10")", 0.0, { 0, 0, 1 } },
    };

    for (const auto& row : rows)
    {
        auto& display = load<NumericDisplay> (juce::String ("<NumericDisplay name=\"N\" ") + row.attributes
                                              + "><sign><gfx resource=\"sign.png\"/></sign><digits resource=\"digit.png\"/></NumericDisplay>");
        display.setValue (row.value, false);
        EXPECT_EQ (digitFrames (display), row.frames) << row.attributes << " showing " << row.value;
    }
}

TEST_F (DisplayTest, NumericDisplayDarkWhenDisabled)
{
    auto& display = load<NumericDisplay> (R"(<NumericDisplay name="N" digitsNum="2" minValue="-10" maxValue="10">
        <sign><gfx resource="sign.png"/></sign><digits><gfx resource="digit.png"/><gfx resource="digit.png"/></digits></NumericDisplay>)");
    display.setValue (-9.0, false);
    ASSERT_EQ (digitFrames (display), (std::vector<int> { 1, 0, 10 }));

    display.setEnabled (false);
    EXPECT_EQ (digitFrames (display), (std::vector<int> { 0, 0, 0 }));
}

TEST_F (DisplayTest, DraggingANumericDisplayStepsByTheDigitUnderTheMouse)
{
    struct Row
    {
        const char* control;
        int x, dy;
        float written;
    };

    // Three digits of 8 pixels; 10 pixels a step, upwards positive.
    const Row rows[] = {
        { "", 2, -25, 200.0f },
        { "", 12, -25, 20.0f },
        { "", 20, -9, 0.0f },
        { "", 20, 30, 0.0f },           // clamped at the minimum
        { "continous", 20, -25, 20.0f },
    };

    for (const auto& row : rows)
    {
        auto& display = load<NumericDisplay> (juce::String ("<NumericDisplay name=\"N\" digitsNum=\"3\" firstDigitOrder=\"100\" maxValue=\"999\" control=\"")
                                              + row.control + "\"><digits resource=\"digit.png\"/></NumericDisplay>");
        auto& tempo = parameters.add<FloatParameter> (0, "Tempo", 0.0f, 999.0f, 0.0f);
        ControllerRecorder recorder;
        display.setParameter (&tempo);
        display.addListener (&recorder);

        pressDragRelease (display, { row.x, 5 }, { 0, row.dy });

        EXPECT_EQ (tempo.getValue(), row.written) << row.control << " at " << row.x << " by " << row.dy;
        EXPECT_EQ (recorder.calls.front(), "gesture start");
        EXPECT_EQ (recorder.calls.back(), "gesture end");
    }
}

//==============================================================================
TEST_F (DisplayTest, Note61ShowsCSharpFiveAndTheDisplayIsAsHighAsItsTallestPart)
{
    auto& display = load<NoteDisplay> (R"(<NoteDisplay name="Key">
        <gfx><notes resource="notes.png"/><tones resource="tones.png"/><octaves resource="octaves.png"/></gfx></NoteDisplay>)");
    EXPECT_EQ (display.getBounds(), juce::Rectangle<int> (0, 0, 20, 10));

    const auto partFrames = [&display]
    {
        const auto image = renderComponent (display);
        return std::vector<int> { frameAt (image, 4, 5), frameAt (image, 10, 3), frameAt (image, 16, 4) };
    };

    auto& note = parameters.add<NoteParameter> (0, "Key", "C#5");
    display.setParameter (&note);
    display.refreshFromParameter();
    EXPECT_EQ (partFrames(), (std::vector<int> { 1, 1, 6 }));

    note.setIntValue (71, true);
    dispatchPendingMessages();
    EXPECT_EQ (partFrames(), (std::vector<int> { 7, 2, 6 }));

    display.setEnabled (false);
    EXPECT_EQ (partFrames(), (std::vector<int> { 0, 0, 0 }));
}

TEST_F (DisplayTest, DraggingANoteDisplayStepsASemitonePerTwentyPixels)
{
    auto& display = load<NoteDisplay> (R"(<NoteDisplay name="Key"><size width="30" height="16"/></NoteDisplay>)");
    auto& note = parameters.add<NoteParameter> (0, "Key", "C-5");
    display.setParameter (&note);
    display.refreshFromParameter();

    pressDragRelease (display, { 5, 8 }, { 0, -19 });
    EXPECT_EQ (note.getIntValue(), 60);

    pressDragRelease (display, { 5, 8 }, { 0, -20 });
    EXPECT_EQ (note.getIntValue(), 61);

    pressDragRelease (display, { 5, 8 }, { 0, 2000 });
    EXPECT_EQ (note.getIntValue(), 0);
}

TEST_F (DisplayTest, ANumberOrNoteDisplayThatGoesMidDragEndsItsGestureOnce)
{
    struct Log : public Parameter::Listener
    {
        void parameterChanged (Parameter*) override {}
        void parameterChangeGestureBegin (Parameter*) override  { entries << "b"; }
        void parameterChangeGestureEnd (Parameter*) override    { entries << "e"; }
        juce::String entries;
    };

    // A parameter keeps its synchronous listeners: each log lives as long as the test.
    std::vector<std::unique_ptr<Log>> logs;

    const auto dragThenGo = [this, &logs] (const juce::String& xml, Parameter& parameter, bool deleted)
    {
        auto& log = *logs.emplace_back (std::make_unique<Log>());
        parameter.addListener (&log);
        auto& display = load<juce::Component> (xml);
        dynamic_cast<GUIController&> (display).setParameter (&parameter);

        display.mouseDown (mouseEvent (display, { 5, 5 }));
        display.mouseDrag (mouseEvent (display, { 5, -40 }, juce::ModifierKeys::leftButtonModifier, juce::Point<int> (5, 5)));

        if (deleted)
            panel.reset();
        else
            panel->removeChildComponent (&display);   // the window closed; the mouse-up comes later, if ever

        return log.entries;
    };

    // A parameter's synchronous list cannot be left: each case has parameters of its own.
    for (const bool deleted : { true, false })
    {
        auto& tempo = parameters.add<FloatParameter> (0, "Tempo", 0.0f, 999.0f, 0.0f);
        EXPECT_EQ (dragThenGo (R"(<NumericDisplay name="N" digitsNum="3" maxValue="999"><digits resource="digit.png"/></NumericDisplay>)",
                               tempo, deleted), "be") << (deleted ? "deleted" : "hidden");

        auto& note = parameters.add<NoteParameter> (1, "Key", "C-5");
        EXPECT_EQ (dragThenGo (R"(<NoteDisplay name="Key"><size width="30" height="16"/></NoteDisplay>)", note, deleted), "be")
            << (deleted ? "deleted" : "hidden");
    }
}
