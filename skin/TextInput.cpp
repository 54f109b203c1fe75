#include "skin/TextInput.h"

#include "framework/XmlHelpers.h"
#include "skin/SkinGeometry.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

#include <cmath>

namespace
{
struct ColourAttribute
{
    const char* name;
    int colourId;
};

const ColourAttribute colourAttributes[] = {
    { "textColour", juce::TextEditor::textColourId },
    { "highlightedTextColour", juce::TextEditor::highlightedTextColourId },
    { "caretColour", juce::CaretComponent::caretColourId },
    { "backgroundColour", juce::TextEditor::backgroundColourId },
    { "highlightColour", juce::TextEditor::highlightColourId },
    { "outlineColour", juce::TextEditor::outlineColourId },
    { "focusedOutlineColour", juce::TextEditor::focusedOutlineColourId },
};

juce::Font readFont (const juce::XmlElement& element, const juce::Font& current)
{
    const auto height = element.getDoubleAttribute ("height", 0.0);
    const auto kerning = element.getDoubleAttribute ("extraKerning", 0.0);
    const auto style = element.getStringAttribute ("style") == "bold" ? juce::Font::bold : juce::Font::plain;

    // A height that draws nothing, or is no number at all, keeps the one the field has.
    const auto usableHeight = std::isfinite (height) && height > 0.0 ? (float) height : current.getHeight();

    return juce::Font (element.getStringAttribute ("name"), usableHeight, style)
        .withExtraKerningFactor (std::isfinite (kerning) ? (float) kerning : 0.0f);
}
} // namespace

TextInput::TextInput (const juce::String& controlName, const juce::String& initialText)
    : juce::Component (controlName),
      text (initialText),
      font (InterfaceTypefaces::font (13.0f))
{
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xFFE3E3E3));
    setColour (juce::TextEditor::textColourId, juce::Colours::black);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xFFFFA500));
    setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    setColour (juce::TextEditor::outlineColourId, juce::Colours::white);
    setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xFFFF4500).withAlpha (0.75f));
    setEditTriggers (true, false);
}

TextInput::~TextInput()
{
    if (editor != nullptr)
        editor->removeModalListener (this);
}

void TextInput::setText (const juce::String& newText)
{
    if (newText == text)
        return;

    text = newText;

    if (editor != nullptr)
        editor->setText (text, false);

    repaint();
}

void TextInput::setFont (const juce::Font& newFont)
{
    if (newFont == font)
        return;

    font = newFont;

    if (editor != nullptr)
    {
        editor->applyFontToAllText (font);
        applyIndentsToEditor();
    }

    repaint();
}

void TextInput::setTextMargin (int newMargin)
{
    if (newMargin == margin)
        return;

    margin = newMargin;

    if (editor != nullptr)
        applyIndentsToEditor();

    repaint();
}

void TextInput::setEditorIndentOffset (int newOffset)
{
    if (newOffset == editorIndentOffset)
        return;

    editorIndentOffset = newOffset;

    if (editor != nullptr)
        applyIndentsToEditor();
}

void TextInput::setJustification (juce::Justification newJustification)
{
    if (newJustification != justification)
    {
        justification = newJustification;
        repaint();
    }
}

void TextInput::setEditTriggers (bool onClick, bool onDoubleClick)
{
    editOnClick = onClick;
    editOnDoubleClick = onDoubleClick && ! onClick;

    // The editor, a child, takes clicks while it is shown.
    setInterceptsMouseClicks (editOnClick || editOnDoubleClick, true);
}

void TextInput::addListener (ModalTextEditor::ModalListener* listener)
{
    if (listener == nullptr)
        return;

    if (editor != nullptr)
        editor->addModalListener (listener);
    else
        pendingListeners.addIfNotAlreadyThere (listener);
}

bool TextInput::isEditing() const noexcept
{
    return editor != nullptr && editor->isVisible();
}

void TextInput::createEditor()
{
    editor = std::make_unique<ModalTextEditor> (getName());
    editor->addModalListener (this);
    editor->setBounds (getLocalBounds());
    editor->setFont (font);
    applyColoursToEditor();
    applyIndentsToEditor();

    for (auto* listener : pendingListeners)
        editor->addModalListener (listener);

    pendingListeners.clear();
    addChildComponent (*editor);
}

