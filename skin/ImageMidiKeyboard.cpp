#include "skin/ImageMidiKeyboard.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

ImageMidiKeyboard::ImageMidiKeyboard (juce::MidiKeyboardState& stateToPlay, juce::KeyboardComponentBase::Orientation keyboardOrientation,
                                      const juce::String& controlName)
    : juce::MidiKeyboardComponent (stateToPlay, keyboardOrientation),
      keyboardState (stateToPlay)
{
    setName (controlName);

    for (int note = 0; note < 128; ++note)
        keys[(size_t) note].note = note;

    clearKeyMappings();
    setScrollButtonsVisible (false);

    // Without key mappings the keyboard has no use for the keyboard focus.
    setWantsKeyboardFocus (false);
}

void ImageMidiKeyboard::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    if (! XmlHelpers::tagMatches (element, "MidiKeyboard"))
    {
        setSize (0, 0);
        return;
    }

    int newWidth = 0, newHeight = 0;

    if (const auto* size = XmlHelpers::findChild (element, "size"))
    {
        newWidth = SkinGeometry::readSize (*size, "width");
        newHeight = SkinGeometry::readSize (*size, "height");
    }

    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
        setTopLeftPosition (SkinGeometry::readPosition (*pos, "left"), SkinGeometry::readPosition (*pos, "top"));

    if (element.hasAttribute ("firstKey") && element.hasAttribute ("lastKey"))
    {
        const auto first = juce::jlimit (0, 127, element.getIntAttribute ("firstKey"));
        const auto last = juce::jlimit (0, 127, element.getIntAttribute ("lastKey"));

        // A range given upside down is read the right way up.
        setAvailableRange (juce::jmin (first, last), juce::jmax (first, last));
    }

    if (const auto* keysElement = XmlHelpers::findChild (element, "Keys"))
    {
        auto note = getRangeStart();

        for (auto* keyElement : keysElement->getChildIterator())
        {
            if (! XmlHelpers::tagMatches (*keyElement, "Key"))
                continue;

            if (! isValidNote (note))
                break;

            readKey (*keyElement, keys[(size_t) note], skin);
            ++note;
        }
    }

    setSize (newWidth, newHeight);

    for (auto& key : keys)
        if (key.hasStrip())
            updateFrame (key);

    repaint();
}

void ImageMidiKeyboard::readKey (const juce::XmlElement& element, Key& key, Skin& skin) const
{
    key.left = juce::jlimit (0, maxNeighbours, element.getIntAttribute ("left", 0));
    key.right = juce::jlimit (0, maxNeighbours, element.getIntAttribute ("right", 0));

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto strip = skin.getImage (gfx->getStringAttribute ("resource"));

        if (strip.isValid())
        {
            key.framesNum = juce::jmax (0, gfx->getIntAttribute ("framesNum", 0));
            key.halfFrames = key.framesNum / 2;
            key.image = strip;
        }
    }

    if (const auto* size = XmlHelpers::findChild (element, "size"))
    {
        key.width = SkinGeometry::readSize (*size, "width");
        key.height = SkinGeometry::readSize (*size, "height");
    }

    // Given in the panel's coordinates, kept in the keyboard's.
    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
    {
        key.x = SkinGeometry::readPosition (*pos, "left") - getX();
        key.y = SkinGeometry::readPosition (*pos, "top") - getY();
    }
}

int ImageMidiKeyboard::getKeyFrame (int note) const noexcept
{
    return isValidNote (note) && keys[(size_t) note].hasStrip() ? keys[(size_t) note].frame : -1;
}

bool ImageMidiKeyboard::isKeyDrawnDown (int note) const noexcept
{
    return isValidNote (note) && keys[(size_t) note].down;
}

void ImageMidiKeyboard::setKeyDown (int note, bool down)
{
    if (! isValidNote (note))
        return;

    keys[(size_t) note].down = down;

    for (auto& key : keys)
        if (key.hasStrip() && note >= key.note - key.left && note <= key.note + key.right)
            updateFrame (key);
}

