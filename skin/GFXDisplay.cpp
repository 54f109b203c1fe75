#include "skin/GFXDisplay.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

namespace
{
constexpr int idleCaretPeriodMs = 250;
constexpr int editCaretPeriodMs = 500;

// Only a glyph range up to this code is drawn; codes above it show the first glyph.
constexpr int lastDrawableCode = 127;

juce::Colour readColour (const juce::XmlElement& element, juce::StringRef attribute)
{
    return juce::Colour (static_cast<juce::uint32> (element.getStringAttribute (attribute, "0").getHexValue32()));
}
} // namespace

GFXDisplay::GFXDisplay (const juce::String& controlName)
    : juce::Component (controlName)
{
    setOpaque (true);

    // The keyboard is the host's until a click on the display starts an edit:
    // neither a click elsewhere nor the window's activation hands it over.
    setWantsKeyboardFocus (false);
    setMouseClickGrabsKeyboardFocus (false);
    startTimer (idleCaretPeriodMs);
}

void GFXDisplay::setText (const juce::String& newText)
{
    text = newText;
    shownText = newText;
    repaint();
}

void GFXDisplay::setEditable (bool shouldBeEditable)
{
    // Only the wish to be edited by a click: the focus itself comes from mouseDown.
    editable = shouldBeEditable;
    repaint();
}

void GFXDisplay::addListener (GFXDisplayListener* listener)
{
    if (listener != nullptr)
        displayListeners.addIfNotAlreadyThere (listener);
}

void GFXDisplay::removeListener (GFXDisplayListener* listener)
{
    displayListeners.removeFirstMatchingValue (listener);
}

int GFXDisplay::getNumCharsFitting() const noexcept
{
    return glyphWidth > 0 ? getWidth() / glyphWidth : 0;
}

void GFXDisplay::updateFromParameter (Parameter* changed)
{
    setText (changed->getText());
}

void GFXDisplay::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    setText (element.getStringAttribute ("name"));

    const auto background = readColour (element, "backgroundColour");
    setColour (juce::CaretComponent::caretColourId, readColour (element, "caretColour"));
    setColour (juce::TextEditor::backgroundColourId, background);

    // A see-through background must let the panel draw behind the display.
    setOpaque (background.isOpaque());

    if (element.getStringAttribute ("readonly", "no") == "yes")
        setEnabled (false);

    for (auto* child : element.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "gfx"))
        {
            const auto strip = skin.getImage (child->getStringAttribute ("resource"));

            if (strip.isValid())
                fontImage = strip;

            fontHeight = SkinGeometry::readSize (*child, "fontHeight");
            firstASCII = static_cast<int> (child->getStringAttribute ("firstASCII", " ")[0]);
        }
        else if (XmlHelpers::tagMatches (*child, "pos"))
        {
            setTopLeftPosition (SkinGeometry::readPosition (*child, "left"), SkinGeometry::readPosition (*child, "top"));
        }
        else if (XmlHelpers::tagMatches (*child, "size"))
        {
            setSize (SkinGeometry::readSize (*child, "width"), SkinGeometry::readSize (*child, "height"));
        }
    }

    updateGlyphLayout();
    repaint();
}

void GFXDisplay::updateGlyphLayout()
{
    if (! fontImage.isValid())
        return;

    glyphWidth = fontImage.getWidth();
    lastASCII = fontHeight < 1 ? firstASCII : firstASCII + fontImage.getHeight() / (2 * fontHeight) - 1;
    glyphCount = lastASCII - firstASCII + 1;
}

void GFXDisplay::blinkStateChanged()
{
    shownText = isBlinkedOff() ? juce::String() : text;
    repaint();
}

void GFXDisplay::enablementChanged()
{
    repaint();
}

int GFXDisplay::getGlyphIndex (juce::juce_wchar character) const noexcept
{
    const auto code = static_cast<int> (character);
    const auto last = juce::jmin (lastASCII, lastDrawableCode);

    if (code > lastDrawableCode || last < firstASCII)
        return 0;

    return juce::jlimit (0, juce::jmax (0, glyphCount - 1), juce::jlimit (firstASCII, last, code) - firstASCII);
}

void GFXDisplay::paint (juce::Graphics& g)
{
    g.fillAll (findColour (juce::TextEditor::backgroundColourId));

    if (! fontImage.isValid())
    {
        g.setColour (juce::Colours::black);
        g.drawText (shownText, getLocalBounds(), juce::Justification::centredLeft, true);
        return;
    }

    if (glyphWidth < 1 || fontHeight < 1 || glyphCount < 1)
        return;

    const auto numFitting = getWidth() / glyphWidth;
    const auto remainder = getWidth() % glyphWidth;
    const auto length = shownText.length();

    auto first = scrollPos;

    if (centreShortText && length < numFitting)
        first -= (numFitting - length) / 2;

    const auto caretIndex = hasKeyboardFocus (false) && caretShown ? caretPos : -1;
    const auto y = (getHeight() - fontHeight) / 2;

    for (int i = 0, x = remainder / 2; i < numFitting; ++i, x += glyphWidth)
    {
        const auto index = first + i;
        const auto character = index >= 0 && index < length ? shownText[index] : juce::juce_wchar (' ');
        auto row = getGlyphIndex (character);

        if (index == caretIndex && editable)
            row += glyphCount;

        g.drawImage (fontImage, x, y, glyphWidth, fontHeight, 0, row * fontHeight, glyphWidth, fontHeight);
    }
}

