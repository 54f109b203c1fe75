#include "synth/PatternRandomizer.h"

#include <algorithm>

namespace
{
// The step's fields by number, as the editing code addresses them.
enum StepField { gateFlag = 2, accentFlag = 3, slideFlag = 4, gateLevel = 5, accentLevel = 6, slideLevel = 7 };
}

PatternRandomizer::PatternRandomizer()
    : generator (1234)
{
    keySet.fill (true);
    customChordKeys.fill (true);
}

//==============================================================================
void PatternRandomizer::resetPatternUndo (Pattern& current)
{
    undoHistory.clear();
    undoHistory.push_back (current);
    fixedGate = fixedAccent = fixedSlide = false;
    basePattern = &current;
}

void PatternRandomizer::clearPatternUndo()
{
    undoHistory.clear();
}

void PatternRandomizer::moveBaseTo (Pattern& current)
{
    if (basePattern != &current)
        resetPatternUndo (current);
}

void PatternRandomizer::selectNextRandomVariant (Pattern& current)
{
    moveBaseTo (current);
    drawNewRandomVariant();
}

bool PatternRandomizer::selectPreviousRandomVariant (Pattern& current)
{
    moveBaseTo (current);

    if (seedHistory.empty())
        return false;

    currentSeed = seedHistory.back();
    seedHistory.pop_back();
    generator.seed (currentSeed);
    generateRandomPattern();
    return true;
}

void PatternRandomizer::acceptRandomVariant (Pattern& current)
{
    moveBaseTo (current);
    undoHistory.push_back (current);
}

void PatternRandomizer::rejectRandomVariant (Pattern& current)
{
    moveBaseTo (current);

    if (! undoHistory.empty())
    {
        current = undoHistory.back();
        undoHistory.pop_back();
    }
}

void PatternRandomizer::acceptAndFix (Pattern& current, double gateThreshold, double accentThreshold,
                                      double slideThreshold)
{
    moveBaseTo (current);
    acceptRandomVariant (current);

    auto fix = [this] (bool randomize, bool fixed, int flag, int level, double threshold)
    {
        if (! randomize || fixed)
            return;

        for (int i = 0; i < Pattern::numSteps; ++i)
        {
            auto& step = basePattern->getStep (i);
            step.setFlag (flag, threshold >= step.getLevel (level));
            step.setLevel (level, 0.0f);
        }
    };

    fix (randomizeGate, fixedGate, gateFlag, gateLevel, gateThreshold);
    fix (randomizeAccent, fixedAccent, accentFlag, accentLevel, accentThreshold);
    fix (randomizeSlide, fixedSlide, slideFlag, slideLevel, slideThreshold);

    fixedGate = randomizeGate;
    fixedAccent = randomizeAccent;
    fixedSlide = randomizeSlide;
}

void PatternRandomizer::drawNewRandomVariant()
{
    if (currentSeed != 0)
        seedHistory.push_back (currentSeed);

    std::uint32_t value = 0;

    do
        value = generator.next();
    while (value >= 4294000000u);

    currentSeed = value % 1000000u + 1u;
    generator.seed (currentSeed);
    generateRandomPattern();
}

float PatternRandomizer::nextLevel() noexcept
{
    return static_cast<float> (generator.next()) * (1.0f / 4294967296.0f);
}

void PatternRandomizer::generateRandomPattern()
{
    if (basePattern == nullptr)
        return;

    std::vector<int> candidates;

    if (randomNotes)
        for (int i = 0; i < numKeys; ++i)
            if (keySet[static_cast<size_t> (i)])
                candidates.push_back (lowestPitch + i);

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        std::uint32_t d = 0;

        // Below the largest multiple of 49, so every key is equally likely.
        do
            d = generator.next();
        while (d > 4294967256u);

        const auto gate = nextLevel();
        const auto accent = nextLevel();
        const auto slide = nextLevel();

        auto& step = basePattern->getStep (i);

        if (! candidates.empty())
            step.setAbsoluteNote (candidates[(d % numKeys) % candidates.size()]);

        if (randomizeGate)
        {
            step.setGate (true);
            step.setGateLevel (gate);
            fixedGate = false;
        }

        if (randomizeAccent)
        {
            step.setAccent (true);
            step.setAccentLevel (accent);
            fixedAccent = false;
        }

        if (randomizeSlide)
        {
            step.setSlide (true);
            step.setSlideLevel (slide);
            fixedSlide = false;
        }
    }
}

//==============================================================================
int PatternRandomizer::getVisibleBase() const noexcept
{
    if (keyOctaveUp && keyOctaveDown)
        return 36;

    if (keyOctaveUp)
        return 24;

    return keyOctaveDown ? 0 : 12;
}

bool PatternRandomizer::isKeyOn (int key) const noexcept
{
    return key >= 0 && key < numKeys && keySet[static_cast<size_t> (key)];
}

bool PatternRandomizer::isCustomChordKeyOn (int key) const noexcept
{
    return key >= 0 && key < numKeys && customChordKeys[static_cast<size_t> (key)];
}

void PatternRandomizer::writeKey (int key, bool on)
{
    if (key < 0 || key >= numKeys)
        return;

    keySet[static_cast<size_t> (key)] = on;

    if (chord == 0)
        customChordKeys[static_cast<size_t> (key)] = on;
}

void PatternRandomizer::toggleVisibleKey (int panelKey)
{
    if (panelKey < 0 || panelKey > 12)
        return;

    const auto key = getVisibleBase() + panelKey;
    writeKey (key, ! isKeyOn (key));
}

void PatternRandomizer::setVisibleKeys (bool on)
{
    const auto base = getVisibleBase();
    const auto last = base == 36 ? base + 12 : base + 11;

    for (int key = base; key <= last; ++key)
        writeKey (key, on);
}

void PatternRandomizer::setAllKeys (bool on)
{
    for (int key = 0; key < numKeys; ++key)
        writeKey (key, on);
}

void PatternRandomizer::shiftKeysUp()
{
    const auto old = keySet;
    writeKey (0, false);
    writeKey (1, old[48]);

    for (size_t i = 2; i < static_cast<size_t> (numKeys); ++i)
        writeKey (static_cast<int> (i), old[i - 1]);
}

void PatternRandomizer::shiftKeysDown()
{
    const auto old = keySet;

    for (size_t i = 0; i <= 46; ++i)
        writeKey (static_cast<int> (i), old[i + 1]);

    writeKey (47, old[0]);
    writeKey (48, false);
}

void PatternRandomizer::setChord (int newChord, const std::vector<int>& intervals)
{
    chord = newChord;

    if (chord == 0)
    {
        keySet = customChordKeys;
        return;
    }

    keySet.fill (false);

    for (const auto interval : intervals)
        for (int octave = 0; octave < 4; ++octave)
        {
            const auto key = interval + 12 * octave;

            if (key >= 0 && key < numKeys)
                keySet[static_cast<size_t> (key)] = true;
        }

    keySet[48] = true;
}
