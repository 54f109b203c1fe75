#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The one editor object that the plug-in creates at set-up and keeps until
    shutdown. A host's editor window only wraps it (AudioProcessorEditorWrapper),
    so closing the window hides it. The plug-in drives its set-up, starts its
    timer and embeds its settings and state elements in its own documents.
*/
class PersistentEditor : public juce::Component,
                         public juce::Timer
{
public:
    PersistentEditor() = default;
    ~PersistentEditor() override = default;

    /** Second-stage set-up, run by the plug-in right after construction. */
    virtual void initialiseEditor() {}

    /** Run by the plug-in after initialiseEditor. */
    virtual void handleEditorCreated() {}

    /** Run only when the plug-in is in debug mode. */
    virtual void createDebugPanel() {}

    /** The element the editor keeps in the user settings. */
    virtual juce::String getSettingsTagName() const { return "Editor"; }
    virtual bool isSettingsTag (const juce::XmlElement& element) const;
    virtual std::unique_ptr<juce::XmlElement> createSettingsXml();
    virtual void restoreSettingsXml (const juce::XmlElement&) {}

    /** The element the editor keeps in the plug-in state. */
    virtual juce::String getStateTagName() const { return "Editor"; }
    virtual bool isStateTag (const juce::XmlElement& element) const;
    virtual std::unique_ptr<juce::XmlElement> createStateXml();
    virtual void restoreStateXml (const juce::XmlElement&) {}

    void timerCallback() override {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PersistentEditor)
};
