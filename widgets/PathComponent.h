#pragma once

#include "widgets/FileChooserLauncher.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A read-only path field with a "Browse" button that asks the user for a
    file. A path too wide for the field shows its beginning and a faint "[...]".
*/
class PathComponent : public juce::Component,
                      public juce::Button::Listener
{
public:
    /** Hears paths chosen by the user or set with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void pathChanged (PathComponent* component) = 0;
    };

    PathComponent();
    ~PathComponent() override;

    /** The dialog's wildcard patterns ("*.tqccmap"). */
    void setFilePatterns (const juce::String& patterns);
    const juce::String& getFilePatterns() const noexcept { return filePatterns; }

    /** Stores a different path (paths are case-sensitive); with notify the listeners hear it. */
    void setPath (const juce::File& newPath, bool notify);
    const juce::File& getPath() const noexcept { return path; }

    /** Replaces the launcher that opens the file dialog (tests pick or cancel through it). */
    void setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher);

    /** Opens the file dialog, as the "Browse" button does. */
    void browse();

    juce::TextButton& getBrowseButton() noexcept { return browseButton; }
    const juce::Rectangle<int>& getFieldArea() const noexcept { return fieldArea; }
    const juce::Rectangle<int>& getTextArea() const noexcept { return textArea; }
    const juce::Font& getFieldFont() const noexcept { return fieldFont; }

    /** True when the whole path fits into the field. */
    bool showsWholePath() const noexcept;

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void buttonClicked (juce::Button* button) override;
    void enablementChanged() override;
    void lookAndFeelChanged() override;
    void resized() override;
    void paint (juce::Graphics& g) override;

    static constexpr int gap = 6;

private:
    void measureTexts();
    juce::Colour colourOr (int colourId, juce::Colour fallback) const;

    int pathTextWidth = 0;
    int ellipsisTextWidth = 0;
    juce::String chooserTitle;
    juce::File initialLocation;
    juce::String filePatterns;
    juce::File path;
    juce::TextButton browseButton { "Browse" };
    juce::Font fieldFont;
    juce::Rectangle<int> fieldArea, textArea;
    const juce::String ellipsisText { "[...]" };
    juce::ListenerList<Listener> listeners;
    std::unique_ptr<FileChooserLauncher> launcher;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PathComponent)
};
