#pragma once

#include "framework/HostKeyboard.h"
#include "framework/PersistentEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

/**
    The host's editor window content: it shows the plug-in's one persistent
    editor and, when the host closes the window, hides it instead of deleting it.
    Inside a host's window it leaves the keyboard to the host, except for a
    component a click gave it to (HostKeyboard).
*/
class AudioProcessorEditorWrapper : public juce::AudioProcessorEditor
{
public:
    AudioProcessorEditorWrapper (juce::AudioProcessor& owner, PersistentEditor& editorToShow);
    ~AudioProcessorEditorWrapper() override;

private:
    PersistentEditor& editor;
    HostKeyboard hostKeyboard { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioProcessorEditorWrapper)
};
