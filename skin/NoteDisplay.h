#pragma once

#include "skin/DisplayDrag.h"
#include "skin/GUIController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A note name from three strips side by side: the letter (9 frames: off,
    C to B, a dash), sharp or natural (3 frames: off, "#", "-") and the octave
    (13 frames: off, octaves 0 to 10, a dash). Dragging up or down changes the
    note by a semitone per 20 pixels and writes it to the parameter.
*/
class NoteDisplay : public GUIController,
                    public juce::Component
{
public:
    explicit NoteDisplay (const juce::String& controlName);

    /** Clamps to 0..127; with notify and a bound parameter, writes it. */
    void setNote (int newNote, bool notify);
    int getNote() const noexcept                { return note; }


    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void blinkStateChanged() override;

    void paint (juce::Graphics& g) override;
    void enablementChanged() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void visibilityChanged() override;
    void parentHierarchyChanged() override;

private:
    struct Part
    {
        juce::Image strip;
        int numFrames;
        juce::Rectangle<int> bounds;
    };

    void paintPart (juce::Graphics& g, const Part& part, int frame, const juce::String& fallbackText) const;

    Part notes { {}, 9, {} }, tones { {}, 3, {} }, octaves { {}, 13, {} };
    int cellWidth = 10, cellHeight = 16;
    int note = 0;
    bool editable = true;
    DisplayDrag drag;

    JUCE_DECLARE_NON_COPYABLE (NoteDisplay)
};
