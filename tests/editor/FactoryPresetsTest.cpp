#include "InstrumentEditorSupport.h"

#include "skin/GFXButton.h"
#include "skin/GFXDisplay.h"
#include "support/UiEvents.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

/*  Every factory preset as a musician meets it: stepped to with the panel's
    next-preset button, its name on the display, and a bass line with accents
    and slides that sounds, stays finite and never clips.
*/
namespace
{
using namespace InstrumentTest;

/** One bar of sixteenths: octave jumps, accents and slides into the next step. */
void writePhrase (Tarvelin& plugin)
{
    auto& pattern = plugin.getPattern (0);
    pattern.clearSteps (false);
    pattern.setLength (16);

    const int notes[] = { 0, 0, 12, 0, 3, 5, 0, 7, 0, 0, 10, 12, 0, 3, 7, 5 };

    for (int s = 0; s < 16; ++s)
    {
        const bool accent = s % 4 == 0 || s == 11;
        const bool slide = s == 2 || s == 6 || s == 10 || s == 13;
        pattern.setStep (s, makeStep (notes[s] % 12, s != 9, accent, slide, notes[s] >= 12, s == 4));
    }
}

struct Level
{
    bool finite = true;
    double rms = 0.0, peak = 0.0;
};

Level measure (const Rendered& rendered)
{
    Level level;
    double sum = 0.0;
    size_t count = 0;

    for (const auto& channel : rendered.channels)
    {
        for (const auto sample : channel)
        {
            level.finite = level.finite && std::isfinite (sample);
            level.peak = std::max (level.peak, (double) std::abs (sample));
            sum += (double) sample * sample;
            ++count;
        }
    }

    level.rms = count > 0 ? std::sqrt (sum / (double) count) : 0.0;
    return level;
}

int findGroup (const Tarvelin& plugin, const juce::String& name)
{
    for (int g = 0; g < plugin.getNumGroups(); ++g)
        if (plugin.getGroupName (g) == name)
            return g;

    return -1;
}
} // namespace

TEST_F (InstrumentEditorFixture, EveryFactoryPresetStepsInWithItsNameAndPlaysThePhraseCleanly)
{
    const int notUsed = findGroup (plugin, "Not used");
    ASSERT_GE (notUsed, 0);
    const int lastFactorySlot = plugin.getGroupStartIndex (notUsed) - 1;
    ASSERT_EQ (lastFactorySlot, 40);

    for (const int id : { TarvelinIds::gateThreshold, TarvelinIds::accentThreshold, TarvelinIds::slideThreshold })
        parameters.setNormalisedValue (id, 1.0f);

    writePhrase (plugin);
    std::vector<std::pair<juce::String, double>> loudness;
    auto& nextButton = control<GFXButton> ("PresetNextButton");
    auto& nameDisplay = control<GFXDisplay> ("PresetNameDisplay");
    ASSERT_EQ (plugin.getCurrentPresetIndex(), 0);

    for (int slot = 0; slot <= lastFactorySlot; ++slot)
    {
        const auto name = plugin.getPresetName (slot);
        SCOPED_TRACE ("slot " + juce::String (slot) + " \"" + name + "\"");
        ASSERT_EQ (plugin.getCurrentPresetIndex(), slot);
        EXPECT_EQ (nameDisplay.getText(), name);

        // Two bars from the start of the phrase, with no note left from the last preset.
        trigger (IntSeqPlugin::stopEvent);
        render (plugin, blockSize);
        trigger (IntSeqPlugin::startEvent);
        const auto level = measure (render (plugin, 4 * 44100));

        EXPECT_TRUE (level.finite);
        EXPECT_GT (20.0 * std::log10 (level.rms + 1.0e-30), -60.0) << "RMS " << level.rms;
        EXPECT_LT (level.peak, 1.0);
        loudness.emplace_back (name, level.rms);

        clickButton (nextButton);
    }

    EXPECT_EQ (plugin.getCurrentPresetIndex(), lastFactorySlot + 1);
    EXPECT_EQ (plugin.getGroupOfPreset (plugin.getCurrentPresetIndex()), notUsed);

    // Stepping through the bank never drops or jumps the level by more than 12 dB from its middle.
    auto sorted = loudness;
    std::sort (sorted.begin(), sorted.end(), [] (const auto& a, const auto& b) { return a.second < b.second; });
    const auto median = sorted[sorted.size() / 2].second;

    for (const auto& [name, rms] : loudness)
        EXPECT_LT (std::abs (20.0 * std::log10 (rms / median)), 12.0) << name << " against the bank's middle level";
}
