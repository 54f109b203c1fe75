#include "editor/AboutWindow.h"

#include "framework/BasePlugin.h"
#include "widgets/DefaultLookAndFeel.h"

namespace
{
constexpr int linkColumnWidth = 170;
constexpr int infoHeight = 140;
constexpr int informationTextHeight = 30;   // the last lines of the panel, kept only for a text
} // namespace

AboutWindow::AboutWindow (BasePlugin& pluginToShow)
    : plugin (pluginToShow),
      link (juce::URL (pluginToShow.getSoftwareWebPage()).getDomain(), juce::URL (pluginToShow.getSoftwareWebPage())),
      credits (getCreditsText (pluginToShow.getPluginName()))
{
    setTitle ("About " + plugin.getPluginName());
    link.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (link);
    credits.addListener (this);
    addAndMakeVisible (credits);
}

AboutWindow::~AboutWindow()
{
    credits.removeListener (this);
}

juce::String AboutWindow::getFormatText() const
{
    return plugin.getPluginFormatName() + " " + plugin.getArchitectureName();
}

juce::String AboutWindow::getVersionText() const
{
    return "Version " + plugin.getSoftwareVersion();
}

juce::String AboutWindow::getBuildText() const
{
    return "Build info:  " + plugin.getBuildCommitId() + "  " + plugin.getBuildDate();
}

juce::String AboutWindow::getCreditsText (const juce::String& pluginName)
{
    return pluginName + "\n"
           "Ulvra Group Audio Software\n"
           "\n"
           "Made with " + juce::SystemStats::getJUCEVersion() + " (juce.com),\n"
           "used under the GNU General Public License, version 3.\n"
           "\n"
           "Interface font: DejaVu Sans (dejavu-fonts.github.io),\n"
           "under the Bitstream Vera Fonts licence.";
}

void AboutWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        textColour = findColour (DefaultLookAndFeel::windowTitleTextColourId);
        const auto font = lf->getInterfaceFont().withStyle (juce::Font::underlined);
        link.setFont (font, false, juce::Justification::centredLeft);
        link.setColour (juce::HyperlinkButton::textColourId, findColour (juce::HyperlinkButton::textColourId));
        link.setSize (link.getWidth(), juce::roundToInt (font.getHeight()));
    }

    resized();
    repaint();
}

void AboutWindow::resized()
{
    WindowComponent::resized();

    const auto content = getContentArea();
    link.setBounds (content.getX(), content.getY() + 27, juce::jmin (linkColumnWidth, content.getWidth()), link.getHeight());

    // In a small window the credits need the room an absent information text would take.
    const auto height = getInformationText().isEmpty() ? infoHeight - informationTextHeight : infoHeight;
    infoArea = content.withTrimmedLeft (juce::jmin (linkColumnWidth + 10, content.getWidth())).withHeight (height);
    credits.setBounds (content.withTrimmedTop (height + 10));
    credits.showStill();
}

void AboutWindow::paint (juce::Graphics& g)
{
    WindowComponent::paint (g);

    g.setColour (juce::Colours::black);
    g.fillRect (credits.getBounds());

    DefaultLookAndFeel::drawRoundedPanel (g, infoArea, getInfoPanelColour(), juce::Colours::white, 4.0f, 1.0f);

    const auto inner = infoArea.reduced (10, 8);
    g.setColour (textColour);

    g.setFont (InterfaceTypefaces::font (17.0f, juce::Font::bold));
    g.drawText (plugin.getSoftwareName().toUpperCase(), inner.withHeight (20), juce::Justification::topLeft, true);

    g.setFont (InterfaceTypefaces::font (15.0f, juce::Font::bold));
    g.drawFittedText (plugin.getSoftwareDescription(), inner.withTrimmedTop (24).withHeight (36), juce::Justification::topLeft, 2, 1.0f);

    // The lower lines stand right-aligned; the version ends 8 px before the format begins.
    const auto lower = inner.withTrimmedTop (62);
    const auto formatFont = InterfaceTypefaces::font (14.0f);
    const auto formatText = getFormatText();
    const auto formatWidth = formatFont.getStringWidth (formatText);
    g.setFont (formatFont);
    g.drawText (formatText, lower.withHeight (18), juce::Justification::topRight, false);

    g.setFont (InterfaceTypefaces::font (15.0f, juce::Font::bold));
    g.drawText (getVersionText(), lower.withHeight (18).withTrimmedRight (formatWidth + 8), juce::Justification::topRight, true);

    g.setFont (InterfaceTypefaces::font (12.0f));
    g.drawText (getBuildText(), lower.withTrimmedTop (19).withHeight (16), juce::Justification::topRight, true);

    if (const auto information = getInformationText(); information.isNotEmpty())
        g.drawFittedText (information, lower.withTrimmedTop (30).withHeight (30), juce::Justification::topRight, 2);
}
