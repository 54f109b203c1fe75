#pragma once

#include "skin/DisplayDrag.h"
#include "skin/GUIController.h"
#include "skin/NumericDisplayDigit.h"
#include "skin/NumericDisplaySign.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A number on a row of digit images, with a sign in front when the range
    goes below 0. The leftmost digit weighs firstDigitOrder (100 for three
    whole digits, 10 for two whole digits and a decimal); leading zeros before
    the units digit are blank.

    Dragging up or down changes the value, by a step of the digit under the
    mouse (or a tenth of firstDigitOrder for "continous" control) per 10 pixels,
    and writes it to the parameter as a plain (not normalised) value.
*/
class NumericDisplay : public GUIController,
                       public juce::Component
{
public:
    /** More digits than this are not read from a skin. */
    static constexpr int maxDigits = 16;

    explicit NumericDisplay (const juce::String& controlName);
    ~NumericDisplay() override;

    /** Clamps into the range; with notify and a bound parameter, writes it. */
    void setValue (double newValue, bool notify);
    double getValue() const noexcept            { return value; }

    void setEditable (bool shouldBeEditable)    { editable = shouldBeEditable; }
    bool isEditable() const noexcept            { return editable; }

    int getNumDigits() const noexcept           { return digits.size(); }
    NumericDisplayDigit* getDigit (int index) const noexcept    { return digits[index]; }
    NumericDisplaySign* getSign() const noexcept                { return sign.get(); }

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
    void refreshDigits();

    std::unique_ptr<NumericDisplaySign> sign;
    juce::OwnedArray<NumericDisplayDigit> digits;

    int digitsNum = 1;
    double firstDigitOrder = 1.0;
    int firstDigitExponent = 0;
    double minValue = 0.0, maxValue = 0.0;
    double value = 0.0;
    int digitWidth = 0, digitHeight = 0;
    bool continuous = false;

    bool editable = true;
    DisplayDrag drag;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplay)
};
