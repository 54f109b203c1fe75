#pragma once

#include "skin/GUIController.h"
#include "widgets/ModalTextEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A text field that draws its text itself and edits it in an in-place
    ModalTextEditor, opened by a click or a double click.

    A committed edit writes the bound parameter from the text (notified) and
    tells the controller's listeners; Escape restores the text and writes
    nothing. Colours are the toolkit's text-editor colour ids, set on this
    component.
*/
class TextInput : public juce::Component,
                  public GUIController,
                  public ModalTextEditor::ModalListener
{
public:
    TextInput (const juce::String& controlName, const juce::String& initialText);
    ~TextInput() override;

    /** A live editor takes the text without notification. */
    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept            { return text; }

    void setFont (const juce::Font& newFont);
    const juce::Font& getFont() const noexcept              { return font; }
    void setTextMargin (int newMargin);
    void setEditorIndentOffset (int newOffset);
    void setJustification (juce::Justification newJustification);

    /** With neither trigger the field takes no clicks; a click trigger wins over a double click. */
    void setEditTriggers (bool onClick, bool onDoubleClick);
    bool editsOnClick() const noexcept                      { return editOnClick; }
    bool editsOnDoubleClick() const noexcept                { return editOnDoubleClick; }

    /** Hears the editor; kept until the editor exists. Null and duplicates are ignored. */
    using GUIController::addListener;
    void addListener (ModalTextEditor::ModalListener* listener);

    /** Opens the editor over the field with the whole text selected. */
    void showEditor();
    bool isEditing() const noexcept;

    /** The in-place editor, or null before the first edit. */
    ModalTextEditor* getEditor() const noexcept             { return editor.get(); }

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;

    void textChanging (ModalTextEditor* source) override;
    void textCommitted (ModalTextEditor* source) override;
    void editCancelled (ModalTextEditor* source) override;
    void editEnded (ModalTextEditor* source) override;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void resized() override;
    void colourChanged() override;
    void paint (juce::Graphics& g) override;

private:
    void createEditor();
    void applyColoursToEditor();
    void applyIndentsToEditor();

    juce::Array<ModalTextEditor::ModalListener*> pendingListeners;
    juce::String text;
    std::unique_ptr<ModalTextEditor> editor;
    juce::Font font;
    juce::Justification justification { juce::Justification::centredLeft };
    int margin = 5;
    int editorIndentOffset = 0;
    bool editOnClick = true;
    bool editOnDoubleClick = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInput)
};
