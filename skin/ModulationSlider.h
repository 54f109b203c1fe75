#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

/**
    The amount slider of a modulation routing: -1 to +1 on a scale with ticks
    and labels, a triangular thumb, and a red bar under the scale showing how
    far the source currently moves the destination.
*/
class ModulationSlider : public juce::Slider
{
public:
    /** Draws the scale, the modulation bar and the thumb. */
    class OwnLookAndFeel : public juce::LookAndFeel_V2
    {
    public:
        void drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                               juce::Slider& slider) override;
        void drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                    float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                                    juce::Slider& slider) override;
        int getSliderThumbRadius (juce::Slider& slider) override;
    };

    static constexpr float thumbWidth = 16.0f;

    explicit ModulationSlider (const juce::String& controlName = {});
    ~ModulationSlider() override;

    /** The source's current value, clamped to [-1, 1]. */
    void setModulationValue (float newValue);
    float getModulationValue() const noexcept     { return modulationValue; }

    void resized() override;

private:
    enum LabelIndex
    {
        minusOne,
        minusHalf,
        minusZero,
        zero,
        plusZero,
        plusHalf,
        plusOne,
        numLabels
    };

    void paintScale (juce::Graphics& g) const;
    void paintThumb (juce::Graphics& g, float sliderPos, int y, int height) const;

    OwnLookAndFeel ownLookAndFeel;
    juce::Font font;
    float modulationValue = 0.0f;
    std::array<int, numLabels> labelWidths {};
    float trackY = 0.0f, trackLength = 0.0f, trackStart = 0.0f, trackFraction = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulationSlider)
};
