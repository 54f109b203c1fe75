#include "synth/Tarvelin.h"

#include "framework/XmlHelpers.h"

#include <cmath>
#include <ctime>

namespace
{
using namespace TarvelinIds;

const char* const accentLevelNames[] = { "low", "medium", "high" };
const char* const tuningNames[] = { "accurate", "vintage", "battery low" };

int roundToInt (double x)
{
    return static_cast<int> (std::floor (x + 0.5));
}

juce::String withDecimals (double value, int decimals)
{
    return juce::String (value, decimals);
}

juce::String decibelText (double factor)
{
    return factor > 0.0 ? withDecimals (20.0 * std::log10 (factor), 1) + "dB" : juce::String ("-inf.dB");
}
} // namespace

//==============================================================================
Tarvelin::Tarvelin()
    : IntSeqPlugin (numPresetParameters, numHostParameters - numPresetParameters),
      arpeggiator (*this)
{
    soundingNotes.reserve (TarvelinCore::maxHeldNotes);
    midiOut.ensureSize (8192);

    // Without a host tempo the clocks run at 120 BPM.
    sequencerClock.setTempo (120.0);

    moveSettingsToUserFolder();

    engine = std::make_unique<TarvelinCore>();
    addPresetManagerListener (this);

    arpeggiator.resetArpeggiator();
    stopSequencer();

    randomizer.getGenerator().seed (static_cast<std::uint32_t> (std::time (nullptr)));
}

Tarvelin::~Tarvelin()
{
    saveSettingsOnClose();
    deleteEditor();

    const juce::ScopedLock sl (engineLock);
    engine.reset();
}

void Tarvelin::currentPresetLoaded()
{
    // A preset load may come from the audio thread (program change); the engine is
    // reached only under its lock.
    const juce::ScopedLock sl (engineLock);
    engine->currentPresetLoaded();
}

//==============================================================================
void Tarvelin::prepareToPlay (double sampleRate, int)
{
    {
        const juce::ScopedLock sl (engineLock);
        engine->setSampleRate (static_cast<float> (sampleRate));
    }

    sequencerClock.setSampleRate (sampleRate);
    arpeggiator.setSampleRate (sampleRate);
    midiInput.clear();

    // Stopped as the stop request stops it, so that Start/Stop starts it again.
    playState = stopped;
    stopSequencer();
    arpeggiator.resetArpeggiator();
}

void Tarvelin::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;

    hostBlockStarted();
    takeBlockFlags();

    // What was played outside the processing (a note ended by prepareToPlay) is
    // still in midiOut, at sample 0: it leaves with this block.
    midiOutPosition = 0;

    if (stopRequest.exchange (false))
    {
        playState = stopped;
        stopSequencer();
    }

    if (arpResetRequest.exchange (false))
        arpeggiator.resetArpeggiator();

    if (allNotesOffRequest.exchange (false))
        releaseAllNotes();

    bool hostIsPlaying = false;
    handleHostTransport (hostIsPlaying);
    applyPlayRequest (hostIsPlaying);

    const int numSamples = buffer.getNumSamples();
    buffer.clear();

    midiInput.setEvents (midi);
    applyClockSettings();

    // The voice renders in runs between the samples where something happens (a MIDI
    // event, a step of either clock): each run is rendered, under one take of the
    // engine lock, just before what happens at its end reaches the engine.
    juce::MidiMessage message;
    int rendered = 0;

    for (int i = 0; i < numSamples; ++i)
    {
        while (midiInput.getNextEventAt (message, i))
        {
            renderVoice (buffer, rendered, i);
            handleMidiEvent (message, i, hostIsPlaying);
        }

        if (sequencerClock.processSample())
        {
            renderVoice (buffer, rendered, i);

            if (sequencerClock.isFirstPhase())
                advanceSequencerStep();
            else
                releaseSequencerStep();

            // A pattern change takes effect at the next step.
            if (flags.sequencerOn)
            {
                if (flags.syncOn)
                    sequencerClock.setTempo (getPlayingPatternTempo());

                sequencerClock.setShuffle (getPlayingShuffleAmount());
            }
        }

        if (arpeggiator.advanceClock())
        {
            renderVoice (buffer, rendered, i);
            arpeggiator.runClockPhase();
        }

        ++midiOutPosition;
    }

    renderVoice (buffer, rendered, numSamples);

    midiInput.advance (numSamples);

    // The host receives exactly the notes the instrument played.
    midi.swapWith (midiOut);
    midiOut.clear();
    midiOutPosition = 0;

    if (flags.sequencerOn)
        followPlayingPattern();

    // The lamp follows the clock while the sequencer is on; switched off while it
    // ran, the clock stops in a block that sees it off, and the lamp goes out too.
    const bool running = sequencerClock.isRunning();

    if (running != flags.clockWasRunning && (flags.sequencerOn || ! running))
        parameterManager.setBoolValue (playStateId, running);

    clockRanAtBlockEnd = running;
}