void GFXDisplay::mouseDown (const juce::MouseEvent&)
{
    // A display that is not editable is never edited, not even by a click.
    if (! editable)
        return;

    if (editing)
        return;

    // The wish lasts until the edit ends; it is what a direct focus change,
    // and only this one, finds.
    setWantsKeyboardFocus (true);
    grabKeyboardFocus();
}

void GFXDisplay::focusGained (juce::Component::FocusChangeType cause)
{
    if (cause == juce::Component::focusChangedDirectly)
    {
        if (editable)
            startEdit();

        return;
    }

    // Tab and stray clicks pass through: only our own request starts an edit.
    passFocusOn();
}

void GFXDisplay::passFocusOn()
{
    if (! hasKeyboardFocus (false))
        return;

    moveKeyboardFocusToSibling (true);

    if (hasKeyboardFocus (false))
        giveAwayKeyboardFocus();
}

void GFXDisplay::focusLost (juce::Component::FocusChangeType)
{
    endEdit();
}

void GFXDisplay::inputAttemptWhenModal()
{
    // A press elsewhere ends the edit as Return does; the toolkit then delivers
    // the press, so a button that changes the preset or pattern acts after the rename.
    endEdit();
}

void GFXDisplay::startEdit()
{
    editing = true;
    textBeforeEdit = text;
    scrollPos = 0;
    caretPos = text.length();
    caretShown = true;
    makeCaretVisible();
    startTimer (editCaretPeriodMs);

    // The skinned controls never take the keyboard, so a click on one would
    // leave the edit running: modal, the display hears of every press elsewhere first.
    enterModalState (false);
    repaint();
}

void GFXDisplay::endEdit()
{
    if (! editing)
        return;

    editing = false;
    caretPos = 0;
    scrollPos = 0;
    stopTimer();
    exitModalState (0);
    setWantsKeyboardFocus (false);
    passFocusOn();

    if (text != textBeforeEdit)
    {
        // The last listener added hears first; a listener may remove others.
        for (int i = displayListeners.size(); --i >= 0;)
        {
            i = juce::jmin (i, displayListeners.size() - 1);

            if (i < 0)
                break;

            displayListeners.getUnchecked (i)->displayTextChanged (this);
        }
    }

    repaint();
}

void GFXDisplay::setEditedText (const juce::String& newText)
{
    text = newText;
    shownText = isBlinkedOff() ? juce::String() : text;
}

bool GFXDisplay::keyPressed (const juce::KeyPress& key)
{
    // Outside an edit the keys are the host's.
    if (! editing)
        return false;

    if (key == juce::KeyPress::returnKey)
    {
        endEdit();
        return true;
    }

    if (key == juce::KeyPress::escapeKey)
    {
        setEditedText (textBeforeEdit);
        endEdit();
        return true;
    }

    const auto character = key.getTextCharacter();
    const auto code = static_cast<int> (character);

    if (key == juce::KeyPress::backspaceKey)
    {
        if (caretPos > 0)
        {
            setEditedText (text.substring (0, caretPos - 1) + text.substring (caretPos));
            --caretPos;
        }
    }
    else if (key == juce::KeyPress::deleteKey)
    {
        setEditedText (text.substring (0, caretPos) + text.substring (caretPos + 1));
    }
    else if (key == juce::KeyPress::homeKey)
    {
        caretPos = 0;
    }
    else if (key == juce::KeyPress::endKey)
    {
        caretPos = text.length();
    }
    else if (key == juce::KeyPress::leftKey)
    {
        --caretPos;
    }
    else if (key == juce::KeyPress::rightKey)
    {
        ++caretPos;
    }
    else if (code >= firstASCII && code <= juce::jmin (lastASCII, lastDrawableCode) && code > 0)
    {
        setEditedText (text.substring (0, caretPos) + juce::String::charToString (character) + text.substring (caretPos));
        ++caretPos;
    }

    caretPos = juce::jlimit (0, text.length(), caretPos);
    makeCaretVisible();
    caretShown = true;
    startTimer (editCaretPeriodMs);
    repaint();
    return true;
}

void GFXDisplay::makeCaretVisible()
{
    const auto numFitting = juce::jmax (1, getNumCharsFitting());

    if (scrollPos + numFitting - 1 < caretPos + 1)
        scrollPos = caretPos + 1 - numFitting + (caretPos < text.length() ? 1 : 0);

    if (scrollPos >= caretPos)
        scrollPos = caretPos > 0 ? caretPos - 1 : 0;
}

void GFXDisplay::timerCallback()
{
    if (hasKeyboardFocus (false))
    {
        caretShown = ! caretShown;
        repaint();
    }
}
