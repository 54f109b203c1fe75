#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A single-line text field that reports its edit as explicit steps: every
    keystroke, a commit when the edit ends with a changed text, a cancel on
    escape (which restores the text from when the edit began), and the end of
    every edit, once: losing the focus after Return or Escape ended the edit
    ends nothing more. It keeps the keyboard focus; the owner decides when to
    hide it.
*/
class ModalTextEditor : public juce::TextEditor,
                        private juce::TextEditor::Listener
{
public:
    class ModalListener
    {
    public:
        virtual ~ModalListener() = default;

        /** Every keystroke. */
        virtual void textChanging (ModalTextEditor*) {}
        /** The edit ended with a text other than the one it began with. */
        virtual void textCommitted (ModalTextEditor*) {}
        /** Escape was pressed; the text is back to what it was. */
        virtual void editCancelled (ModalTextEditor*) {}
        /** After every end of an edit. */
        virtual void editEnded (ModalTextEditor*) {}
    };

    explicit ModalTextEditor (const juce::String& componentName);
    ~ModalTextEditor() override;

    /** Null and a listener already added are ignored. */
    void addModalListener (ModalListener* listener);
    void removeModalListener (ModalListener* listener);

    void focusGained (juce::Component::FocusChangeType cause) override;
    void focusLost (juce::Component::FocusChangeType cause) override;

    /** Recolours the text already there: JUCE keeps the colour text was typed or set in. */
    void lookAndFeelChanged() override;

private:
    /** Commits a changed text, then tells every listener the edit ended. */
    void endEdit();

    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;

    juce::ListenerList<ModalListener> modalListeners;
    juce::String savedText;
    bool editOpen = false;

    JUCE_DECLARE_NON_COPYABLE (ModalTextEditor)
};
