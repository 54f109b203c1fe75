#pragma once

#include "skin/GFXDisplayListener.h"
#include "skin/GUIController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A line of text in a bitmap font, editable in place.

    The glyph strip stacks one glyph per character code from firstASCII on,
    each glyphWidth x fontHeight, and holds the set twice: the second set is
    the look of the character under the caret. Without a strip the text is
    drawn in the plain font.

    A click on an editable display starts an edit, and only a click: the
    display takes the keyboard for the edit alone and lets every key pass
    otherwise. Return, a lost focus or a press anywhere else ends the edit,
    Escape ends it with the text from before. An edit that changed the text
    is reported to the GFXDisplayListeners.
*/
class GFXDisplay : public GUIController,
                   public juce::Component,
                   public juce::Timer
{
public:
    explicit GFXDisplay (const juce::String& controlName);

    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept    { return text; }

    /** Only an editable display takes clicks and shows its caret. */
    void setEditable (bool shouldBeEditable);
    bool isEditable() const noexcept                { return editable; }

    /** True between the click that started an edit and its end. */
    bool isEditing() const noexcept                 { return editing; }

    using GUIController::addListener;
    using GUIController::removeListener;
    void addListener (GFXDisplayListener* listener);
    void removeListener (GFXDisplayListener* listener);

    /** Glyphs that fit across the display. */
    int getNumCharsFitting() const noexcept;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void blinkStateChanged() override;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void focusGained (juce::Component::FocusChangeType cause) override;
    void focusLost (juce::Component::FocusChangeType cause) override;
    void inputAttemptWhenModal() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void enablementChanged() override;
    void timerCallback() override;

private:
    void startEdit();
    void endEdit();
    void passFocusOn();
    void setEditedText (const juce::String& newText);
    void makeCaretVisible();
    void updateGlyphLayout();
    int getGlyphIndex (juce::juce_wchar character) const noexcept;

    juce::Image fontImage;
    int glyphWidth = 8;
    int fontHeight = 0;
    int firstASCII = 32, lastASCII = 160, glyphCount = 0;
    bool caretShown = false;
    int caretPos = 0, scrollPos = 0;
    bool centreShortText = false;
    juce::Array<GFXDisplayListener*> displayListeners;
    juce::String shownText, textBeforeEdit;
    bool editable = true;
    bool editing = false;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE (GFXDisplay)
};
