#include "EditorTestSupport.h"

#include "editor/GUISettingsComponent.h"
#include "editor/OptionsWindow.h"
#include "framework/XmlFiles.h"
#include "skin/GFXPanel.h"
#include "support/MessageQueue.h"
#include "support/PixelProbe.h"
#include "support/UiEvents.h"

namespace
{
using Record = GUISettingsComponent::SkinRecord;

Record record (const char* name, int width, int height)
{
    return { name, { 0, 0, width, height }, {} };
}

/** Installs a package whose editor is width x height, before any plug-in is made. */
void installSkin (const juce::String& name, int width, int height, juce::Colour thumbnailColour)
{
    SkinTestSupport::Package package;
    package.addImage ("Background.png", SkinTestSupport::makeStrip (width, height, { juce::Colours::darkgrey }));
    package.addImage ("Thumbnail.png", SkinTestSupport::makeStrip (16, 8, { thumbnailColour }));
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", R"(<gfx resource="Background.png"/>)"));

    const auto file = EditorTestPlugin::skinsFolder().getChildFile (name + Skin::packageExtension);
    file.getParentDirectory().createDirectory();
    const auto bytes = package.build (name);
    file.replaceWithData (bytes.getData(), bytes.getSize());
}

/** A plug-in whose editor has skin choice, over "Narrow" (100 x 50) and "Wide"
    (300 x 120), on a screen of the given area (empty: no display, as JUCE's
    LV2 build step meets it), whatever display this process could reach. */
std::unique_ptr<EditorTestPlugin> createWithTwoSkins (juce::Rectangle<int> screen = {})
{
    removeSettingsOf ("Tarvelin");
    installSkin ("Wide", 300, 120, juce::Colours::red);
    installSkin ("Narrow", 100, 50, juce::Colours::blue);
    return EditorTestPlugin::create ({ true, false, -1 }, true, screen);
}

/** Picks an item of the page's skin menu as the user does, through a combo button. */
void choose (GUISettingsComponent& page, ComboBoxButton& box, int itemId)
{
    clickButton (box.getButton());
    auto& menu = page.getSkinMenu();
    ASSERT_TRUE (menu.isOpen());
    menu.getMenuComponent()->itemClicked (*menu.findItem (itemId));
    dispatchPendingMessages();
}
} // namespace

TEST (SkinChoice, TheDefaultIsTheWidestSkinThatFitsTheScreenElseTheNarrowest)
{
    const juce::Rectangle<int> screen (0, 0, 1280, 800);

    struct Row
    {
        const char* description;
        std::vector<Record> sortedRecords;
        int expected;
    };

    const Row rows[] = {
        { "no skins", {}, -1 },
        { "a single skin, whatever its size", { record ("Huge", 4000, 3000) }, 0 },
        { "none fits", { record ("Big", 1600, 900), record ("Huge", 4000, 3000) }, 0 },
        { "two fit", { record ("Small", 800, 600), record ("Medium", 1200, 700), record ("Huge", 4000, 3000) }, 1 },
        { "the screen's own size fits", { record ("Small", 800, 600), record ("Exact", 1280, 800) }, 1 },
        { "too high", { record ("Small", 800, 600), record ("Tall", 1000, 801) }, 0 },
    };

    for (const auto& row : rows)
        EXPECT_EQ (GUISettingsComponent::findDefaultSkinIndex (row.sortedRecords, screen), row.expected) << row.description;
}

