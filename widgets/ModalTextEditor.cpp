#include "widgets/ModalTextEditor.h"

ModalTextEditor::ModalTextEditor (const juce::String& name)
    : juce::TextEditor (name)
{
    setWantsKeyboardFocus (true);
    setPopupMenuEnabled (false);
    setSelectAllWhenFocused (true);
    addListener (this);
}

ModalTextEditor::~ModalTextEditor()
{
    removeListener (this);
}

void ModalTextEditor::addModalListener (ModalListener* listener)
{
    if (listener != nullptr)
        modalListeners.add (listener);
}

void ModalTextEditor::removeModalListener (ModalListener* listener)
{
    modalListeners.remove (listener);
}

void ModalTextEditor::focusGained (juce::Component::FocusChangeType cause)
{
    savedText = getText();
    editOpen = true;
    juce::TextEditor::focusGained (cause);

    if (! hasKeyboardFocus (false))
        grabKeyboardFocus();

    repaint();
}

void ModalTextEditor::focusLost (juce::Component::FocusChangeType cause)
{
    juce::TextEditor::focusLost (cause);

    // Return and Escape ended the edit already: an owner that hides the
    // field then takes its focus, which ends nothing more.
    if (editOpen)
        endEdit();
}

void ModalTextEditor::endEdit()
{
    editOpen = false;
    setHighlightedRegion ({ 0, 0 });

    // A listener may delete the field: stop telling the others when it does.
    const juce::Component::BailOutChecker checker (this);

    if (getText() != savedText)
    {
        modalListeners.callChecked (checker, [this] (ModalListener& l) { l.textCommitted (this); });

        if (checker.shouldBailOut())
            return;

        savedText = getText();
    }

    modalListeners.callChecked (checker, [this] (ModalListener& l) { l.editEnded (this); });

    if (! checker.shouldBailOut())
        repaint();
}

void ModalTextEditor::lookAndFeelChanged()
{
    juce::TextEditor::lookAndFeelChanged();

    // A text set before the field joined the editor's tree keeps the default
    // look and feel's colour (white in JUCE 7's) on the editor's white field.
    applyColourToAllText (findColour (juce::TextEditor::textColourId), true);
}

void ModalTextEditor::textEditorTextChanged (juce::TextEditor&)
{
    // Typing on in a field that kept its focus after Return edits again.
    editOpen = true;
    const juce::Component::BailOutChecker checker (this);
    modalListeners.callChecked (checker, [this] (ModalListener& l) { l.textChanging (this); });
}

void ModalTextEditor::textEditorReturnKeyPressed (juce::TextEditor&)
{
    // The key ends an edit each time it is pressed, as a focus change made directly does.
    editOpen = true;
    focusLost (juce::Component::focusChangedDirectly);
}

void ModalTextEditor::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    const juce::Component::BailOutChecker checker (this);
    setText (savedText, false);
    editOpen = true;
    focusLost (juce::Component::focusChangedDirectly);

    if (! checker.shouldBailOut())
        modalListeners.callChecked (checker, [this] (ModalListener& l) { l.editCancelled (this); });
}
