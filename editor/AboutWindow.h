#pragma once

#include "widgets/CreditsText.h"
#include "widgets/WindowComponent.h"

class BasePlugin;

/**
    The plug-in's identity: name, description, the format of the wrapper that
    made this instance, version and build, with the credits below. The base
    editor keeps one hidden and shows it for the "About" event.
*/
class AboutWindow : public WindowComponent,
                    public CreditsText::Listener
{
public:
    explicit AboutWindow (BasePlugin& plugin);
    ~AboutWindow() override;

    /** "<format> <architecture>", e.g. "LV2 64bit". */
    juce::String getFormatText() const;
    juce::String getVersionText() const;
    juce::String getBuildText() const;

    /** A free text of the plug-in's below the build line; empty for now. */
    juce::String getInformationText() const             { return {}; }

    /** The toolkit and the embedded font, each with its licence. */
    static juce::String getCreditsText (const juce::String& pluginName);

    juce::Rectangle<int> getInfoArea() const noexcept   { return infoArea; }
    const CreditsText& getCredits() const noexcept      { return credits; }
    const juce::HyperlinkButton& getLink() const noexcept { return link; }

    static juce::Colour getInfoPanelColour()            { return juce::Colour (0xFFFFA500).darker (0.75f); }

    void creditsClicked (CreditsText*) override {}

    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    BasePlugin& plugin;
    juce::HyperlinkButton link;
    CreditsText credits;
    juce::Rectangle<int> infoArea;
    juce::Colour textColour { juce::Colours::white };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutWindow)
};
