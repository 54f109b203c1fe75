#pragma once

#include "skin/GUIController.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <array>

/**
    The toolkit's on-screen keyboard over the plug-in's keyboard state, where
    any key may be drawn from a picture strip of its own instead.

    A key's strip shows the key together with its neighbours: its first half
    holds the key up, its second half the key down, and within each half the
    frame index is a bit mask of the neighbours that are down. Bits 0 to
    left - 1 stand for the notes note - left to note - 1 (the farthest below in
    bit 0), the next right bits for note + 1 to note + right. A key with one
    neighbour on each side thus has 8 frames, so that shadows of pressed
    neighbours can be drawn.

    Keys pressed with the mouse change their frames at once; notes played
    elsewhere show at the keyboard's next poll of the state. There are no
    computer-key mappings and no scroll buttons.
*/
class ImageMidiKeyboard : public GUIController,
                          public juce::MidiKeyboardComponent
{
public:
    /** Neighbours that can take part in a key's frame on each side. */
    static constexpr int maxNeighbours = 8;

    ImageMidiKeyboard (juce::MidiKeyboardState& stateToPlay, juce::KeyboardComponentBase::Orientation keyboardOrientation,
                       const juce::String& controlName);

    /** Reads "firstKey", "lastKey", "size", "pos" and the "Keys" with their strips. */
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;

    /** The frame a key with a strip shows (not yet clamped into its strip); -1 for a key without one. */
    int getKeyFrame (int note) const noexcept;

    /** True while the key is drawn pressed. */
    bool isKeyDrawnDown (int note) const noexcept;

    /** Follows notes played elsewhere, then lets the toolkit do its own check. */
    void timerCallback() override;

    juce::Range<float> getKeyPosition (int midiNoteNumber, float widthOfKey) const override;
    void drawWhiteNote (int midiNoteNumber, juce::Graphics& g, juce::Rectangle<float> area,
                        bool isDown, bool isOver, juce::Colour lineColour, juce::Colour textColour) override;
    void drawBlackNote (int midiNoteNumber, juce::Graphics& g, juce::Rectangle<float> area,
                        bool isDown, bool isOver, juce::Colour noteFillColour) override;
    bool mouseDownOnKey (int midiNoteNumber, const juce::MouseEvent& e) override;
    bool mouseDraggedToKey (int midiNoteNumber, const juce::MouseEvent& e) override;

private:
    struct Key
    {
        int note = 0;
        bool down = false;
        int framesNum = 0;
        int width = 0, height = 0;
        int left = 0, right = 0;
        int halfFrames = 0;
        int frame = 0;
        juce::Image image;
        int x = 0, y = 0;

        bool hasStrip() const noexcept { return image.isValid(); }
    };

    static bool isValidNote (int note) noexcept { return note >= 0 && note < 128; }

    void readKey (const juce::XmlElement& element, Key& key, Skin& skin) const;
    void setKeyDown (int note, bool down);
    void updateFrame (Key& key);
    bool drawStripKey (int note, juce::Graphics& g) const;
    void repaintKey (const Key& key);

    std::array<Key, 128> keys;
    juce::MidiKeyboardState& keyboardState;

    JUCE_DECLARE_NON_COPYABLE (ImageMidiKeyboard)
};