void Tarvelin::renderVoice (juce::AudioBuffer<float>& buffer, int& rendered, int end)
{
    if (end <= rendered)
        return;

    const juce::ScopedLock sl (engineLock);

    while (rendered < end)
    {
        const auto length = std::min (end - rendered, static_cast<int> (voiceScratch.size()));
        engine->renderBlock (voiceScratch.data(), length);

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        {
            auto* out = buffer.getWritePointer (channel, rendered);

            for (int j = 0; j < length; ++j)
                out[j] += static_cast<float> (voiceScratch[static_cast<size_t> (j)]);
        }

        rendered += length;
    }
}

void Tarvelin::takeBlockFlags()
{
    flags.sequencerOn = isInternalSequencerOn();
    flags.syncOn = isInternalSyncOn();
    flags.hostModeOn = isHostModeOn();
    flags.noteOffMode = isNoteOffModeOn();
    flags.selfReset = isSelfResetOn();
    flags.writeMode = isWriteModeOn();
    flags.autoFollow = isAutoFollowOn();
    flags.lengthMode = isLengthModeOn();
    flags.randomizer = isRandomizerOn();
    flags.hostPlayDetection = getHostPlayDetection();
    // As the last block left it: a stop between blocks (prepareToPlay) is a change too.
    flags.clockWasRunning = clockRanAtBlockEnd;
}

void Tarvelin::handleHostTransport (bool& hostIsPlaying)
{
    hostIsPlaying = transport.playing;
    transport.positionMoves = false;

    auto* hostPlayHead = getPlayHead();

    if (hostPlayHead == nullptr)
        return;

    const auto position = hostPlayHead->getPosition();

    if (! position.hasValue())
        return;

    const bool wasPlaying = transport.playing;
    transport.playing = position->getIsPlaying();

    if (const auto bpm = position->getBpm(); bpm.hasValue() && std::isfinite (*bpm) && *bpm > 0.0)
        transport.tempo = *bpm;

    // Each field counts only when the host gave it. A musical position that
    // stands still is no position either (some hosts repeat one, others send
    // none and only a frame count): the clock then runs on from where it is.
    // One that moves, or any at a transport start, relocates the clock.
    bool positionMoved = false;

    if (const auto ppq = position->getPpqPosition(); ppq.hasValue() && std::isfinite (*ppq))
    {
        positionMoved = ! transport.hasPosition || *ppq != transport.position || (transport.playing && ! wasPlaying);
        transport.positionMoves = positionMoved;
        transport.position = *ppq;
        transport.hasPosition = true;
    }

    hostIsPlaying = transport.playing;

    const bool sequencerOn = flags.sequencerOn;
    const bool hostModeOn = flags.hostModeOn;
    const bool syncOn = flags.syncOn;
    const int detection = flags.hostPlayDetection;

    if (transport.playing)
    {
        if (detection == byTransportChange && sequencerOn && ! hostModeOn
            && (! sequencerClock.isRunning() || playState.load() == playing))
        {
            playState = stopped;
            restartSequencer();
        }
    }
    else if (wasPlaying)
    {
        playState = stopped;
        stopSequencer();
    }

    if (! syncOn)
    {
        sequencerClock.setTempo (transport.tempo);
        arpeggiator.setTempo (transport.tempo);
    }
    else if (! sequencerOn)
    {
        arpeggiator.setTempo (transport.tempo);
    }

    if (positionMoved && sequencerOn && ! hostModeOn && ! syncOn
        && ((detection == byTransportChange && transport.playing)
            || (detection == byLowestCNoteOn && startedByLowestC.load())))
        sequencerClock.setPosition (transport.position);
}

