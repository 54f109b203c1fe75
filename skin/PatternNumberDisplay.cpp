#include "skin/PatternNumberDisplay.h"

#include "framework/NoteNames.h"
#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

namespace
{
/** The frame of a decimal digit 0..9 on any of the four strips; blank for anything else. */
int digitFrame (int digit)
{
    return digit >= 0 && digit <= 9 ? digit + 1 : 0;
}

int clampInto (int v, int minimum, int maximum)
{
    return juce::jmin (juce::jmax (v, minimum), maximum);
}

juce::String decimalDigitText (int frame)
{
    return frame >= 1 && frame <= 10 ? juce::String (frame - 1) : juce::String();
}
} // namespace

//==============================================================================
PatternNumberDisplay::PatternNumberDisplayDigit::PatternNumberDisplayDigit (int numFrames, int x, const juce::Image& strip,
                                                                            int fallbackWidth, int fallbackHeight)
    : GFXAnimation ({}), frameCount (numFrames)
{
    setInterceptsMouseClicks (false, false);

    if (strip.isValid())
    {
        setImage (strip, numFrames);
        setBounds (x, 0, getFrameWidth(), getFrameHeight());
    }
    else
    {
        setBounds (x, 0, fallbackWidth, fallbackHeight);
    }
}

void PatternNumberDisplay::PatternNumberDisplayDigit::setValue (int newValue)
{
    if (newValue < 0 || newValue >= frameCount)
        newValue = 0;

    if (newValue != digitValue)
    {
        digitValue = newValue;
        setFrame (newValue);
        repaint();
    }
}

juce::String PatternNumberDisplay::PatternNumberDisplayDigit::getFrameText (int frameIndex) const
{
    return decimalDigitText (frameIndex);
}

void PatternNumberDisplay::PatternNumberDisplayDigit::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        GFXAnimation::paint (g);
        return;
    }

    g.fillAll (juce::Colour::greyLevel (0.9f));
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
    g.drawText (getFrameText (digitValue), getLocalBounds(), juce::Justification::centred, false);
}

PatternNumberDisplay::PatternNumberDisplayFirstDigit::PatternNumberDisplayFirstDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight)
    : PatternNumberDisplayDigit (numFrames, x, strip, fallbackWidth, fallbackHeight)
{
}

juce::String PatternNumberDisplay::PatternNumberDisplayFirstDigit::getFrameText (int frameIndex) const
{
    return frameIndex == 11 ? juce::String ("P.") : decimalDigitText (frameIndex);
}

PatternNumberDisplay::PatternNumberDisplaySecondDigit::PatternNumberDisplaySecondDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight)
    : PatternNumberDisplayDigit (numFrames, x, strip, fallbackWidth, fallbackHeight)
{
}

juce::String PatternNumberDisplay::PatternNumberDisplaySecondDigit::getFrameText (int frameIndex) const
{
    if (frameIndex >= 11 && frameIndex <= 17)
        return juce::String::charToString (juce::String ("CDEFGAB")[frameIndex - 11]);

    return frameIndex == 18 ? juce::String ("-") : decimalDigitText (frameIndex);
}

PatternNumberDisplay::PatternNumberDisplayThirdDigit::PatternNumberDisplayThirdDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight)
    : PatternNumberDisplayDigit (numFrames, x, strip, fallbackWidth, fallbackHeight)
{
}

juce::String PatternNumberDisplay::PatternNumberDisplayThirdDigit::getFrameText (int frameIndex) const
{
    if (frameIndex == 11)
        return "#";

    return frameIndex == 12 ? juce::String ("-") : decimalDigitText (frameIndex);
}

PatternNumberDisplay::PatternNumberDisplayFourthDigit::PatternNumberDisplayFourthDigit (int x, const juce::Image& strip, int fallbackWidth, int fallbackHeight)
    : PatternNumberDisplayDigit (numFrames, x, strip, fallbackWidth, fallbackHeight)
{
}

//==============================================================================
PatternNumberDisplay::PatternNumberDisplay (const juce::String& controlName)
    : juce::Component (controlName)
{
}

PatternNumberDisplay::~PatternNumberDisplay()
{
    removeAllChildren();
}

