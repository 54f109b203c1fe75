#include "skin/NumericDisplay.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

#include <cmath>

namespace
{
juce::int64 powerOfTen (int exponent)
{
    juce::int64 result = 1;

    for (int i = 0; i < exponent; ++i)
        result *= 10;

    return result;
}

/** The exponent of a power of ten; false for zero, negatives and other numbers. */
bool readPowerOfTen (double number, int& exponent)
{
    if (! (number > 0.0) || ! std::isfinite (number))
        return false;

    const auto rounded = std::round (std::log10 (number));

    if (std::abs (std::pow (10.0, rounded) - number) > 1.0e-9 * number)
        return false;

    exponent = static_cast<int> (rounded);
    return true;
}

double readNumber (const juce::XmlElement& element, juce::StringRef attribute)
{
    const auto number = element.getDoubleAttribute (attribute, 0.0);
    return std::isfinite (number) ? number : 0.0;
}
} // namespace

NumericDisplay::NumericDisplay (const juce::String& controlName)
    : juce::Component (controlName)
{
}

NumericDisplay::~NumericDisplay()
{
    removeAllChildren();
}

void NumericDisplay::setValue (double newValue, bool notify)
{
    if (! std::isfinite (newValue))
        return;

    newValue = juce::jmin (juce::jmax (newValue, minValue), maxValue);

    if (newValue != value)
    {
        value = newValue;

        if (auto* bound = getParameter(); notify && bound != nullptr)
        {
            bound->setValue (static_cast<float> (value), true);
            sendValueChanged();
        }
    }

    refreshDigits();
}

void NumericDisplay::refreshDigits()
{
    // Whole numbers, so that no digit suffers from rounding on the way.
    const auto scale = std::pow (10.0, digitsNum - firstDigitExponent - 1);
    const auto scaled = std::round (std::abs (value) * scale);
    auto remaining = static_cast<juce::int64> (juce::jmin (scaled, 1.0e17));
    auto weight = powerOfTen (digitsNum - 1);
    auto shown = false;

    for (int i = 0; i < digits.size(); ++i)
    {
        // A value beyond what the digits can show must not overflow; its digit is clamped when drawn.
        const auto digit = static_cast<int> (juce::jmin<juce::int64> (remaining / juce::jmax<juce::int64> (1, weight), 10));
        shown = shown || digit != 0 || i >= firstDigitExponent;
        digits.getUnchecked (i)->setDigit (digit, ! shown);
        remaining = juce::jmax<juce::int64> (0, remaining - digit * weight);
        weight /= 10;
    }

    if (sign != nullptr)
        sign->setNegative (value < 0.0);
}

void NumericDisplay::updateFromParameter (Parameter* changed)
{
    setValue (changed->getValue(), false);
}

void NumericDisplay::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    digitsNum = juce::jlimit (1, maxDigits, element.getIntAttribute ("digitsNum", 1));

    if (! readPowerOfTen (readNumber (element, "firstDigitOrder"), firstDigitExponent)
        || std::abs (firstDigitExponent) > 2 * maxDigits)
        firstDigitExponent = digitsNum - 1;

    firstDigitOrder = std::pow (10.0, firstDigitExponent);
    minValue = readNumber (element, "minValue");
    maxValue = juce::jmax (minValue, readNumber (element, "maxValue"));
    continuous = element.getStringAttribute ("control") == "continous";

    const auto withSign = minValue < 0.0;

    if (const auto* size = XmlHelpers::findChild (element, "size"))
    {
        digitWidth = SkinGeometry::readSize (*size, "width") / (digitsNum + (withSign ? 1 : 0));
        digitHeight = SkinGeometry::readSize (*size, "height");
    }

    auto x = 0;

    if (withSign)
    {
        juce::Image signStrip;

        if (const auto* signElement = XmlHelpers::findChild (element, "sign"))
            if (const auto* gfx = XmlHelpers::findChild (*signElement, "gfx"))
                signStrip = skin.getImage (gfx->getStringAttribute ("resource"));

        sign = std::make_unique<NumericDisplaySign> (signStrip, digitWidth, digitHeight);
        sign->setTopLeftPosition (0, 0);
        addAndMakeVisible (*sign);
        x = sign->getWidth();
    }

    const auto addDigit = [this, &x] (const juce::Image& strip)
    {
        const auto order = firstDigitExponent - digits.size();
        auto* digit = digits.add (std::make_unique<NumericDisplayDigit> (strip, digitWidth, digitHeight, order >= 0));
        digit->setTopLeftPosition (x, 0);
        addAndMakeVisible (*digit);
        x += digit->getWidth();
    };

    if (const auto* digitsElement = XmlHelpers::findChild (element, "digits"))
    {
        if (digitsElement->getNumChildElements() > 0)
        {
            for (const auto* gfx : digitsElement->getChildIterator())
                if (digits.size() < digitsNum && XmlHelpers::tagMatches (*gfx, "gfx"))
                    addDigit (skin.getImage (gfx->getStringAttribute ("resource")));
        }
        else if (digitsElement->hasAttribute ("resource"))
        {
            const auto strip = skin.getImage (digitsElement->getStringAttribute ("resource"));

            for (int i = 0; i < digitsNum; ++i)
                addDigit (strip);
        }
    }
    else
    {
        for (int i = 0; i < digitsNum; ++i)
            addDigit ({});
    }

    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
        setTopLeftPosition (SkinGeometry::readPosition (*pos, "left"), SkinGeometry::readPosition (*pos, "top"));

    auto totalWidth = 0, tallest = 0;

    for (auto* child : getChildren())
    {
        totalWidth += child->getWidth();
        tallest = juce::jmax (tallest, child->getHeight());
    }

    setSize (SkinGeometry::clampSize (totalWidth), tallest);
    setValue (minValue, false);
}

void NumericDisplay::blinkStateChanged()
{
    repaint();
}

void NumericDisplay::enablementChanged()
{
    repaint();
}

void NumericDisplay::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void NumericDisplay::mouseDown (const juce::MouseEvent& e)
{
    if (! editable)
        return;

    auto step = firstDigitOrder / 10.0;

    if (! continuous && getWidth() >= 1)
    {
        // The digit under the mouse; the sign counts in the width.
        const auto digitIndex = juce::jlimit (0, digitsNum - 1, digitsNum * e.x / getWidth());
        step = firstDigitOrder / std::pow (10.0, digitIndex);
    }

    drag.begin (*this, value, step, 10);
}

void NumericDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.isActive())
        setValue (drag.getValue (e), true);
}

void NumericDisplay::mouseUp (const juce::MouseEvent&)
{
    drag.end (*this);
}

void NumericDisplay::visibilityChanged()
{
    drag.endWhenHidden (*this, *this);
}

void NumericDisplay::parentHierarchyChanged()
{
    drag.endWhenHidden (*this, *this);
}
