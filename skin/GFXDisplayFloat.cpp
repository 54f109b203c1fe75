#include "skin/GFXDisplayFloat.h"

GFXDisplayFloat::GFXDisplayFloat (const juce::String& controlName)
    : GFXDisplay (controlName)
{
}

void GFXDisplayFloat::updateFromParameter (Parameter* changed)
{
    auto number = juce::String (changed->getValue());
    const auto fitting = getNumCharsFitting();

    if (fitting > 0 && number.length() >= fitting && number[fitting - 1] == '.')
        number = " " + number;

    setText (number);
}
