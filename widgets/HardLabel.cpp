#include "widgets/HardLabel.h"

#include "widgets/DefaultLookAndFeel.h"

HardLabel::HardLabel (const juce::String& name, const juce::String& labelText)
    : juce::Label (name, labelText)
{
}

int HardLabel::getTextWidth (const juce::String& text)
{
    const auto labelFont = getLookAndFeel().getLabelFont (*this);
    const auto labelBorder = getBorderSize();
    return labelFont.getStringWidth (text.isEmpty() ? getText() : text) + labelBorder.getLeft() + labelBorder.getRight();
}

void HardLabel::paint (juce::Graphics& g)
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        lf->drawHardLabel (g, *this);
    else
        juce::Label::paint (g);
}