TEST (SkinChoice, TheEditorStartsWithTheDefaultSkinAndSwitchesAtTheNextVisibleTick)
{
    const auto plugin = createWithTwoSkins();
    auto& editor = plugin->editor();
    auto* page = editor.getGUISettingsPage();
    ASSERT_NE (page, nullptr);
    EXPECT_EQ (editor.getOptionsWindow().getTabs().getTabNames().joinIntoString (","), "Processing,Presets,Parameters,Midi Control,GUI");

    ASSERT_EQ (page->getSkins().size(), 2u);
    EXPECT_EQ (page->getSkinMenu().getItem (0)->text, "Narrow - 100 x 50");
    EXPECT_EQ (page->getSkinMenu().getItem (1)->text, "Wide - 300 x 120");

    // Without a display nothing fits a screen: the narrowest skin starts.
    EXPECT_EQ (editor.getCurrentSkinName(), "Narrow");
    EXPECT_EQ (page->getChosenCurrentSkin(), "Narrow");
    EXPECT_EQ (page->getChosenDefaultSkin(), "Narrow");
    EXPECT_EQ (editor.getHeight(), 50 + 16);
    EXPECT_TRUE (pixelIs (page->getCurrentPreview().getImage().convertedToFormat (juce::Image::ARGB), 2, 2, juce::Colours::blue));

    std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
    editor.getOptionsWindow().showCentred();
    choose (*page, page->getCurrentSkinBox(), 1);

    EXPECT_TRUE (editor.isSkinLoadPending());
    EXPECT_FALSE (editor.getOptionsWindow().isVisible());
    EXPECT_EQ (editor.getStatusBar().getText(), "Loading skin...");

    editor.timerCallback();
    EXPECT_EQ (editor.getCurrentSkinName(), "Wide");
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 0, 300, 136));
    EXPECT_EQ (editor.getStatusBar().getText(), "");

    // Choosing the skin already shown is a choice too.
    choose (*page, page->getCurrentSkinBox(), 1);
    EXPECT_TRUE (editor.isSkinLoadPending());
}

TEST (SkinChoice, OnAScreenTheWidestSkinThatFitsStartsAndThePreviewNamesTheScreen)
{
    {
        const auto plugin = createWithTwoSkins ({ 0, 0, 1280, 800 });
        auto& editor = plugin->editor();
        auto* page = editor.getGUISettingsPage();
        ASSERT_NE (page, nullptr);

        EXPECT_EQ (editor.getCurrentSkinName(), "Wide");
        EXPECT_EQ (page->getChosenDefaultSkin(), "Wide");
        EXPECT_EQ (editor.getHeight(), 120 + 16);
        EXPECT_TRUE (pixelIs (page->getCurrentPreview().getImage().convertedToFormat (juce::Image::ARGB), 2, 2, juce::Colours::red));

        // A quarter of the screen, framed, above the line that names it.
        EXPECT_EQ (page->getCurrentPreview().getWidth(), 1280 / 4 + 6);
        EXPECT_EQ (page->getCurrentPreview().getHeight(), 800 / 4 + 26);
    }

    // A screen the wide skin does not fit starts the narrow one.
    EXPECT_EQ (createWithTwoSkins ({ 0, 0, 299, 800 })->editor().getCurrentSkinName(), "Narrow");
}

TEST (SkinChoice, TheChosenDefaultIsKeptInTheSettingsAndTheCurrentSkinInTheState)
{
    {
        const auto plugin = createWithTwoSkins();
        auto& page = *plugin->editor().getGUISettingsPage();
        choose (page, page.getDefaultSkinBox(), 1);

        EXPECT_EQ (plugin->editor().getDefaultSkinName(), "Wide");
        EXPECT_EQ (plugin->editor().getCurrentSkinName(), "Narrow");

        const auto state = plugin->editor().createStateXml();
        EXPECT_EQ (state->getChildByName ("Skin")->getStringAttribute ("name"), "Narrow");
    }

    // A new editor starts with the stored default, and a project's state switches to its skin.
    const auto plugin = EditorTestPlugin::create ({ true, false, -1 }, true);
    EXPECT_EQ (plugin->editor().getCurrentSkinName(), "Wide");

    plugin->editor().restoreStateXml (*juce::parseXML (R"(<Editor><Skin name="Narrow"/></Editor>)"));
    EXPECT_EQ (plugin->editor().getCurrentSkinName(), "Narrow");
}

