#include "editor/AboutWindow.h"
#include "editor/BasePluginEditor.h"
#include "support/InstrumentTestSupport.h"
#include "support/PixelProbe.h"
#include "support/TestDesktop.h"

namespace
{
std::unique_ptr<Tarvelin> createInstrumentFor (juce::AudioProcessor::WrapperType wrapper)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (wrapper);
    auto instrument = InstrumentTest::createInstrument();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return instrument;
}
} // namespace

TEST (AboutWindow, NamesTheWrapperThatMadeTheInstance)
{
    const std::pair<juce::AudioProcessor::WrapperType, const char*> rows[] = {
        { juce::AudioProcessor::wrapperType_VST3, "VST3 64bit" },
        { juce::AudioProcessor::wrapperType_LV2, "LV2 64bit" },
        { juce::AudioProcessor::wrapperType_Standalone, "Standalone 64bit" },
    };

    for (const auto& [wrapper, format] : rows)
    {
        const auto instrument = createInstrumentFor (wrapper);
        AboutWindow about (*instrument);
        EXPECT_EQ (about.getFormatText(), format);
    }
}

TEST (AboutWindow, ShowsTheIdentityOnItsPanelAndCreditsTheToolkitAndTheFont)
{
    const auto instrument = InstrumentTest::createInstrument();
    auto& editor = *dynamic_cast<BasePluginEditor*> (instrument->getPersistentEditor());
    auto& about = editor.getAboutWindow();

    EXPECT_EQ (about.getVersionText(), "Version 1.9.5");
    EXPECT_EQ (about.getBuildText(), "Build info:  ECBF123  2015-01-08");
    EXPECT_EQ (about.getInformationText(), "");

    const auto credits = about.getCredits().getTextLabel().getText();
    EXPECT_TRUE (credits.contains ("JUCE") && credits.contains ("GNU General Public License"));
    EXPECT_TRUE (credits.contains ("DejaVu Sans") && credits.contains ("Bitstream Vera"));
    EXPECT_EQ (about.getCredits().getTextLabel().getY(), 0) << "the credits stand still, from the top";

    editor.controllerEventTriggered (nullptr, GuiEventsMap::aboutEvent);
    ASSERT_TRUE (about.isVisible());

    const auto image = renderComponent (about);
    const auto info = about.getInfoArea();
    EXPECT_TRUE (pixelIs (image, info.getX() + 4, info.getBottom() - 4, AboutWindow::getInfoPanelColour()));
    EXPECT_TRUE (pixelIs (image, info.getX(), info.getCentreY(), juce::Colours::white, 40));

    // The name is written at the panel's top left, in white.
    int whitePixels = 0;

    for (int y = info.getY() + 8; y < info.getY() + 26; ++y)
        for (int x = info.getX() + 10; x < info.getX() + 60; ++x)
            whitePixels += pixelIs (image, x, y, juce::Colours::white, 30) ? 1 : 0;

    EXPECT_GT (whitePixels, 20);

    writeScreenshot (image, "about-window");
}
