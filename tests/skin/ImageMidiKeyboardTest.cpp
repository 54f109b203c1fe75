#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/ImageMidiKeyboard.h"
#include "support/HeadlessWindow.h"

using namespace ControlTest;

namespace
{
// Five strip keys, notes 60 to 64, each 10 x 30 and one neighbour on each side,
// side by side from the keyboard's left edge at (10, 5) in the panel.
constexpr int keyWidth = 10, keyHeight = 30, firstNote = 60;

juce::String keyXml (int index, const juce::String& gfx, const juce::String& neighbours = R"(left="1" right="1")")
{
    return "<Key " + neighbours + ">" + gfx + "<size width=\"10\" height=\"30\"/><pos left=\"" + juce::String (10 + keyWidth * index)
           + "\" top=\"5\"/></Key>";
}

class KeyboardTest : public SkinTest
{
protected:
    KeyboardTest()
    {
        package.addImage ("key.png", makeStrip (8, keyWidth, keyHeight)).addImage ("short.png", makeStrip (2, keyWidth, keyHeight));
    }

    ~KeyboardTest() override
    {
        plugin->getKeyboardState().reset();
    }

    ImageMidiKeyboard& load (const juce::String& keyboardAttributes, const juce::String& keys)
    {
        panel = packagedPanelFrom ("<size width=\"100\" height=\"40\"/><controls><MidiKeyboard name=\"Keys\" " + keyboardAttributes
                                       + "><size width=\"50\" height=\"30\"/><pos left=\"10\" top=\"5\"/><Keys>" + keys
                                       + "</Keys></MidiKeyboard></controls>",
                                   package);
        // The toolkit keyboard takes presses only on components that are on screen.
        window.addAndMakeVisible (*panel);
        return dynamic_cast<ImageMidiKeyboard&> (*panel->getChildComponent (0));
    }

    ImageMidiKeyboard& loadFiveKeys()
    {
        juce::String keys;

        for (int i = 0; i < 5; ++i)
            keys << keyXml (i, R"(<gfx resource="key.png" framesNum="8"/>)");

        return load (R"(firstKey="60" lastKey="64")", keys);
    }

    /** The strip frame drawn at a key's centre. */
    static int frameDrawn (ImageMidiKeyboard& keyboard, int note)
    {
        return frameAt (renderComponent (keyboard), (note - firstNote) * keyWidth + keyWidth / 2, keyHeight / 2, 8);
    }

    void play (std::initializer_list<int> notes)
    {
        auto& state = plugin->getKeyboardState();
        state.allNotesOff (0);

        for (auto note : notes)
            state.noteOn (1, note, 1.0f);
    }

    SkinTestSupport::Package package;
    HeadlessWindow window { 100, 40 };
    std::unique_ptr<GFXPanel> panel;
};
} // namespace

TEST_F (KeyboardTest, AKeyShowsItsOwnStateAndItsNeighboursOnceTheStateIsPolled)
{
    struct Row
    {
        std::initializer_list<int> notesOn;
        int frame;
    };

    const Row rows[] = {
        { {}, 0 }, { { 61 }, 1 }, { { 63 }, 2 }, { { 61, 63 }, 3 },
        { { 62 }, 4 }, { { 61, 62 }, 5 }, { { 62, 63 }, 6 }, { { 61, 62, 63 }, 7 },
        { { 60, 64 }, 0 }, // two keys away is no neighbour
    };

    auto& keyboard = loadFiveKeys();
    ASSERT_EQ (keyboard.getBounds(), juce::Rectangle<int> (10, 5, 50, 30));

    for (const auto& row : rows)
    {
        play (row.notesOn);
        keyboard.timerCallback();
        EXPECT_EQ (keyboard.getKeyFrame (62), row.frame);
        EXPECT_EQ (frameDrawn (keyboard, 62), row.frame);
    }
}

TEST_F (KeyboardTest, APressPlaysIntoTheStateAndChangesFramesAtOnceAReleaseShowsAtThePoll)
{
    auto& keyboard = loadFiveKeys();
    auto& state = plugin->getKeyboardState();

    // Note 61 is a black key: it is found in the upper part of its strip's place.
    press (keyboard, { 15, 5 });
    EXPECT_TRUE (state.isNoteOn (1, 61));
    EXPECT_EQ (frameDrawn (keyboard, 61), 4);
    EXPECT_EQ (frameDrawn (keyboard, 60), 2);
    EXPECT_EQ (frameDrawn (keyboard, 62), 1);

    release (keyboard, { 15, 5 });
    EXPECT_FALSE (state.isNoteOn (1, 61));
    EXPECT_TRUE (keyboard.isKeyDrawnDown (61)) << "up at the next poll";
    keyboard.timerCallback();
    EXPECT_EQ (frameDrawn (keyboard, 61), 0);
    EXPECT_EQ (frameDrawn (keyboard, 62), 0);

    // A white key is found below the black keys' length, at its skin position.
    press (keyboard, { 25, 25 });
    EXPECT_TRUE (state.isNoteOn (1, 62));
    release (keyboard, { 25, 25 });
}

TEST_F (KeyboardTest, DamagedStripsAndNeighbourCountsStayInsideTheStrip)
{
    // Note 60: "framesNum" 0; note 61: 8 frames declared, 2 in the picture;
    // note 62: 50 neighbours asked for below; note 63: no picture.
    const auto keys = keyXml (0, R"(<gfx resource="key.png" framesNum="0"/>)") + keyXml (1, R"(<gfx resource="short.png" framesNum="8"/>)")
                      + keyXml (2, R"(<gfx resource="key.png" framesNum="8"/>)", R"(left="50" right="-3")")
                      + keyXml (3, R"(<gfx resource="missing.png" framesNum="8"/>)");
    juce::String keysBelow;
    for (int note = 50; note < firstNote; ++note)
        keysBelow << "<Key/>";

    auto& keyboard = load (R"(firstKey="50" lastKey="64")", keysBelow + keys);

    play ({ 60, 61 });
    keyboard.timerCallback();
    EXPECT_EQ (frameDrawn (keyboard, 60), 0);
    EXPECT_EQ (frameDrawn (keyboard, 61), 1) << "frame 5 asked for, the strip's last drawn";
    EXPECT_EQ (keyboard.getKeyFrame (63), -1);

    play ({ 54 });
    keyboard.timerCallback();
    EXPECT_EQ (keyboard.getKeyFrame (62), 1) << "eight notes below count, the farthest in bit 0";
    play ({ 53, 63 });
    keyboard.timerCallback();
    EXPECT_EQ (keyboard.getKeyFrame (62), 0) << "nine notes below and any above do not";
}

TEST_F (KeyboardTest, RangesNeedBothEndsAndKeysPastTheLastNoteAreIgnored)
{
    auto& fullRange = load (R"(firstKey="60")", keyXml (0, R"(<gfx resource="key.png" framesNum="8"/>)"));
    EXPECT_EQ (fullRange.getRangeStart(), 0);
    EXPECT_EQ (fullRange.getRangeEnd(), 127);

    juce::String keys;
    for (int i = 0; i < 5; ++i)
        keys << keyXml (i, R"(<gfx resource="key.png" framesNum="8"/>)");

    auto& top = load (R"(firstKey="200" lastKey="126")", keys);
    EXPECT_EQ (top.getRangeStart(), 126);
    EXPECT_EQ (top.getRangeEnd(), 127);
    EXPECT_EQ (top.getKeyFrame (127), 0);
}