TEST (SkinChoice, WithoutPackagesTheEditorSaysWhereItLooked)
{
    const auto plugin = EditorTestPlugin::create ({ true, false, -1 });
    auto& editor = plugin->editor();

    EXPECT_EQ (editor.getMainPanel(), nullptr);
    EXPECT_EQ (editor.getStatusBar().getText(), "Plugin skins not found in directory: '"
                                                    + EditorTestPlugin::skinsFolder().getFullPathName()
                                                    + "'. Please reinstall to repair.");
    EXPECT_EQ (editor.getStatusBar().getPriority(), 0);

    // The editor without a skin still shows what it is.
    const auto image = renderComponent (editor);
    EXPECT_TRUE (pixelIs (image, 2, 2, juce::Colours::black));
}

TEST (SkinChoice, ASkinNamedWithADotIsListedAndLoadsUnderThatName)
{
    removeSettingsOf ("Tarvelin");
    installSkin ("Night.v2", 200, 80, juce::Colours::green);
    installSkin ("", 300, 80, juce::Colours::green);      // ".ulvraskin": no name opens it again
    const auto plugin = EditorTestPlugin::create ({ true, false, -1 }, true);
    auto& editor = plugin->editor();

    ASSERT_EQ (editor.getGUISettingsPage()->getSkins().size(), 1u);
    EXPECT_EQ (editor.getGUISettingsPage()->getSkinMenu().getItem (0)->text, "Night.v2 - 200 x 80");
    EXPECT_EQ (editor.getCurrentSkinName(), "Night.v2");
    EXPECT_EQ (editor.getMainPanel()->getWidth(), 200);
}

// The page reads each package's previews within the package's budgets: an
// arithmetic-coded thumbnail is refused, and a background that would take
// longer to decode than a whole package may ends the reading. Both packages
// are still listed.
TEST (SkinChoice, APackageWhosePreviewsAreRefusedIsListedWithoutThem)
{
    removeSettingsOf ("Tarvelin");
    const auto install = [] (const juce::String& name, juce::MemoryBlock background, juce::MemoryBlock thumbnail)
    {
        SkinTestSupport::Package package;
        package.add ("Background.png", std::move (background));
        package.add ("Thumbnail.png", std::move (thumbnail));
        package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", R"(<gfx resource="Background.png"/>)"));
        const auto bytes = package.build (name);
        EditorTestPlugin::skinsFolder().createDirectory();
        EditorTestPlugin::skinsFolder().getChildFile (name + Skin::packageExtension).replaceWithData (bytes.getData(), bytes.getSize());
    };

    const auto thumbnail = SkinTestSupport::pngOf (SkinTestSupport::makeStrip (16, 8, { juce::Colours::red }));
    install ("Arithmetic", SkinTestSupport::pngOf (SkinTestSupport::makeStrip (120, 60, { juce::Colours::red })),
             SkinTestSupport::jpegDeclaring (2048, 2048, 0xca, 1, 32));
    install ("Costly", SkinTestSupport::pngDeclaring (2048, 2048, 16, true), thumbnail);

    const auto plugin = EditorTestPlugin::create ({ true, false, -1 }, true);
    const auto& skins = plugin->editor().getGUISettingsPage()->getSkins();
    ASSERT_EQ (skins.size(), 2u);

    // Sorted by the background's width: the one refused has none.
    EXPECT_EQ (skins[0].name, "Costly");
    EXPECT_TRUE (skins[0].bounds.isEmpty());
    EXPECT_FALSE (skins[0].thumbnail.isValid());
    EXPECT_EQ (skins[1].name, "Arithmetic");
    EXPECT_EQ (skins[1].bounds, juce::Rectangle<int> (0, 0, 120, 60));
    EXPECT_FALSE (skins[1].thumbnail.isValid());
}

