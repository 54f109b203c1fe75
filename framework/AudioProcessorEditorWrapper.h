#pragma once

#include "framework/PersistentEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

/**
    The host's editor window content: it shows the plug-in's one persistent
    editor and, when the host closes the window, hides it instead of deleting it.
*/
class AudioProcessorEditorWrapper : public juce::AudioProcessorEditor
{
public:
    AudioProcessorEditorWrapper (juce::AudioProcessor& owner, PersistentEditor& editorToShow);
    ~AudioProcessorEditorWrapper() override;

private:
    PersistentEditor& editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioProcessorEditorWrapper)
};
