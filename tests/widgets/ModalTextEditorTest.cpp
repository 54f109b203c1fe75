#include "support/MessageQueue.h"
#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/ModalTextEditor.h"

#include <gtest/gtest.h>

namespace
{
struct Recorder : public ModalTextEditor::ModalListener
{
    void textChanging (ModalTextEditor*) override { events.add ("changing"); }
    void textCommitted (ModalTextEditor* editor) override { events.add ("committed " + editor->getText()); }
    void editCancelled (ModalTextEditor*) override { events.add ("cancelled"); }
    void editEnded (ModalTextEditor*) override { events.add ("ended"); }

    juce::StringArray events;
};

// The field as a page uses it: text set, focus given, keys typed.
struct Field
{
    Field()
    {
        editor.setBounds (0, 0, 200, 20);
        editor.setText ("Acid Line", false);
        editor.addModalListener (&recorder);
        editor.addModalListener (&recorder);
        editor.addModalListener (nullptr);
        editor.focusGained (juce::Component::focusChangedByMouseClick);
        dispatchPendingMessages();
        recorder.events.clear();
    }

    void type (const juce::String& text)
    {
        editor.moveCaretToEnd();
        typeText (editor, text);
        dispatchPendingMessages();
    }

    void press (int keyCode)
    {
        pressKey (editor, makeKey (keyCode));
        dispatchPendingMessages();
    }

    ModalTextEditor editor { "name" };
    Recorder recorder;
};
} // namespace

TEST (ModalTextEditor, ReturnAfterTypingCommitsTheNewTextOnce)
{
    Field field;
    field.type (" 2");
    field.press (juce::KeyPress::returnKey);

    EXPECT_EQ (field.editor.getText(), "Acid Line 2");
    EXPECT_EQ (field.recorder.events, juce::StringArray ({ "changing", "changing", "committed Acid Line 2", "ended" }));

    // Return ended the edit: the field losing its focus next ends nothing more.
    field.recorder.events.clear();
    field.editor.focusLost (juce::Component::focusChangedByMouseClick);
    EXPECT_TRUE (field.recorder.events.isEmpty()) << field.recorder.events.joinIntoString (", ");

    // Typing on in the field that kept its focus is an edit of its own, which that loss ends.
    field.type ("!");
    field.recorder.events.clear();
    field.editor.focusLost (juce::Component::focusChangedByMouseClick);
    EXPECT_EQ (field.recorder.events, juce::StringArray ({ "committed Acid Line 2!", "ended" }));
}

TEST (ModalTextEditor, ReturnWithTheTextUnchangedOnlyEndsTheEdit)
{
    Field field;
    field.press (juce::KeyPress::returnKey);
    EXPECT_EQ (field.recorder.events, juce::StringArray ({ "ended" }));
}

TEST (ModalTextEditor, EscapeRestoresTheTextAndCancelsWithoutCommitting)
{
    Field field;
    field.type ("xyz");
    field.press (juce::KeyPress::escapeKey);

    EXPECT_EQ (field.editor.getText(), "Acid Line");
    EXPECT_EQ (field.recorder.events, juce::StringArray ({ "changing", "changing", "changing", "ended", "cancelled" }));
}

TEST (ModalTextEditor, AListenerMayDeleteTheFieldWhenTheEditEnds)
{
    struct Deleter : public ModalTextEditor::ModalListener
    {
        void editEnded (ModalTextEditor*) override { field.reset(); }
        std::unique_ptr<ModalTextEditor> field;
    };

    Deleter deleter;
    deleter.field = std::make_unique<ModalTextEditor> ("name");
    deleter.field->addModalListener (&deleter);
    deleter.field->focusGained (juce::Component::focusChangedDirectly);
    typeText (*deleter.field, "a");
    pressKey (*deleter.field, makeKey (juce::KeyPress::escapeKey));
    dispatchPendingMessages();

    EXPECT_EQ (deleter.field, nullptr);
}

TEST (ModalTextEditor, ATextSetBeforeJoiningTheEditorTakesTheEditorsTextColour)
{
    ModalTextEditor field ("name");
    field.setBounds (0, 0, 200, 22);
    field.setText ("Acid Line", false);

    TestDesktop desktop;
    desktop.adopt (field);
    const auto image = renderComponent (field);
    int darkPixels = 0;

    for (int y = 2; y < 20; ++y)
        for (int x = 2; x < 100; ++x)
            darkPixels += image.getPixelAt (x, y).getBrightness() < 0.3f ? 1 : 0;

    EXPECT_GT (darkPixels, 40);
}

TEST (ModalTextEditor, AnOwnerThatHidesTheFieldWhenTheEditEndsHearsTheEndOnce)
{
    // The skin's text field and the browser's rename label hide the field when
    // the edit ends; hiding the focused field makes the toolkit take its focus.
    struct Hider : public Recorder
    {
        void editEnded (ModalTextEditor* editor) override
        {
            Recorder::editEnded (editor);
            editor->setVisible (false);
            editor->focusLost (juce::Component::focusChangedDirectly);
        }
    };

    const std::pair<int, juce::StringArray> rows[] = {
        { juce::KeyPress::returnKey, { "changing", "committed Acid Line!", "ended" } },
        { juce::KeyPress::escapeKey, { "changing", "ended", "cancelled" } },
    };

    for (const auto& [keyCode, expected] : rows)
    {
        ModalTextEditor field ("name");
        Hider owner;
        field.setBounds (0, 0, 200, 20);
        field.setText ("Acid Line", false);
        field.addModalListener (nullptr);   // ignored: null is no listener
        field.addModalListener (&owner);
        field.focusGained (juce::Component::focusChangedByMouseClick);

        field.moveCaretToEnd();
        typeText (field, "!");
        pressKey (field, makeKey (keyCode));
        dispatchPendingMessages();

        EXPECT_EQ (owner.events, expected) << (keyCode == juce::KeyPress::returnKey ? "Return" : "Escape");
        EXPECT_FALSE (field.isVisible());
    }
}
