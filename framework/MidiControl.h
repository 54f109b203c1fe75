#pragma once

#include "framework/ParameterManager.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>

/**
    The MIDI CC learn map: each of the 128 controller numbers may move one
    parameter of the plug-in, and a parameter stands on at most one controller.

    In learn mode the map is built by example: the user moves a parameter and a
    controller, in either order, and a free controller takes the parameter.
    Controller messages arrive on the audio thread; everything else runs on the
    message thread, but a host may restore a map on a thread of its own. One
    lock guards the map and the learn target; listeners hear of changes on the
    message thread only, once per burst.
*/
class MidiControl : public juce::AsyncUpdater
{
public:
    /** Hears the map, the learn state and incoming controllers. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void midiControlMapChanged (MidiControl*) {}
        virtual void midiLearnStateChanged (MidiControl*) {}
        virtual void midiControlReceived (MidiControl*) {}
    };

    /** One occupied controller: the parameter and its CC number. */
    struct Assignment
    {
        Parameter* parameter = nullptr;
        int controller = -1;
    };

    /** Walks the occupied controllers in CC order. */
    class Iterator
    {
    public:
        explicit Iterator (MidiControl& mapToWalk) noexcept : map (mapToWalk) {}

        /** Fills the next assignment; false, with an empty assignment, past the last one. */
        bool next (Assignment& assignment);

    private:
        MidiControl& map;
        int position = -1;
    };

    static constexpr int numControllers = 128;

    /** The longest map file read: 5 KB with every controller assigned. */
    static constexpr juce::int64 maxMapFileBytes = 64 * 1024;

    /** Parameters are looked up by name in the given table. */
    explicit MidiControl (ParameterManager& parameterTable);
    ~MidiControl() override;

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==========================================================================
    bool isLearnMode() const;

    /** Switching the mode clears the learn target and tells the listeners: at
        once on the message thread, through the asynchronous update from any other. */
    void setLearnMode (bool shouldLearn);
    void toggleLearnMode();

    /** A learnable parameter was moved in learn mode. */
    void setLearnParameter (Parameter* parameter);

    /** A controller was moved in learn mode (or chosen on the MIDI page); -1 clears it. */
    void setLearnController (int controller);

    /** The MIDI page's selection: an occupied controller becomes the learn target. */
    void selectController (int controller);

    Parameter* getLearnParameter() const;
    int getLearnController() const;

    /** The controller that moves the parameter, or -1. */
    int findController (const Parameter* parameter) const;

    /** The parameter on a controller, or null. */
    Parameter* getParameter (int controller) const;

    //==========================================================================
    /** Puts the parameter on the controller, taking it off any other one; null empties the controller. */
    void assign (int controller, Parameter* parameter, bool notify);
    void unassign (int controller);
    void clearAll (bool notify);

    /** Called by the audio thread for every incoming MIDI message. */
    void handleController (const juce::MidiMessage& message);

    /** The parameter that the last mapped controller message moved. */
    Parameter* getLastControlledParameter() const noexcept { return lastControlledParameter.load(); }

    //==========================================================================
    /** The name written into the map, and compared when a map is read; the plug-in's name. */
    void setMapName (const juce::String& newName);
    juce::String getMapName() const;

    /** Whether the user's own map file is loaded at start, and which file. */
    void setUseUserDefinedMap (bool shouldUse);
    bool isUsingUserDefinedMap() const;
    void setUserDefinedMapFile (const juce::File& file);
    juce::File getUserDefinedMapFile() const;

    //==========================================================================
    /** A "MidiControlMap" element, or the older "MidiCCMap" (tags compare ignoring case). */
    static bool isMidiControlMapXml (const juce::XmlElement* element);

    /** A map element whose "name" or "application" is this map's name (any, while the name is empty). */
    bool isMatchingMapXml (const juce::XmlElement* element) const;

    /** Replaces the map with a matching element's assignments; false, changing nothing, for any other element. */
    bool loadFromXml (const juce::XmlElement* element);

    std::unique_ptr<juce::XmlElement> createXml() const;

    /** Reads a map file; false when it does not parse or does not match. */
    bool loadFromFile (const juce::File& file);

    /** Writes the map; false when the file could not be written. */
    bool saveToFile (const juce::File& file) const;

    /** Loads the user's map file when the settings ask for it. */
    bool loadUserDefinedMap();

    void handleAsyncUpdate() override;

private:
    void assignLocked (int controller, Parameter* parameter);
    int findControllerLocked (const Parameter* parameter) const;
    void applyLearn();
    void notifyMapChanged();

    template <typename Callback>
    void callListeners (Callback&& callback);

    ParameterManager& parameters;
    juce::Array<Listener*> listeners;
    std::array<Parameter*, numControllers> slots {};
    bool learnMode = false;
    Parameter* learnParameter = nullptr;
    int learnController = -1;
    juce::String mapName;
    bool useUserDefinedMap = false;
    juce::File userDefinedMapFile;
    std::atomic<bool> mapChanged { false }, learnChanged { false }, controlReceived { false };
    std::atomic<Parameter*> lastControlledParameter { nullptr };
    juce::CriticalSection lock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiControl)
};
