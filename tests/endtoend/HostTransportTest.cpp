// Real hosts report less of their transport than JUCE's own host: jalv gives the
// frame count and whether it rolls (in every cycle, or once when that changes),
// Ardour the bar, tempo and time signature but no musical position. With each,
// a fresh instance plays factory pattern 1 on the sixteenth-note grid of the
// tempo the host gave (120 BPM when it gave none), every step in turn.

#include "HostedPlugin.h"

#include <gtest/gtest.h>

using HostedPlugin::Format;

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

/** Which fields a host fills in. */
struct HostShape
{
    const char* name;
    bool barTempoAndSignature;   // Ardour: bar, tempo and time signature, no musical position
    bool onlyFirstBlock;         // jalv when the transport does not change: one position, then none
    Format format;
};

void PrintTo (const HostShape& shape, std::ostream* out)
{
    *out << shape.name;
}

class ShapedPlayHead : public juce::AudioPlayHead
{
public:
    explicit ShapedPlayHead (const HostShape& hostShape) : shape (hostShape) {}

    juce::Optional<PositionInfo> getPosition() const override
    {
        if (shape.onlyFirstBlock && samples > 0)
            return {};

        PositionInfo info;
        info.setIsPlaying (true);
        info.setTimeInSamples (samples);

        if (shape.barTempoAndSignature)
        {
            info.setBpm (tempo);
            info.setBarCount (samples / static_cast<juce::int64> (sampleRate * 60.0 / tempo * 4.0));
            info.setTimeSignature (juce::AudioPlayHead::TimeSignature { 4, 4 });
        }

        return info;
    }

    const HostShape& shape;
    const double tempo = 140.0;
    juce::int64 samples = 0;
};

struct Note
{
    int sample, note;
};

/** The MIDI notes of factory pattern 1's steps, -1 for a step without gate. */
std::vector<int> readFirstFactoryPattern()
{
    std::vector<int> notes;
    const auto bank = juce::parseXML (juce::File (TARVELIN_RESOURCES_DIR).getChildFile ("default.tqptrb"));
    const auto* pattern = bank != nullptr ? bank->getChildElement (0) : nullptr;

    if (pattern == nullptr)
        return notes;

    for (auto* step : pattern->getChildWithTagNameIterator ("Step"))
    {
        const bool up = step->getBoolAttribute ("octaveUp"), down = step->getBoolAttribute ("octaveDown");
        const auto octave = up && down ? 60 : up ? 48 : down ? 24 : 36;
        notes.push_back (step->getBoolAttribute ("gate") ? step->getIntAttribute ("note") + octave : -1);
    }

    return notes;
}

std::vector<Note> playNoteOns (juce::AudioPluginInstance& plugin, ShapedPlayHead& host, int numBlocks)
{
    std::vector<Note> ons;
    plugin.setPlayHead (&host);

    for (int block = 0; block < numBlocks; ++block)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        HostedPlugin::processBlock (plugin, buffer, midi);

        for (const auto metadata : midi)
            if (metadata.getMessage().isNoteOn())
                ons.push_back ({ block * blockSize + metadata.samplePosition, metadata.getMessage().getNoteNumber() });

        host.samples += blockSize;
    }

    plugin.setPlayHead (nullptr);
    return ons;
}

class HostTransport : public ::testing::TestWithParam<HostShape>
{
};
} // namespace

TEST_P (HostTransport, PlaysPatternOnesStepsAtTheirSamples)
{
    const auto pattern = readFirstFactoryPattern();
    ASSERT_EQ (pattern.size(), 16u);

    auto plugin = HostedPlugin::load (GetParam().format, sampleRate, blockSize);
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (sampleRate, blockSize);
    ShapedPlayHead host (GetParam());

    const auto ons = playNoteOns (*plugin, host, 200);   // 18 steps and more: past the pattern's end

    const auto tempo = GetParam().barTempoAndSignature ? host.tempo : 120.0;
    const auto samplesPerStep = sampleRate * 60.0 / tempo / 4.0;
    std::vector<int> expectedNotes;
    std::vector<double> expectedSamples;

    for (int step = 0; step * samplesPerStep < 200.0 * blockSize; ++step)
    {
        if (const auto note = pattern[static_cast<size_t> (step % 16)]; note >= 0)
        {
            expectedNotes.push_back (note);
            expectedSamples.push_back (step * samplesPerStep);
        }
    }

    ASSERT_EQ (ons.size(), expectedNotes.size());

    for (size_t i = 0; i < ons.size(); ++i)
    {
        EXPECT_EQ (ons[i].note, expectedNotes[i]) << i;
        EXPECT_NEAR (ons[i].sample, expectedSamples[i], 1.0) << i;
    }
}