void Tarvelin::applyPlayRequest (bool hostIsPlaying)
{
    const int request = requestedPlayState.exchange (noRequest);

    if (flags.sequencerOn && ! flags.hostModeOn && ! hostIsPlaying
        && request != noRequest && request != playState.load())
    {
        playState = request;

        if (request == stopped)
            stopSequencer();
        else
            restartSequencer();
    }
}

void Tarvelin::applyClockSettings()
{
    const double gate = clockGate.load();
    const bool sequencerOn = flags.sequencerOn;
    const bool syncOn = flags.syncOn;

    sequencerClock.setShuffle (getPlayingShuffleAmount());
    sequencerClock.setGate (arpeggiator.isOn() ? 0.96 : gate);

    if (syncOn)
        sequencerClock.setTempo (getPlayingPatternTempo());

    arpeggiator.applyClockSettings (gate);

    if (syncOn && sequencerOn)
        arpeggiator.setTempo (getPlayingPatternTempo());
}

void Tarvelin::handleMidiEvent (const juce::MidiMessage& message, int sample, bool hostIsPlaying)
{
    getMidiActivityFlag().exchange (1);

    if (message.isController())
    {
        getMidiControl().handleController (message);

        if (message.isAllNotesOff())
        {
            // Stopped as the Stop button stops it, so that Start/Stop starts it again.
            playState = stopped;
            stopSequencer();
            arpeggiator.resetArpeggiator();
            allNotesOff();
        }

        return;
    }

    if (message.isProgramChange())
    {
        selectPreset (message.getProgramChangeNumber(), false);
        return;
    }

    if (! message.isNoteOnOrOff())
        return;

    if (! flags.sequencerOn)
    {
        if (message.isNoteOn())
            noteOn (message.getNoteNumber(), message.getFloatVelocity());
        else
            noteOff (message.getNoteNumber());

        return;
    }

    if (flags.hostModeOn)
    {
        handleHostModePatternNote (message, hostIsPlaying);
        return;
    }

    handleNativePatternKey (message);

    // The lowest C starts the sequencer when the host's play is detected that way.
    if (message.isNoteOn() && message.getNoteNumber() == 0 && flags.hostPlayDetection == byLowestCNoteOn
        && (! sequencerClock.isRunning() || playState.load() == playing))
        startByLowestC (sample);
}

void Tarvelin::startByLowestC (int sample)
{
    playState = stopped;
    restartSequencer();

    // Raised after the restart, whose stop lowers it: from here on the clock
    // follows the host's position.
    startedByLowestC = true;

    // A playing host's position moves on sample by sample: the clock starts where
    // the host stands at the note, as at a transport start, so that the first step
    // keeps a whole gate and the host's next position is no jump.
    if (transport.playing && transport.positionMoves && ! flags.syncOn)
        sequencerClock.setPosition (transport.position
                                    + sample * Clock::getBeatsPerSample (sequencerClock.getSampleRate(), sequencerClock.getTempo()));
}

