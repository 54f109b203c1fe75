#pragma once

#include "framework/ParameterManager.h"

class Pattern;

#include <cstddef>
#include <cstdint>

/*  What the fuzz targets share: turning an input into text or a file the way
    the readers receive them, collecting findings, and the checks that every
    target runs on the parameters and the voice after a load.
*/
namespace FuzzSupport
{
/** Collects findings, one line each; the first few are kept. */
class Findings
{
public:
    void add (const juce::String& finding);
    bool isEmpty() const noexcept { return count == 0; }
    juce::String getText() const;

private:
    juce::String text;
    int count = 0;
};

/** The input as text, decoded exactly as a file read with juce::File::loadFileAsString is. */
juce::String textFrom (const std::uint8_t* data, std::size_t size);

/** The text through the guarded parse every reader uses. What it lets the
    toolkit build must nest no deeper than the guard's limit: the guard
    measures depth before the toolkit's parser, which recurses, ever runs. */
std::unique_ptr<juce::XmlElement> parseText (const juce::String& text, Findings& findings);

/** The input written to a file with the given extension in this process's
    own temporary folder; the same file is reused by every call. */
juce::File writeInputFile (const std::uint8_t* data, std::size_t size, const juce::String& extension);

/** Delivers the messages waiting for the message thread, as a host's message
    loop would between two calls. */
void deliverPendingMessages();

/** Deletes the plug-in's settings folders under this process's settings
    folders, so that the next instrument starts with no settings. */
void removeSettingsFolders();

/** Every numeric parameter finite and inside its range, its normalised value
    inside 0..1, an enum inside its names, and every text readable. */
void checkParameter (const Parameter& parameter, Findings& findings);
void checkAllParameters (const ParameterManager& table, Findings& findings);

/** Length, shuffle and tempo inside their ranges, the tempo kept to one
    decimal, and every one of the 16 steps with its note, pitch and levels in range. */
void checkPattern (const Pattern& pattern, Findings& findings);

/** Plays two notes on a voice set from the table's parameters 0 to 23 and
    checks that every sample is finite. */
void checkVoiceRender (const ParameterManager& table, Findings& findings);

/** The instrument's parameter table from its own "parameters.xml", plus the
    two parameters of the old-style preset layer. */
class InstrumentParameterTable : public ParameterManager
{
public:
    InstrumentParameterTable();

    /** One table per process, every parameter back at its starting value:
        reading the definitions again for every input would cost more than the
        load under test. */
    static InstrumentParameterTable& getFresh();

    /** Puts every parameter back to its defined starting value. */
    void restoreStartingValues();

private:
    juce::Array<std::pair<int, juce::String>> startingTexts;
};
} // namespace FuzzSupport