// Nine pictures each declaring 2048 x 2048 pixels: 144 MiB once decoded, from
// a package of a few kilobytes.
TEST (SkinChoice, APackageWhosePicturesNeedTooMuchMemoryIsRefusedAndTheEditorStillShowsAPanel)
{
    removeSettingsOf ("Tarvelin");
    SkinTestSupport::Package bomb;
    juce::String controls;

    for (int i = 0; i < 9; ++i)
    {
        bomb.add ("Huge" + juce::String (i) + ".jpg", SkinTestSupport::jpegDeclaring (2048, 2048));
        controls << "<Panel name=\"P" << i << "\"><gfx resource=\"Huge" << i << ".jpg\"/></Panel>";
    }

    bomb.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", "<size width=\"10\" height=\"10\"/><controls>" + controls + "</controls>"));
    const auto bytes = bomb.build ("Bomb");
    EditorTestPlugin::skinsFolder().createDirectory();
    EditorTestPlugin::skinsFolder().getChildFile ("Bomb.ulvraskin").replaceWithData (bytes.getData(), bytes.getSize());
    const juce::String warning = "The pictures of the skin \"Bomb\" need more than 128 MB: the skin is not loaded";

    // Without a background it is the narrowest skin, so with no screen the
    // editor starts with it: the default skin takes its place.
    installSkin ("Narrow", 100, 50, juce::Colours::blue);
    const auto plugin = EditorTestPlugin::create ({ true, false, -1 }, true, juce::Rectangle<int>());
    auto& editor = plugin->editor();
    ASSERT_EQ (editor.getGUISettingsPage()->getDefaultSkinName(), "Bomb");
    ASSERT_NE (editor.getMainPanel(), nullptr);
    EXPECT_EQ (editor.getCurrentSkinName(), "");
    EXPECT_TRUE (editor.getMainPanel()->isVisible());
    EXPECT_EQ (editor.getStatusBar().getText(), warning);

    // Chosen later, it leaves the skin shown as it was.
    std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
    ASSERT_TRUE (editor.loadSkin ("Narrow"));
    editor.loadSkinLater ("Bomb");
    EXPECT_FALSE (editor.getMainPanel()->isVisible());
    editor.timerCallback();

    EXPECT_EQ (editor.getCurrentSkinName(), "Narrow");
    EXPECT_TRUE (editor.getMainPanel()->isVisible());
    EXPECT_EQ (editor.getMainPanel()->getWidth(), 100);
    EXPECT_EQ (editor.getStatusBar().getText(), warning);
}

// One control over the limit: refused before a control is built, as a package
// whose pictures need too much memory is, and the editor still shows a panel.
TEST (SkinChoice, ASkinOfTooManyControlsIsRefusedAndTheEditorShowsTheDefaultSkin)
{
    removeSettingsOf ("Tarvelin");
    const auto knobs = juce::String::repeatedString ("<Knob/>", GFXPanel::maxControls + 1);
    SkinTestSupport::Package crowd;
    crowd.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", "<size width=\"10\" height=\"10\"/><controls>" + knobs + "</controls>"));
    const auto bytes = crowd.build ("Crowd");
    EditorTestPlugin::skinsFolder().createDirectory();
    EditorTestPlugin::skinsFolder().getChildFile ("Crowd.ulvraskin").replaceWithData (bytes.getData(), bytes.getSize());
    installSkin ("Narrow", 100, 50, juce::Colours::blue);

    const auto plugin = EditorTestPlugin::create ({ true, false, -1 }, true, juce::Rectangle<int>());
    auto& editor = plugin->editor();
    ASSERT_EQ (editor.getGUISettingsPage()->getDefaultSkinName(), "Crowd");
    ASSERT_NE (editor.getMainPanel(), nullptr);
    EXPECT_EQ (editor.getCurrentSkinName(), "");
    EXPECT_TRUE (editor.getMainPanel()->isVisible());
    EXPECT_EQ (editor.getMainPanel()->getWidth(), 1100) << "the default skin";
    EXPECT_EQ (editor.getStatusBar().getText(), "The skin \"Crowd\" has more than 4096 controls: the skin is not loaded");
}