void Tarvelin::handleHostModePatternNote (const juce::MidiMessage& message, bool hostIsPlaying)
{
    const int note = message.getNoteNumber();

    if (note < 12 || note > 107)
        return;

    const int pattern = note - 12;

    if (message.isNoteOn())
    {
        const int previous = hostPatternIndex;
        hostPatternKeysHeld = (pattern == previous) ? hostPatternKeysHeld + 1 : 1;
        setHostPatternIndex (pattern);

        const bool keepsPlaying = sequencerClock.isRunning() && ! flags.selfReset && pattern == previous;

        if (! keepsPlaying)
        {
            startSequencer();
            sequencerClock.reset();
            stepAdvanced = false;
        }
    }
    else if (pattern == hostPatternIndex)
    {
        if (--hostPatternKeysHeld <= 0)
        {
            hostPatternKeysHeld = 0;

            if (flags.noteOffMode || ! hostIsPlaying)
                stopSequencer();
        }
    }
}

void Tarvelin::handleNativePatternKey (const juce::MidiMessage& message)
{
    static const int whiteKeyPositions[13] = { 0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6, 7 };
    const int note = message.getNoteNumber();

    if (note >= 12 && note <= 24)
    {
        const int position = whiteKeyPositions[note - 12];

        if (position < 0)
            return;

        if (message.isNoteOn())
        {
            if (patternKeyHeld < 0 || chainBank.load() != bankGroup.load())
            {
                chainFirst = position;
                chainLast = position;
                chainBank = bankGroup.load();
            }
            else
            {
                chainFirst = juce::jmin (patternKeyHeld, position);
                chainLast = juce::jmax (patternKeyHeld, position);
            }

            applyPatternChain();
            patternKeyHeld = position;
        }
        else if (position == patternKeyHeld)
        {
            patternKeyHeld = -1;
        }

        return;
    }

    if (! message.isNoteOn())
        return;

    const int group = note == 26 ? 0 : note == 28 ? 1 : note == 29 ? 2 : -1;

    if (group >= 0)
    {
        bankGroup = group;

        if (canPublishDisplaysNow())
        {
            updateKeyLamps();
            updatePatternPositionLamps (0);
            updateFlagLamps();
        }
    }
}

void Tarvelin::followPlayingPattern()
{
    if (! sequencerClock.isRunning())
        return;

    const bool follow = flags.hostModeOn
        ? (! flags.lengthMode && ! flags.randomizer && flags.autoFollow)
        : ! (flags.writeMode && (flags.lengthMode || flags.randomizer || ! flags.autoFollow));

    if (follow && selectPattern() && canPublishDisplaysNow())
        updatePatternStates();
}

//==============================================================================
// Note routing

void Tarvelin::noteOn (int note, float velocity)
{
    arpeggiator.noteOn (note, velocity);
}

void Tarvelin::noteOff (int note)
{
    arpeggiator.noteOff (note);
}

void Tarvelin::playNote (int note, float velocity)
{
    // Beyond the engine's held notes a note is neither played nor sent, so that
    // every note-on sent still gets its note-off.
    if (note < 0 || note > 127 || soundingNotes.size() >= static_cast<size_t> (TarvelinCore::maxHeldNotes))
        return;

    soundingNotes.push_back (note);

    {
        const juce::ScopedLock sl (engineLock);
        engine->noteOn (note, velocity);
    }

    midiOut.addEvent (juce::MidiMessage::noteOn (1, note, velocity), midiOutPosition);
}

void Tarvelin::releaseNote (int note)
{
    const auto found = std::find (soundingNotes.begin(), soundingNotes.end(), note);

    if (found == soundingNotes.end())
        return;

    soundingNotes.erase (found);

    {
        const juce::ScopedLock sl (engineLock);
        engine->noteOff (note);
    }

    midiOut.addEvent (juce::MidiMessage::noteOff (1, note, static_cast<juce::uint8> (0)), midiOutPosition);
}

void Tarvelin::releaseAllNotes()
{
    arpeggiator.releaseSoundingNote();
    currentNoteOn = false;
    previousNoteOn = false;

    while (! soundingNotes.empty())
        releaseNote (soundingNotes.front());
}

void Tarvelin::allNotesOff()
{
    releaseAllNotes();

    {
        const juce::ScopedLock sl (engineLock);
        engine->allNotesOff();
    }

    midiOut.addEvent (juce::MidiMessage::allNotesOff (1), midiOutPosition);
}

//==============================================================================
// Parameters