void ImageMidiKeyboard::updateFrame (Key& key)
{
    const auto isDown = [this] (int note) { return isValidNote (note) && keys[(size_t) note].down; };
    int mask = 0;

    for (int i = 0; i < key.left; ++i)
        if (isDown (key.note - key.left + i))
            mask |= 1 << i;

    for (int i = 0; i < key.right; ++i)
        if (isDown (key.note + 1 + i))
            mask |= 1 << (key.left + i);

    const auto newFrame = mask + (key.down ? key.halfFrames : 0);

    if (newFrame != key.frame)
    {
        key.frame = newFrame;
        repaintKey (key);
    }
}

void ImageMidiKeyboard::repaintKey (const Key& key)
{
    if (key.note >= getRangeStart() && key.note <= getRangeEnd())
        repaint (key.x, key.y, key.width, key.height);
}

void ImageMidiKeyboard::timerCallback()
{
    const auto channels = getMidiChannelsToDisplay();

    for (auto note = getRangeStart(); note <= getRangeEnd(); ++note)
    {
        const auto isOn = keyboardState.isNoteOnForChannels (channels, note);

        if (keys[(size_t) note].down != isOn)
            setKeyDown (note, isOn);
    }

    juce::MidiKeyboardComponent::timerCallback();
}

juce::Range<float> ImageMidiKeyboard::getKeyPosition (int midiNoteNumber, float widthOfKey) const
{
    const auto toolkitPosition = juce::MidiKeyboardComponent::getKeyPosition (midiNoteNumber, widthOfKey);

    if (! isValidNote (midiNoteNumber) || ! keys[(size_t) midiNoteNumber].hasStrip())
        return toolkitPosition;

    // The toolkit places every key relative to the lowest key's start, so the
    // lowest key answers that start and reaches over the margin left of it.
    const auto& key = keys[(size_t) midiNoteNumber];
    const auto origin = juce::MidiKeyboardComponent::getKeyPosition (getRangeStart(), widthOfKey).getStart();

    if (midiNoteNumber == getRangeStart())
        return { origin, origin + (float) juce::jmax (0, key.x + key.width) };

    return { origin + (float) key.x, origin + (float) (key.x + key.width) };
}

bool ImageMidiKeyboard::drawStripKey (int note, juce::Graphics& g) const
{
    if (! isValidNote (note) || ! keys[(size_t) note].hasStrip())
        return false;

    const auto& key = keys[(size_t) note];

    if (key.width < 1 || key.height < 1)
        return true;

    // Whatever the skin says, only frames inside the strip are drawn.
    const auto framesInStrip = juce::jmin (juce::jmax (1, key.framesNum), key.image.getHeight() / key.height);
    const auto frame = juce::jlimit (0, juce::jmax (0, framesInStrip - 1), key.frame);
    const auto source = juce::Rectangle<int> (0, frame * key.height, key.width, key.height).getIntersection (key.image.getBounds());

    // The toolkit leaves its last colour, maybe see-through, as the image's opacity.
    g.setOpacity (1.0f);

    if (! source.isEmpty())
        g.drawImage (key.image, key.x, key.y, source.getWidth(), source.getHeight(),
                     source.getX(), source.getY(), source.getWidth(), source.getHeight());

    return true;
}

void ImageMidiKeyboard::drawWhiteNote (int midiNoteNumber, juce::Graphics& g, juce::Rectangle<float> area,
                                       bool isDown, bool isOver, juce::Colour lineColour, juce::Colour textColour)
{
    if (! drawStripKey (midiNoteNumber, g))
        juce::MidiKeyboardComponent::drawWhiteNote (midiNoteNumber, g, area, isDown, isOver, lineColour, textColour);
}

void ImageMidiKeyboard::drawBlackNote (int midiNoteNumber, juce::Graphics& g, juce::Rectangle<float> area,
                                       bool isDown, bool isOver, juce::Colour noteFillColour)
{
    if (! drawStripKey (midiNoteNumber, g))
        juce::MidiKeyboardComponent::drawBlackNote (midiNoteNumber, g, area, isDown, isOver, noteFillColour);
}

bool ImageMidiKeyboard::mouseDownOnKey (int midiNoteNumber, const juce::MouseEvent&)
{
    setKeyDown (midiNoteNumber, true);
    return true;
}

bool ImageMidiKeyboard::mouseDraggedToKey (int midiNoteNumber, const juce::MouseEvent&)
{
    setKeyDown (midiNoteNumber, true);
    return true;
}