void TextInput::applyColoursToEditor()
{
    editor->setColour (juce::CaretComponent::caretColourId, findColour (juce::CaretComponent::caretColourId));
    editor->setColour (juce::TextEditor::textColourId, findColour (juce::TextEditor::textColourId));
    editor->setColour (juce::TextEditor::highlightedTextColourId, findColour (juce::TextEditor::highlightedTextColourId));
    editor->setColour (juce::TextEditor::highlightColourId, findColour (juce::TextEditor::highlightColourId));

    // The field draws its own background and outline behind the editor.
    for (auto id : { juce::TextEditor::backgroundColourId, juce::TextEditor::outlineColourId,
                     juce::TextEditor::focusedOutlineColourId, juce::TextEditor::shadowColourId })
        editor->setColour (id, juce::Colours::transparentBlack);

    editor->applyColourToAllText (findColour (juce::TextEditor::textColourId), true);
}

void TextInput::applyIndentsToEditor()
{
    const auto top = juce::jmax (0, (getHeight() - juce::roundToInt (font.getHeight())) / 2);
    editor->setIndents (juce::jmax (0, margin + editorIndentOffset - 1), top);
}

void TextInput::showEditor()
{
    if (editor == nullptr)
        createEditor();

    editor->clear();
    editor->setText (text, false);
    editor->selectAll();
    editor->setVisible (true);
    editor->toFront (false);
    editor->grabKeyboardFocus();
    repaint();
}

void TextInput::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setText (changed->getText());
}

void TextInput::textChanging (ModalTextEditor* source)
{
    setText (source->getText());
}

void TextInput::editCancelled (ModalTextEditor* source)
{
    setText (source->getText());
}

void TextInput::textCommitted (ModalTextEditor* source)
{
    if (auto* bound = getParameter())
    {
        bound->setValueFromText (source->getText(), true);
        sendValueChanged();
    }
}

void TextInput::editEnded (ModalTextEditor* source)
{
    source->setVisible (false);
    repaint();
}

void TextInput::mouseDown (const juce::MouseEvent&)
{
    if (isEnabled() && editOnClick)
        showEditor();
}

void TextInput::mouseDoubleClick (const juce::MouseEvent&)
{
    if (isEnabled() && editOnDoubleClick)
        showEditor();
}

void TextInput::resized()
{
    if (editor != nullptr)
    {
        editor->setBounds (getLocalBounds());
        applyIndentsToEditor();
    }
}

void TextInput::colourChanged()
{
    if (editor != nullptr)
        applyColoursToEditor();

    repaint();
}

void TextInput::paint (juce::Graphics& g)
{
    const auto background = findColour (juce::TextEditor::backgroundColourId);
    const auto outline = findColour (isEditing() ? juce::TextEditor::focusedOutlineColourId : juce::TextEditor::outlineColourId);
    const auto bounds = getLocalBounds();

    if (! background.isTransparent() && ! outline.isTransparent())
    {
        DefaultLookAndFeel::drawRoundedPanel (g, bounds, background, outline, 3.5f, 1.0f);
    }
    else
    {
        if (! background.isTransparent())
            DefaultLookAndFeel::fillRoundedRect (g, bounds, background, 3.5f);

        if (! outline.isTransparent())
            DefaultLookAndFeel::drawRoundedRectOutline (g, bounds, outline, 4.0f, 1.0f);
    }

    if (isEditing())
        return;

    // Placed by the justification but never cut short: a text wider than the
    // space between the margins runs into them.
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);
    const auto area = bounds.reduced (margin, 0).toFloat();
    glyphs.justifyGlyphs (0, glyphs.getNumGlyphs(), area.getX(), area.getY(), area.getWidth(), area.getHeight(), justification);
    g.setColour (findColour (juce::TextEditor::textColourId));
    glyphs.draw (g);
}

void TextInput::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    setText (element.getStringAttribute ("name"));

    const auto editable = element.getStringAttribute ("editable");

    if (editable == "no")
        setEditTriggers (false, false);
    else if (editable == "onClick")
        setEditTriggers (true, false);
    else if (editable == "onDoubleClick")
        setEditTriggers (false, true);

    if (const auto* fontElement = XmlHelpers::findChild (element, "font"))
        setFont (readFont (*fontElement, font));

    for (const auto& attribute : colourAttributes)
        if (element.hasAttribute (attribute.name))
            setColour (attribute.colourId, juce::Colour ((juce::uint32) element.getStringAttribute (attribute.name).getHexValue32()));

    for (auto* child : element.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "pos"))
            setTopLeftPosition (SkinGeometry::readPosition (*child, "left"), SkinGeometry::readPosition (*child, "top"));
        else if (XmlHelpers::tagMatches (*child, "size"))
            setSize (SkinGeometry::readSize (*child, "width"), SkinGeometry::readSize (*child, "height"));
    }
}