void PatternNumberDisplay::clampValue()
{
    switch (mode)
    {
        case noteMode:          value = clampInto (value, notePatternMin, notePatternMax); break;
        case numericMode:       value = clampInto (value, numericPatternMin, numericPatternMax); break;
        case bankAndSlotMode:   value = clampInto (value, bankAndSlotPatternMin, bankAndSlotPatternMax); break;
        default:                break;
    }
}

void PatternNumberDisplay::setValue (int newValue)
{
    const auto oldValue = value;
    value = newValue;
    clampValue();

    if (value != oldValue)
        refresh();
}

void PatternNumberDisplay::setMode (int newMode)
{
    if (newMode == mode)
        return;

    mode = newMode;
    clampValue();
    refresh();
}

void PatternNumberDisplay::refresh()
{
    if (digits.size() < 4)
        return;

    const auto show = [this] (int first, int second, int third, int fourth)
    {
        digits.getUnchecked (0)->setValue (first);
        digits.getUnchecked (1)->setValue (second);
        digits.getUnchecked (2)->setValue (third);
        digits.getUnchecked (3)->setValue (fourth);
    };

    if (! isEnabled())
    {
        show (0, 0, 0, 0);
        return;
    }

    switch (mode)
    {
        case noteMode:
        {
            if (value < 0 || value > 127)
            {
                show (0, 0, 0, 0);
                break;
            }

            // Octave 10 has no digit of its own: blank rather than a wrong one.
            show (11, 11 + getNoteLetterIndex (value), isSharpNote (value) ? 11 : 12, digitFrame (getNoteOctave (value)));
            break;
        }

        case numericMode:
            show (0, digitFrame (value / 10), digitFrame (value % 10), 0);
            break;

        case bankAndSlotMode:
        {
            // Guarding against a skin whose range reaches below 1.
            const auto index = juce::jmax (0, value - 1);
            const auto slot = index % slotMax + 1;
            const auto bank = index / slotMax;

            // Banks above 9 have no digit: frame 11 would read "P.".
            show (digitFrame (bank + 1), 18, digitFrame (slot / 10), digitFrame (slot % 10));
            break;
        }

        default:
            break;
    }
}

void PatternNumberDisplay::updateFromParameter (Parameter* changed)
{
    setValue (changed->getIntValue());
}

void PatternNumberDisplay::enablementChanged()
{
    refresh();
}

void PatternNumberDisplay::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    // The ranges are kept to what four digits could ever show, so that no
    // skin's value reaches the arithmetic of the digits (value - 1) at the
    // ends of an int.
    const auto range = [&element] (const char* name, int defaultValue)
    {
        return juce::jlimit (0, maxRangeValue, element.getIntAttribute (name, defaultValue));
    };

    notePatternMin = range ("notePatternMin", 0);
    notePatternMax = range ("notePatternMax", 127);
    numericPatternMin = range ("numericPatternMin", 1);
    numericPatternMax = range ("numericPatternMax", 16);
    bankAndSlotPatternMin = range ("bankAndSlotPatternMin", 1);
    bankAndSlotPatternMax = range ("bankAndSlotPatternMax", 96);
    slotMax = juce::jlimit (4, 16, element.getIntAttribute ("slotMax", 12));
    clampValue();

    const auto box = SkinGeometry::readBox (element, { 0, 0, 100, 40 });
    const auto height = box.getHeight();

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        const auto fallbackWidth = box.getWidth() / 4;
        auto x = 0;

        const auto add = [this, &x] (std::unique_ptr<PatternNumberDisplayDigit> digit)
        {
            x += digit->getWidth();
            addAndMakeVisible (*digit);
            digits.add (std::move (digit));
        };

        const auto strip = [&skin, gfx] (juce::StringRef attribute) { return skin.getImage (gfx->getStringAttribute (attribute)); };

        add (std::make_unique<PatternNumberDisplayFirstDigit> (x, strip ("firstDigit"), fallbackWidth, height));
        add (std::make_unique<PatternNumberDisplaySecondDigit> (x, strip ("secondDigit"), fallbackWidth, height));
        add (std::make_unique<PatternNumberDisplayThirdDigit> (x, strip ("thirdDigit"), fallbackWidth, height));
        add (std::make_unique<PatternNumberDisplayFourthDigit> (x, strip ("fourthDigit"), fallbackWidth, height));
    }

    setBounds (box);
    refresh();
}
