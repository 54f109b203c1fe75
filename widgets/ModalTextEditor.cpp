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
    modalListeners.add (listener);
}

void ModalTextEditor::removeModalListener (ModalListener* listener)
{
    modalListeners.remove (listener);
}

void ModalTextEditor::focusGained (juce::Component::FocusChangeType cause)
{
    savedText = getText();
    juce::TextEditor::focusGained (cause);

    if (! hasKeyboardFocus (false))
        grabKeyboardFocus();

    repaint();
}

void ModalTextEditor::focusLost (juce::Component::FocusChangeType cause)
{
    setHighlightedRegion ({ 0, 0 });
    juce::TextEditor::focusLost (cause);

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
    const juce::Component::BailOutChecker checker (this);
    modalListeners.callChecked (checker, [this] (ModalListener& l) { l.textChanging (this); });
}

void ModalTextEditor::textEditorReturnKeyPressed (juce::TextEditor&)
{
    focusLost (juce::Component::focusChangedDirectly);
}

void ModalTextEditor::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    const juce::Component::BailOutChecker checker (this);
    setText (savedText, false);
    focusLost (juce::Component::focusChangedDirectly);

    if (! checker.shouldBailOut())
        modalListeners.callChecked (checker, [this] (ModalListener& l) { l.editCancelled (this); });
}