void Tarvelin::parameterChanged (Parameter* parameter)
{
    const int id = parameter->getId();
    const float v = parameter->getNormalisedValue();

    if (id == arpShuffleAmount)
    {
        parameterManager.setNormalisedValue (arpShuffle, v);
        return;
    }

    if (id == gateLevel || id == accentLevel || id == slideLevel)
    {
        // Only while the level knobs are shown, and never from the displays' own updates.
        if (isLevelEditActive() && ! publishingLevels)
        {
            getPattern (currentPattern).getStep (editedStep).setLevel (5 + id - gateLevel, v);
            updateStepLevelDisplays();
        }

        return;
    }

    if (id >= 0 && id < TarvelinCore::numParameters)
    {
        const juce::ScopedLock sl (engineLock);
        engine->setParameter (id, v);
    }

    IntSeqPlugin::parameterChanged (parameter);

    switch (id)
    {
        case gateLength:        clockGate = 0.04 + 0.92 * static_cast<double> (v); break;
        case arpChord:          arpeggiator.setChord (v); break;
        case arpMode:
            if (arpeggiator.setMode (v))
            {
                requestArpeggiatorReset();
                requestAllNotesOff();
            }

            parameterManager.setBoolValue (arpOnState, arpeggiator.isOn());
            break;

        case arpShuffle:
            arpeggiator.setShuffle (v);
            parameterManager.setValue (arpShuffleAmount, static_cast<float> (arpeggiator.getShuffle()));
            break;

        case arpOctaveMinus1:
        case arpOctave0:
        case arpOctavePlus1:
        case arpOctavePlus2:    arpeggiator.setOctaveSwitch (id - arpOctaveMinus1, v); break;
        case arpMultiplier:     arpeggiator.setMultiplier (v); break;
        case arpRepeater:       arpeggiator.setRepeater (v); break;
        case gateThreshold:
        case accentThreshold:
        case slideThreshold:    thresholds[static_cast<size_t> (id - gateThreshold)] = v; break;
        case randChord:         setRandomizerChord (roundToInt (static_cast<double> (v) * 7.0)); break;
        default: break;
    }
}