// A VST3 host hands the plug-in a transport with every block, so "one position,
// then none" is an LV2 shape only (JUCE's VST3 host would report a stopped transport).
INSTANTIATE_TEST_SUITE_P (RealHostShapes, HostTransport,
                          ::testing::Values (HostShape { "SamplesAndPlayingOnly_VST3", false, false, Format::vst3 },
                                             HostShape { "SamplesAndPlayingOnly_LV2", false, false, Format::lv2 },
                                             HostShape { "BarTempoAndSignatureNoMusicalPosition_VST3", true, false, Format::vst3 },
                                             HostShape { "BarTempoAndSignatureNoMusicalPosition_LV2", true, false, Format::lv2 },
                                             HostShape { "OnePositionThenNone_LV2", false, true, Format::lv2 }),
                          [] (const auto& paramInfo) { return std::string (paramInfo.param.name); });

namespace
{
/** JUCE's own host: tempo and musical position, here from a start away from the bar; it
    jumps to jumpTo beats at sample jumpAt when that is not negative. Without a musical
    position it is a host that gives only its frame and tempo. */
class MusicalPlayHead : public juce::AudioPlayHead
{
public:
    explicit MusicalPlayHead (double startInBeats) : start (startInBeats) {}

    double getBeats() const
    {
        return jumpAt >= 0 && samples >= jumpAt ? jumpTo + static_cast<double> (samples - jumpAt) / 22050.0
                                                : start + static_cast<double> (samples) / 22050.0;
    }

    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setIsPlaying (true);
        info.setBpm (120.0);
        info.setTimeInSamples (static_cast<juce::int64> (getBeats() * 22050.0));

        if (reportsPosition)
            info.setPpqPosition (getBeats());

        return info;
    }

    const double start;
    juce::int64 samples = 0;
    juce::int64 jumpAt = -1;
    double jumpTo = 0.0;
    bool reportsPosition = true;
};

struct Sounded
{
    int on, off, note;
};

/** Plays the blocks and gives every note with the samples it began and ended at (-1 when
    still sounding); a lowest C is played at noteAt when that is not negative. */
std::vector<Sounded> playSounded (juce::AudioPluginInstance& plugin, MusicalPlayHead& host, int numBlocks, int noteAt = -1)
{
    plugin.setPlayHead (&host);
    std::vector<Sounded> notes;

    for (int block = 0; block < numBlocks; ++block)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        if (noteAt >= block * blockSize && noteAt < (block + 1) * blockSize)
            midi.addEvent (juce::MidiMessage::noteOn (1, 0, static_cast<juce::uint8> (100)), noteAt - block * blockSize);

        HostedPlugin::processBlock (plugin, buffer, midi);

        for (const auto metadata : midi)
        {
            const auto message = metadata.getMessage();
            const int sample = block * blockSize + metadata.samplePosition;

            if (message.isNoteOn())
                notes.push_back ({ sample, -1, message.getNoteNumber() });
            else if (message.isNoteOff() && ! notes.empty() && notes.back().note == message.getNoteNumber())
                notes.back().off = sample;
        }

        host.samples += blockSize;
    }

    plugin.setPlayHead (nullptr);
    return notes;
}

/** The first note is the pattern's first step at the sample it was started at; every note
    lasts at least the shortest gate (0.04 of a step, 220 samples), and every later one
    starts on the sixteenth-note grid of a host that stood at start beats at sample 0. */
void expectAGateThenTheHostsGrid (const std::vector<Sounded>& notes, int firstNote, int startedAt, double start)
{
    ASSERT_GE (notes.size(), 3u);
    EXPECT_EQ (notes[0].on, startedAt);
    EXPECT_EQ (notes[0].note, firstNote);

    for (size_t i = 0; i < notes.size(); ++i)
    {
        if (notes[i].off >= 0)
        {
            EXPECT_GE (notes[i].off - notes[i].on, 220) << i;
        }

        // The first sample at or after the step's time, give or take the sum's rounding.
        if (i > 0)
        {
            const auto steps = (start + notes[i].on / 22050.0) * 4.0;
            EXPECT_NEAR (steps, std::round (steps), 1.5 / 5512.5) << i << " at " << notes[i].on;
        }
    }
}

