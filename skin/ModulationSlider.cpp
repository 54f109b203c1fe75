#include "skin/ModulationSlider.h"

#include "widgets/InterfaceTypefaces.h"

#include <cmath>

namespace
{
const juce::Colour modulationRed { 0xFFA90000 };
const char* const labelTexts[] = { "-1.0", "-0.5", "-0", "0.0", "+0", "+0.5", "+1.0" };

int truncated (float x) noexcept { return (int) x; }
} // namespace

ModulationSlider::ModulationSlider (const juce::String& controlName)
    : juce::Slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox),
      font (InterfaceTypefaces::font (13.0f))
{
    setName (controlName);
    setRange (-1.0, 1.0, 0.0001);
    setValue (0.0, juce::dontSendNotification);
    setLookAndFeel (&ownLookAndFeel);
}

ModulationSlider::~ModulationSlider()
{
    setLookAndFeel (nullptr);
}

void ModulationSlider::setModulationValue (float newValue)
{
    const auto clamped = std::isfinite (newValue) ? juce::jlimit (-1.0f, 1.0f, newValue) : 0.0f;

    if (clamped != modulationValue)
    {
        modulationValue = clamped;
        repaint();
    }
}

void ModulationSlider::resized()
{
    juce::Slider::resized();

    for (int i = 0; i < numLabels; ++i)
        labelWidths[(size_t) i] = font.getStringWidth (labelTexts[i]);

    const auto width = (float) getWidth();
    trackY = (float) getHeight() * 0.5f;
    trackLength = width - thumbWidth;
    trackStart = thumbWidth * 0.5f;
    trackFraction = width > 0.0f ? trackLength / width : 0.0f;
}

void ModulationSlider::paintScale (juce::Graphics& g) const
{
    const auto width = (float) getWidth();
    const auto half = truncated (width / 2.0f);
    const auto y = trackY;

    // How far the source moves the amount, under the scale.
    const auto barEnd = truncated (width / 2.0f + modulationValue * (float) getValue() * trackLength * 0.5f);
    g.setColour (modulationRed);
    g.drawLine ((float) half, y + 10.0f, (float) barEnd, y + 10.0f, 4.0f);

    g.setColour (juce::Colours::black);
    g.fillRect ((float) truncated (trackStart - 2.0f), y + 12.0f, std::ceil (width - trackStart - 3.0f), 3.0f);

    for (int i = 1; i < 20; ++i)
        if (i % 5 != 0)
            g.drawVerticalLine (truncated (trackStart + (float) i * trackLength / 20.0f), y + 7.0f, y + 14.0f);

    const auto majorTick = [&g, y] (float x, float tickWidth) { g.fillRect ((float) truncated (x), y - 1.0f, tickWidth, 15.0f); };
    majorTick (trackStart - 2.0f, 3.0f);
    majorTick (width / 2.0f - 1.0f, 3.0f);
    majorTick (trackStart + trackLength, 3.0f);
    majorTick (trackStart + 0.25f * trackLength, 2.0f);
    majorTick (trackStart + 0.75f * trackLength - 1.0f, 2.0f);

    // The decimal points of the half labels sit over their ticks.
    g.setFont (font);
    const auto labelY = truncated (y - 15.0f);
    const auto label = [&] (LabelIndex index, float x, juce::Justification justification)
    {
        g.drawText (labelTexts[index], truncated (x), labelY, labelWidths[(size_t) index], 13, justification, false);
    };

    label (minusOne, thumbWidth * 0.5f, juce::Justification::centredRight);
    label (minusHalf, trackStart + 0.25f * trackLength - (float) labelWidths[minusZero], juce::Justification::centredLeft);
    label (zero, trackStart + 0.5f * trackLength - (float) labelWidths[zero] / 2.0f, juce::Justification::centred);
    label (plusHalf, trackStart + 0.75f * trackLength - (float) labelWidths[plusZero] - 1.0f, juce::Justification::centredLeft);
    label (plusOne, width - (float) labelWidths[plusOne] - thumbWidth * 0.5f, juce::Justification::centredLeft);
}

void ModulationSlider::paintThumb (juce::Graphics& g, float sliderPos, int y, int height) const
{
    juce::Path thumb;
    thumb.addTriangle (1.0f, 0.5f, thumbWidth - 1.0f, 0.5f, thumbWidth * 0.5f, 13.0f);
    thumb.applyTransform (juce::AffineTransform::translation ((float) truncated (sliderPos + 0.5f - thumbWidth * 0.5f),
                                                              (float) y + (float) height * 0.5f));
    g.setColour (juce::Colours::white);
    g.fillPath (thumb);
    g.setColour (juce::Colours::black);
    g.strokePath (thumb, juce::PathStrokeType (1.0f));
}

//==============================================================================
void ModulationSlider::OwnLookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                                                         float sliderPos, float minSliderPos, float maxSliderPos,
                                                         juce::Slider::SliderStyle style, juce::Slider& slider)
{
    if (auto* modulationSlider = dynamic_cast<ModulationSlider*> (&slider))
    {
        modulationSlider->paintScale (g);
        drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
        return;
    }

    juce::LookAndFeel_V2::drawLinearSlider (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void ModulationSlider::OwnLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height,
                                                              float sliderPos, float minSliderPos, float maxSliderPos,
                                                              juce::Slider::SliderStyle style, juce::Slider& slider)
{
    if (auto* modulationSlider = dynamic_cast<ModulationSlider*> (&slider))
    {
        modulationSlider->paintThumb (g, sliderPos, y, height);
        return;
    }

    juce::LookAndFeel_V2::drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

int ModulationSlider::OwnLookAndFeel::getSliderThumbRadius (juce::Slider&)
{
    return (int) (thumbWidth * 0.5f);
}
