#include "skin/NoteDisplay.h"

#include "framework/NoteNames.h"
#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

#include <cmath>

NoteDisplay::NoteDisplay (const juce::String& controlName)
    : juce::Component (controlName)
{
}

void NoteDisplay::setNote (int newNote, bool notify)
{
    newNote = juce::jlimit (0, 127, newNote);

    if (newNote == note)
        return;

    note = newNote;

    if (auto* bound = getParameter(); notify && bound != nullptr)
    {
        bound->setIntValue (note, true);
        sendValueChanged();
    }

    repaint();
}

void NoteDisplay::updateFromParameter (Parameter* changed)
{
    const auto newNote = juce::jlimit (0, 127, changed->getIntValue());

    if (newNote != note)
    {
        note = newNote;
        repaint();
    }
}

void NoteDisplay::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    if (const auto* size = XmlHelpers::findChild (element, "size"))
    {
        cellWidth = SkinGeometry::readSize (*size, "width") / 3;
        cellHeight = SkinGeometry::readSize (*size, "height");
    }

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto readStrip = [&skin, gfx] (Part& part, juce::StringRef tag)
        {
            if (const auto* child = XmlHelpers::findChild (*gfx, tag))
                part.strip = skin.getImage (child->getStringAttribute ("resource"));
        };

        readStrip (notes, "notes");
        readStrip (tones, "tones");
        readStrip (octaves, "octaves");
    }

    auto x = 0;

    for (auto* part : { &notes, &tones, &octaves })
    {
        part->bounds = part->strip.isValid()
                           ? juce::Rectangle<int> (x, 0, part->strip.getWidth(), part->strip.getHeight() / part->numFrames)
                           : juce::Rectangle<int> (x, 0, cellWidth, cellHeight);
        x += part->bounds.getWidth();
    }

    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
        setTopLeftPosition (SkinGeometry::readPosition (*pos, "left"), SkinGeometry::readPosition (*pos, "top"));

    // The parts sit side by side: as high as the tallest, so that no click
    // meant for a control below lands here.
    setSize (SkinGeometry::clampSize (x),
             juce::jmax (notes.bounds.getHeight(), tones.bounds.getHeight(), octaves.bounds.getHeight()));
    repaint();
}

void NoteDisplay::blinkStateChanged()
{
    repaint();
}

void NoteDisplay::enablementChanged()
{
    repaint();
}

void NoteDisplay::paintPart (juce::Graphics& g, const Part& part, int frame, const juce::String& fallbackText) const
{
    const auto& area = part.bounds;

    if (part.strip.isValid())
    {
        const auto frameHeight = part.strip.getHeight() / part.numFrames;
        frame = juce::jlimit (0, part.numFrames - 1, frame);
        g.drawImage (part.strip, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                     0, frame * frameHeight, area.getWidth(), frameHeight);
        return;
    }

    g.setColour (juce::Colours::white);
    g.fillRect (area);

    if (frame > 0)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (static_cast<float> (area.getHeight())));
        g.drawText (fallbackText, area, juce::Justification::centred, false);
    }
}

void NoteDisplay::paint (juce::Graphics& g)
{
    const auto on = isEnabled() && ! isBlinkedOff();

    paintPart (g, notes, on ? getNoteLetterIndex (note) + 1 : 0, getNoteLetter (note));
    paintPart (g, tones, on ? (isNaturalNote (note) ? 2 : 1) : 0, isNaturalNote (note) ? "-" : "#");
    paintPart (g, octaves, on ? getNoteOctave (note) + 1 : 0, juce::String (getNoteOctave (note)));
}

void NoteDisplay::mouseDown (const juce::MouseEvent&)
{
    if (editable)
        drag.begin (*this, note, 1.0, 20);
}

void NoteDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.isActive())
        setNote (static_cast<int> (std::trunc (drag.getValue (e))), true);
}

void NoteDisplay::mouseUp (const juce::MouseEvent&)
{
    drag.end (*this);
}

void NoteDisplay::visibilityChanged()
{
    drag.endWhenHidden (*this, *this);
}

void NoteDisplay::parentHierarchyChanged()
{
    drag.endWhenHidden (*this, *this);
}