class StartAwayFromTheBar : public ::testing::TestWithParam<Format>
{
};
} // namespace

// Started at 2.3 beats (or 2.25), factory pattern 1's first step sounds at once, for
// at least the shortest gate (0.04 of a step, 220 samples), and the next notes start
// on the host's sixteenth-note grid.
TEST_P (StartAwayFromTheBar, TheFirstStepSoundsAtOnceForAGateAndTheRestOnTheHostsGrid)
{
    const auto pattern = readFirstFactoryPattern();
    ASSERT_FALSE (pattern.empty());

    for (const double start : { 2.3, 2.25 })
    {
        SCOPED_TRACE (start);
        auto plugin = HostedPlugin::load (GetParam(), sampleRate, blockSize);
        ASSERT_NE (plugin, nullptr);
        plugin->prepareToPlay (sampleRate, blockSize);
        MusicalPlayHead host (start);
        const auto notes = playSounded (*plugin, host, 30);
        expectAGateThenTheHostsGrid (notes, pattern[0], 0, start);
    }
}

// Played from 2.3 beats with the host's play detected by its lowest C: the note, at a
// block's last sample, starts factory pattern 1 there, as a transport start would.
TEST_P (StartAwayFromTheBar, ALowestCStartsTheFirstStepAtTheNoteForAGateAndTheRestOnTheHostsGrid)
{
    const auto pattern = readFirstFactoryPattern();
    ASSERT_FALSE (pattern.empty());

    const HostedPlugin::ScopedUserSettings settings ("<InternalSequencer><HostPlayDetection type=\"byLowestCNoteOn\"/></InternalSequencer>");
    auto plugin = HostedPlugin::load (GetParam(), sampleRate, blockSize);
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (sampleRate, blockSize);
    MusicalPlayHead host (2.3);

    constexpr int noteAt = 2 * blockSize - 1;
    expectAGateThenTheHostsGrid (playSounded (*plugin, host, 30, noteAt), pattern[0], noteAt, 2.3);
}

INSTANTIATE_TEST_SUITE_P (Formats, StartAwayFromTheBar, ::testing::Values (Format::vst3, Format::lv2),
                          [] (const auto& paramInfo) { return std::string (HostedPlugin::getFormatName (paramInfo.param)); });

namespace
{
/** The shortest note of a step begun inside its time: 20 ms. */
constexpr int shortestBegunNote = 882;

enum class Begun { byTransport, byLowestC, byJump };

/** Where the host begins step 1 (a start, a lowest C or a jump to that many beats), and
    the beats at which it and the next step sound. */
struct BegunStepCase
{
    const char* name;
    Begun how;
    double at;
    float gateSlot;         // "Gate Length": 0.5 is a gate of 0.5, 1.0 the longest, 0.96
    double firstOn, secondOn;
    bool reportsPosition = true;
};

void PrintTo (const BegunStepCase& c, std::ostream* out)
{
    *out << c.name;
}

class BegunStep : public ::testing::TestWithParam<std::tuple<Format, BegunStepCase>>
{
};
} // namespace

