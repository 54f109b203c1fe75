#include "framework/AudioProcessorEditorWrapper.h"

AudioProcessorEditorWrapper::AudioProcessorEditorWrapper (juce::AudioProcessor& owner, PersistentEditor& editorToShow)
    : juce::AudioProcessorEditor (owner), editor (editorToShow)
{
    addAndMakeVisible (editor);
    setSize (editor.getWidth(), editor.getHeight());
}

AudioProcessorEditorWrapper::~AudioProcessorEditorWrapper()
{
    // The editor outlives every window; it is only taken out and hidden.
    editor.setVisible (false);
    removeChildComponent (&editor);
}
