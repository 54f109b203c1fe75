#pragma once

#include "synth/MersenneTwister.h"
#include "synth/Pattern.h"

#include <array>
#include <cstdint>
#include <vector>

/**
    Rewrites a pattern from a seeded random generator: notes drawn from a set of
    enabled keys, and random gate, accent and slide levels that the level
    thresholds turn into densities at playback. Every variant is reproducible
    from its seed; earlier seeds form a history to walk back through, and
    accepted variants form an undo history.

    Message thread only; it works on one of the instrument's patterns, the base
    pattern, which follows the current pattern at the next variant command.
*/
class PatternRandomizer
{
public:
    static constexpr int numKeys = 49;       // key i stands for pitch 24 + i
    static constexpr int lowestPitch = 24;

    PatternRandomizer();

    MersenneTwister& getGenerator() noexcept            { return generator; }

    //==========================================================================
    // Variants and undo

    /** The pattern as it is becomes the only undo point and the new base. */
    void resetPatternUndo (Pattern& current);
    void clearPatternUndo();

    /** Each first moves the base to the current pattern when it changed. */
    void selectNextRandomVariant (Pattern& current);
    /** False, changing nothing, when no earlier variant exists. */
    bool selectPreviousRandomVariant (Pattern& current);
    void acceptRandomVariant (Pattern& current);
    void rejectRandomVariant (Pattern& current);

    /** Accepts the variant, then turns the random levels of every switched-on
        kind into plain flags by the thresholds (gate, accent, slide). */
    void acceptAndFix (Pattern& current, double gateThreshold, double accentThreshold, double slideThreshold);

    std::uint32_t getCurrentSeed() const noexcept       { return currentSeed; }
    int getNumUndoPoints() const noexcept               { return static_cast<int> (undoHistory.size()); }
    const Pattern* getBasePattern() const noexcept      { return basePattern; }

    //==========================================================================
    // Switches

    bool getRandomizeGate() const noexcept      { return randomizeGate; }
    bool getRandomizeAccent() const noexcept    { return randomizeAccent; }
    bool getRandomizeSlide() const noexcept     { return randomizeSlide; }
    bool getRandomNotes() const noexcept        { return randomNotes; }
    bool getKeyOctaveUp() const noexcept        { return keyOctaveUp; }
    bool getKeyOctaveDown() const noexcept      { return keyOctaveDown; }

    void toggleRandomizeGate()                  { randomizeGate = ! randomizeGate; }
    void toggleRandomizeAccent()                { randomizeAccent = ! randomizeAccent; }
    void toggleRandomizeSlide()                 { randomizeSlide = ! randomizeSlide; }
    void toggleRandomNotes()                    { randomNotes = ! randomNotes; }
    void toggleKeyOctaveUp()                    { keyOctaveUp = ! keyOctaveUp; }
    void toggleKeyOctaveDown()                  { keyOctaveDown = ! keyOctaveDown; }

    //==========================================================================
    // The key set

    /** The first key of the 13 visible panel keys: 12, 24 (octave up), 0 (octave down) or 36 (both). */
    int getVisibleBase() const noexcept;
    bool isKeyOn (int key) const noexcept;
    bool isCustomChordKeyOn (int key) const noexcept;

    /** Key edits; while the custom chord is selected they are mirrored into the custom chord. */
    void toggleVisibleKey (int panelKey);
    void setVisibleKeys (bool on);
    void shiftKeysUp();
    void shiftKeysDown();
    void setAllKeys (bool on);

    /** Rebuilds the key set for a chord: 0 copies the custom chord, 1..7 repeat the
        chord's intervals in all four octaves plus the top key. */
    void setChord (int chord, const std::vector<int>& intervals);
    int getChord() const noexcept               { return chord; }

private:
    void moveBaseTo (Pattern& current);
    void drawNewRandomVariant();
    void generateRandomPattern();
    void writeKey (int key, bool on);
    float nextLevel() noexcept;

    MersenneTwister generator;
    bool randomizeGate = true, randomizeAccent = true, randomizeSlide = true;
    bool randomNotes = true;
    bool keyOctaveUp = false, keyOctaveDown = false;
    bool fixedGate = false, fixedAccent = false, fixedSlide = false;
    std::array<bool, numKeys> keySet;
    std::array<bool, numKeys> customChordKeys;
    int chord = 0;

    std::vector<std::uint32_t> seedHistory;
    std::uint32_t currentSeed = 0;
    Pattern* basePattern = nullptr;
    std::vector<Pattern> undoHistory;
};
