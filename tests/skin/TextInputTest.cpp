#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/TextInput.h"
#include "support/ParameterListeners.h"
#include "support/UiEvents.h"

using namespace ControlTest;

namespace
{
// A field bound to a level, as a page would use it, with an edit begun by hand
// (without a display the editor gets no focus of its own).
struct Field
{
    Field()
    {
        input.setBounds (0, 0, 120, 20);
        level.addListener (&writes);
        input.setParameter (&level);
        input.addListener (&recorder);
    }

    ModalTextEditor& beginEdit()
    {
        input.showEditor();
        auto& editor = *input.getEditor();
        editor.focusGained (juce::Component::focusChangedByMouseClick);
        return editor;
    }

    FloatParameter level { 1, "Level", 0.0f, 1.0f, 0.5f };
    RecordingListener writes;
    TextInput input { "Name", "Acid Line" };
    ControllerRecorder recorder;
};
} // namespace

TEST_F (SkinTest, TextInputEditTriggersFollowTheSkin)
{
    struct Row
    {
        const char* editable;
        bool opensOnClick, opensOnDoubleClick;
    };

    const Row rows[] = {
        { nullptr, true, false },
        { "onClick", true, false },
        { "onDoubleClick", false, true },
        { "no", false, false },
        { "sometimes", true, false },
    };

    for (const auto& row : rows)
    {
        const auto element = juce::parseXML (row.editable == nullptr ? juce::String ("<TextInput/>")
                                                                     : "<TextInput editable=\"" + juce::String (row.editable) + "\"/>");

        for (const auto doubleClick : { false, true })
        {
            TextInput input ("Name", {});
            input.loadFromXml (*element, skin);
            input.setBounds (0, 0, 100, 20);
            const auto event = makeMouseEvent (input, { 10, 10 });
            doubleClick ? input.mouseDoubleClick (event) : input.mouseDown (event);

            EXPECT_EQ (input.isEditing(), doubleClick ? row.opensOnDoubleClick : row.opensOnClick)
                << (row.editable != nullptr ? row.editable : "none") << (doubleClick ? ", double click" : ", click");

            bool takesClicks = false, childrenTakeClicks = false;
            input.getInterceptsMouseClicks (takesClicks, childrenTakeClicks);
            EXPECT_EQ (takesClicks, row.opensOnClick || row.opensOnDoubleClick);
        }
    }
}

TEST (TextInput, ACommitWritesTheParameterOnceAndTellsTheEditor)
{
    Field field;
    auto& editor = field.beginEdit();
    EXPECT_TRUE (field.input.isEditing());
    EXPECT_EQ (editor.getHighlightedText(), "Acid Line");

    typeText (editor, "0.25");
    dispatchPendingMessages();
    EXPECT_EQ (field.input.getText(), "0.25") << "the field follows every keystroke";
    pressKey (editor, makeKey (juce::KeyPress::returnKey));
    dispatchPendingMessages();

    EXPECT_FALSE (field.input.isEditing());
    EXPECT_FLOAT_EQ (field.level.getValue(), 0.25f);
    EXPECT_EQ (field.writes.numChanges(), 1);
    EXPECT_EQ (field.recorder.calls, std::vector<juce::String> { "value" });
}

TEST (TextInput, EscapeRestoresTheTextAndWritesNothing)
{
    Field field;
    auto& editor = field.beginEdit();
    typeText (editor, "0.9");
    dispatchPendingMessages();
    EXPECT_EQ (field.input.getText(), "0.9");
    pressKey (editor, makeKey (juce::KeyPress::escapeKey));
    dispatchPendingMessages();

    EXPECT_FALSE (field.input.isEditing());
    EXPECT_EQ (field.input.getText(), "Acid Line");
    EXPECT_FLOAT_EQ (field.level.getValue(), 0.5f);
    EXPECT_EQ (field.writes.numChanges(), 0);
    EXPECT_TRUE (field.recorder.calls.empty());
}

TEST_F (SkinTest, TextInputReadsItsLookFromTheSkinAndOutlinesTheEditInItsFocusColour)
{
    const auto element = juce::parseXML (R"(<TextInput name="Bass" backgroundColour="FF203040" focusedOutlineColour="FFFF0000">
        <font name="Tahoma" height="nan" style="bold"/><size width="120" height="20"/><pos left="3" top="4"/></TextInput>)");
    TextInput input ("Name", {});
    input.loadFromXml (*element, skin);

    EXPECT_EQ (input.getText(), "Bass");
    EXPECT_EQ (input.getBounds(), juce::Rectangle<int> (3, 4, 120, 20));
    EXPECT_TRUE (input.getFont().isBold());
    EXPECT_FLOAT_EQ (input.getFont().getHeight(), 13.0f) << "a height that is no number keeps the field's";

    auto image = renderComponent (input);
    EXPECT_TRUE (pixelIs (image, 110, 10, juce::Colour (0xFF203040)));
    EXPECT_TRUE (pixelIs (image, 0, 10, juce::Colours::white));

    input.showEditor();
    image = renderComponent (input);
    EXPECT_TRUE (pixelIs (image, 0, 10, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 110, 10, juce::Colour (0xFF203040)));
}