juce::String Tarvelin::getParameterDisplayText (int id) const
{
    const auto* parameter = parameterManager.getParameter (id);

    if (parameter == nullptr)
        return {};

    const double v = parameter->getNormalisedValue();

    auto readBack = [this] (int parameterId)
    {
        const juce::ScopedLock sl (engineLock);
        return engine->getParameter (parameterId);
    };

    switch (id)
    {
        case tune:
        {
            // Two decimals of the semitone offset, so the text reads as the value.
            return withDecimals ((v - 0.5) * 48.0, 2) + " halftones";
        }

        case slideTime:         return juce::String (roundToInt (readBack (id) * 1000.0)) + " ms";
        case cutoff:
        case resonance:
        case envMod:
        case accent:
        case accentAmp:         return withDecimals (v * 100.0, 1);
        case accentSweep:       return withDecimals (v * 36.0, 1) + " ms";

        case attack:
        {
            const double t = -0.07606847412199216 * v / (v - 1.0143525020308606);
            return t >= 1.0 ? withDecimals (t, 2) + " s" : withDecimals (t * 1000.0, 1) + " ms";
        }

        case decay:
        case accentDecay:
        {
            const double d = v * -13731.040831170467 + 17036.972707414807;
            const double t = 61156177462.69503 / (d * d + 15522448.280278217);
            return t >= 1000.0 ? withDecimals (t / 1000.0, 2) + " s" : withDecimals (t, 1) + " ms";
        }

        case gateLength:
        case bankDamping:
        case bankMix:           return juce::String (static_cast<int> (v * 100.0)) + "%";
        case drive:
        case distortionLevel:   return decibelText (readBack (id));
        case bankFrequency:
        case bankSpread:        return withDecimals (2.0 * v - 1.0, 2);
        case waveform:          return readBack (id) > 0.5 ? "Square" : "Sawtooth";
        case accentAmpLink:
        case accentSweepLink:   return readBack (id) > 0.5 ? "Linked" : "Free";
        case effectOn:          return readBack (id) > 0.5 ? "On" : "Off";
        case bankOrder:         return readBack (id) > 0.5 ? "Post" : "Pre";

        case volume:
        {
            const double factor = readBack (id);

            if (factor <= 0.0)
                return "-inf.";

            const double db = 20.0 * std::log10 (factor);
            return (db > 0.0 ? "+" : "") + withDecimals (db, 1) + "dB";
        }

        case arpChord:          return Arpeggiator::getChordName (arpeggiator.getChord());
        case randChord:         return Arpeggiator::getChordName (randomizerChord);
        case arpMode:           return Arpeggiator::getModeName (arpeggiator.getMode());
        case arpShuffle:        return juce::String (roundToInt (v * 100.0)) + "%";
        case arpOctaveMinus1:
        case arpOctave0:
        case arpOctavePlus1:
        case arpOctavePlus2:    return arpeggiator.isOctaveSwitchOn (id - arpOctaveMinus1) ? "On" : "Off";

        case arpMultiplier:
        {
            static const char* const texts[] = { "1", "1.5", "2", "3", "4", "6" };
            const int index = roundToInt (v * 5.0);
            return juce::isPositiveAndBelow (index, 6) ? texts[index] : "######";
        }

        case arpRepeater:
        {
            static const char* const texts[] = { "1", "2", "3", "4", "6" };
            const int index = roundToInt (v * 4.0);
            return juce::isPositiveAndBelow (index, 5) ? texts[index] : "######";
        }

        case gateThreshold:
        case accentThreshold:
        case slideThreshold:
        case gateLevel:
        case accentLevel:
        case slideLevel:        return juce::String (roundToInt (v * 127.0));

        default:
            return id >= 0 && id < numHostParameters ? IntSeqPlugin::getParameterDisplayText (id) : juce::String();
    }
}

juce::String Tarvelin::getSoftwareDescription() const
{
    return "Monophonic bass-line synthesizer with a 16-step pattern sequencer";
}

juce::String Tarvelin::getSoftwareWebPage() const
{
    return "https://ulvra-group.example/plugins/tarvelin";
}

juce::String Tarvelin::getPluginFormatName() const
{
    // The format of the wrapper that made this instance (VST3, LV2, Standalone).
    return juce::AudioProcessor::getWrapperTypeDescription (wrapperType);
}

juce::String Tarvelin::getMidiNoteName (int note)
{
    if (isInternalSequencerOn() && isHostModeOn())
        return note >= 12 && note <= 107 ? getPatternName (note - 12) : juce::String ("---");

    return {};
}

//==============================================================================
// Synthesis settings

void Tarvelin::setAccentVelocityLevel (int level)
{
    if (accentVelocityLevel.exchange (level) != level)
    {
        const juce::ScopedLock sl (engineLock);
        engine->setAccentThreshold (juce::isPositiveAndBelow (level, 3) ? static_cast<float> (32 * (level + 1)) / 127.0f
                                                                        : 0.0f);
    }

    parameterManager.setValue (TarvelinIds::accentVelocityLevel, static_cast<float> (level) * 0.5f);
}

void Tarvelin::setOscillatorTuning (int mode)
{
    if (mode != oscillatorTuning)
    {
        oscillatorTuning = mode;
        const juce::ScopedLock sl (engineLock);
        engine->setTuning (mode);
    }

    parameterManager.setValue (TarvelinIds::oscillatorTuning, static_cast<float> (mode) * 0.5f);
}

void Tarvelin::setSelfReset (bool shouldReset)
{
    selfReset = shouldReset;
    updateSelfResetState();
}

float Tarvelin::getStepVelocity (bool accented) const noexcept
{
    const int level = accentVelocityLevel.load();
    const float velocity = juce::isPositiveAndBelow (level, 3) ? static_cast<float> (32 * (level + 1)) / 127.0f : 0.0f;
    return accented ? velocity : velocity * 0.5f;
}

