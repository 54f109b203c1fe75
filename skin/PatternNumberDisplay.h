#pragma once

#include "skin/GFXAnimation.h"
#include "skin/GUIController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A pattern index on four image digits, in one of three modes: as a note
    name ("P.C-0" for note 0), as a two-digit number, or as bank and slot
    ("2-01" for pattern 13 with 12 slots a bank). Each mode has its own range,
    into which the value is clamped.
*/
class PatternNumberDisplay : public GUIController,
                             public juce::Component
{
public:
    enum Mode
    {
        noteMode = 0,
        numericMode = 1,
        bankAndSlotMode = 2
    };

    /** One digit: frame 0 is always blank; a frame the strip lacks shows blank too. */
    class PatternNumberDisplayDigit : public GFXAnimation
    {
    public:
        PatternNumberDisplayDigit (int numFrames, int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight);

        void setValue (int newValue);
        int getValue() const noexcept       { return digitValue; }

        void paint (juce::Graphics& g) override;

    protected:
        /** The fallback text of a frame; empty for blank and unknown frames. */
        virtual juce::String getFrameText (int frameIndex) const;

    private:
        const int frameCount;
        int digitValue = 0;
    };

    /** 12 frames: blank, "0" to "9", "P.". */
    class PatternNumberDisplayFirstDigit : public PatternNumberDisplayDigit
    {
    public:
        static constexpr int numFrames = 12;
        PatternNumberDisplayFirstDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight);

    protected:
        juce::String getFrameText (int frameIndex) const override;
    };

    /** 19 frames: blank, "0" to "9", the letters "C" to "B", "-". */
    class PatternNumberDisplaySecondDigit : public PatternNumberDisplayDigit
    {
    public:
        static constexpr int numFrames = 19;
        PatternNumberDisplaySecondDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight);

    protected:
        juce::String getFrameText (int frameIndex) const override;
    };

    /** 13 frames: blank, "0" to "9", "#", "-". */
    class PatternNumberDisplayThirdDigit : public PatternNumberDisplayDigit
    {
    public:
        static constexpr int numFrames = 13;
        PatternNumberDisplayThirdDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight);

    protected:
        juce::String getFrameText (int frameIndex) const override;
    };

    /** 11 frames: blank, "0" to "9". */
    class PatternNumberDisplayFourthDigit : public PatternNumberDisplayDigit
    {
    public:
        static constexpr int numFrames = 11;
        PatternNumberDisplayFourthDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight);
    };

    explicit PatternNumberDisplay (const juce::String& controlName);
    ~PatternNumberDisplay() override;

    /** Clamped into the current mode's range. */
    void setValue (int newValue);
    int getValue() const noexcept               { return value; }

    /** Re-clamps the value into the new mode's range. */
    void setMode (int newMode);
    int getMode() const noexcept                { return mode; }

    /** The six range attributes of a skin are kept to 0 to this. */
    static constexpr int maxRangeValue = 9999;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void enablementChanged() override;

private:
    void clampValue();
    void refresh();

    juce::OwnedArray<PatternNumberDisplayDigit> digits;
    int value = 0;
    int notePatternMin = 0, notePatternMax = 127;
    int numericPatternMin = 1, numericPatternMax = 16;
    int bankAndSlotPatternMin = 1, bankAndSlotPatternMax = 96;
    int slotMax = 12;
    int mode = noteMode;

    JUCE_DECLARE_NON_COPYABLE (PatternNumberDisplay)
};