// Wherever in a step the host starts, its lowest C comes or it jumps, and whatever the gate,
// the step sounds from there (from the next step, when that is less than 20 ms away), the
// next on the host's grid, and every later one a sixteenth after; no note is shorter than
// 20 ms and none overlaps the next.
TEST_P (BegunStep, SoundsFromThereThenTheNextStepOnTheHostsGrid)
{
    const auto format = std::get<0> (GetParam());
    const auto& c = std::get<1> (GetParam());
    const auto byLowestC = c.how == Begun::byLowestC;
    const HostedPlugin::ScopedUserSettings settings (byLowestC ? "<InternalSequencer><HostPlayDetection type=\"byLowestCNoteOn\"/></InternalSequencer>"
                                                               : "");
    auto plugin = HostedPlugin::load (format, sampleRate, blockSize);
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (sampleRate, blockSize);

    for (auto* slot : HostedPlugin::getSlots (*plugin))
        if (slot->getName (100) == "Gate Length")
            slot->setValue (c.gateSlot);

    // Without a play head the gate is taken and nothing starts.
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer none;
    HostedPlugin::processBlock (*plugin, buffer, none);

    // A lowest C at a block's last sample; a jump while the first step sounds.
    constexpr int noteAt = 2 * blockSize - 1, jumpAt = 4 * blockSize;
    const int begunAt = byLowestC ? noteAt : c.how == Begun::byJump ? jumpAt : 0;
    MusicalPlayHead host (byLowestC ? c.at - noteAt / 22050.0 : c.how == Begun::byJump ? 0.0 : c.at);
    host.reportsPosition = c.reportsPosition;

    if (c.how == Begun::byJump)
    {
        host.jumpAt = jumpAt;
        host.jumpTo = c.at;
    }

    auto notes = playSounded (*plugin, host, 30, byLowestC ? noteAt : -1);

    if (c.how == Begun::byJump)
    {
        // Step 1 from the start, ended by the jump.
        ASSERT_FALSE (notes.empty());
        EXPECT_EQ (notes.front().on, 0);
        EXPECT_EQ (notes.front().off, jumpAt);
        notes.erase (notes.begin());
    }

    ASSERT_GE (notes.size(), 3u);
    const auto sampleOf = [&] (double beats) { return begunAt + (beats - c.at) * 22050.0; };

    // A jump ends the sounding note at its sample and begins the next at the one after.
    EXPECT_NEAR (notes[0].on, std::max (sampleOf (c.firstOn), begunAt + (c.how == Begun::byJump ? 1.0 : 0.0)), 1.0);
    EXPECT_NEAR (notes[1].on, sampleOf (c.secondOn), 1.0);

    for (size_t i = 0; i < notes.size(); ++i)
    {
        if (notes[i].off >= 0)
        {
            EXPECT_GE (notes[i].off - notes[i].on, shortestBegunNote) << i;
        }

        if (i + 1 < notes.size())
        {
            EXPECT_LE (notes[i].off, notes[i + 1].on) << i;
        }

        // Whole sixteenths after the second step, give or take the sum's rounding.
        if (i > 1)
        {
            const auto steps = (notes[i].on - sampleOf (c.secondOn)) / 5512.5;
            EXPECT_NEAR (steps, std::round (steps), 1.5 / 5512.5) << i << " at " << notes[i].on;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (
    Starts, BegunStep,
    ::testing::Combine (::testing::Values (Format::vst3, Format::lv2),
                        ::testing::Values (BegunStepCase { "Start2_30Gate0_5", Begun::byTransport, 2.30, 0.5f, 2.30, 2.50 },
                                           BegunStepCase { "Start2_40Gate0_5", Begun::byTransport, 2.40, 0.5f, 2.40, 2.50 },
                                           BegunStepCase { "Start2_27Gate0_96", Begun::byTransport, 2.27, 1.0f, 2.27, 2.50 },
                                           BegunStepCase { "Start1msBefore2_50", Begun::byTransport, 2.498, 0.5f, 2.50, 2.75 },
                                           BegunStepCase { "LowestCAt2_40Gate0_5", Begun::byLowestC, 2.40, 0.5f, 2.40, 2.50 },
                                           BegunStepCase { "LowestCAt2_27Gate0_96", Begun::byLowestC, 2.27, 1.0f, 2.27, 2.50 },
                                           BegunStepCase { "LowestC1msBefore2_50", Begun::byLowestC, 2.498, 0.5f, 2.50, 2.75 },
                                           BegunStepCase { "JumpTo2_40Gate0_5", Begun::byJump, 2.40, 0.5f, 2.40, 2.50 },
                                           BegunStepCase { "JumpTo2_27Gate0_96", Begun::byJump, 2.27, 1.0f, 2.27, 2.50 },
                                           BegunStepCase { "Jump1msBefore2_50", Begun::byJump, 2.498, 0.5f, 2.50, 2.75 },
                                           // Only a frame and tempo: the grid counts from the start.
                                           BegunStepCase { "FramesOnlyFrom2_40", Begun::byTransport, 2.40, 0.5f, 2.40, 2.65, false })),
    [] (const auto& paramInfo)
    {
        return std::string (HostedPlugin::getFormatName (std::get<0> (paramInfo.param))) + "_" + std::get<1> (paramInfo.param).name;
    });