//==============================================================================
// Set-up, state and settings

void Tarvelin::initialise()
{
    IntSeqPlugin::initialise();

    selfReset = defaultSelfReset;
    updateSelfResetState();

    setAccentVelocityLevel (defaultAccentVelocityLevel);
    setOscillatorTuning (defaultOscillatorTuning);

    // The engine starts "accurate"; tune it even when the setting already matches.
    const juce::ScopedLock sl (engineLock);
    engine->setTuning (oscillatorTuning);
}

namespace
{
std::unique_ptr<juce::XmlElement> createInternalSettingsXml (int accentLevel, int tuning)
{
    auto settings = std::make_unique<juce::XmlElement> ("InternalSettings");
    auto* accentElement = settings->createNewChildElement ("AccentVelocityLevel");
    auto* tuningElement = settings->createNewChildElement ("OscillatorTuning");

    if (juce::isPositiveAndBelow (accentLevel, 3))
        accentElement->setAttribute ("value", accentLevelNames[accentLevel]);

    if (juce::isPositiveAndBelow (tuning, 3))
        tuningElement->setAttribute ("value", tuningNames[tuning]);

    return settings;
}

/** Finds the index of an exactly matching value text, or -1. */
int findValue (const juce::XmlElement& element, const char* const* names)
{
    if (! element.hasAttribute ("value"))
        return -1;

    const auto text = element.getStringAttribute ("value");

    for (int i = 0; i < 3; ++i)
        if (text == names[i])
            return i;

    return -1;
}

// The "InternalSettings" children of a state or settings root. The last
// readable value of each setting counts, however often it is repeated, and
// each is applied once.
template <typename AccentFunction, typename TuningFunction>
void readInternalSettings (const juce::XmlElement& root, AccentFunction&& applyAccent, TuningFunction&& applyTuning)
{
    int level = -1;
    int mode = -1;

    XmlHelpers::forEachChildNamed (root, "InternalSettings", [&] (const juce::XmlElement& settings)
    {
        for (auto* child : settings.getChildIterator())
        {
            if (XmlHelpers::tagMatches (*child, "AccentVelocityLevel"))
            {
                if (const int readLevel = findValue (*child, accentLevelNames); readLevel >= 0)
                    level = readLevel;
            }
            else if (XmlHelpers::tagMatches (*child, "OscillatorTuning"))
            {
                if (const int readMode = findValue (*child, tuningNames); readMode >= 0)
                    mode = readMode;
            }
        }
    });

    if (level >= 0)
        applyAccent (level);

    if (mode >= 0)
        applyTuning (mode);
}
} // namespace

std::unique_ptr<juce::XmlElement> Tarvelin::createStateXml()
{
    auto state = IntSeqPlugin::createStateXml();

    if (state != nullptr)
        state->insertChildElement (createInternalSettingsXml (getAccentVelocityLevel(), oscillatorTuning).release(), 0);

    return state;
}

void Tarvelin::setStateFromXml (const juce::XmlElement& element)
{
    IntSeqPlugin::setStateFromXml (element);

    if (! isPluginStateXml (element))
        return;

    readInternalSettings (element,
                          [this] (int level) { setAccentVelocityLevel (level); },
                          [this] (int mode) { setOscillatorTuning (mode); });
}

std::unique_ptr<juce::XmlElement> Tarvelin::createUserSettingsXml()
{
    auto settings = IntSeqPlugin::createUserSettingsXml();

    if (settings != nullptr)
        settings->addChildElement (createInternalSettingsXml (defaultAccentVelocityLevel, defaultOscillatorTuning).release());

    return settings;
}

void Tarvelin::loadUserSettingsFromXml (const juce::XmlElement& element)
{
    IntSeqPlugin::loadUserSettingsFromXml (element);

    if (! isUserSettingsXml (element))
        return;

    readInternalSettings (element,
                          [this] (int level) { defaultAccentVelocityLevel = level; },
                          [this] (int mode) { defaultOscillatorTuning = mode; });
}
