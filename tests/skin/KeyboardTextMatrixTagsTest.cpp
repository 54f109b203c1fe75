#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/ComponentLookup.h"
#include "skin/ImageMidiKeyboard.h"
#include "skin/ModulationMatrixComponent.h"
#include "skin/TextInput.h"
#include "support/HeadlessWindow.h"

using namespace ControlTest;

TEST_F (SkinTest, TheKeyboardTextInputAndMatrixTagsBuildTheirControlsBound)
{
    const auto panel = panelFrom (R"(<size width="1100" height="300"/><controls>
        <midikeyboard name="Keys" firstKey="48" lastKey="72"><links><link as="connectedTo" param="Cutoff"/></links>
            <size width="300" height="40"/><pos left="10" top="240"/></midikeyboard>
        <TEXTINPUT name="PresetName" editable="onDoubleClick"><links><link as="connectedTo" param="Current Preset Name"/></links>
            <size width="160" height="20"/><pos left="400" top="250"/></TEXTINPUT>
        <modulationMatrix name="Matrix"><links><link as="connectedTo" param="Resonance"/></links>
            <size width="1000" height="220"/><pos left="10" top="10"/></modulationMatrix></controls>)");
    ASSERT_NE (panel, nullptr);
    HeadlessWindow window (1100, 300);
    window.addAndMakeVisible (*panel);

    auto* keys = dynamic_cast<ImageMidiKeyboard*> (findChildComponentByName (*panel, "Keys", true));
    auto* name = dynamic_cast<TextInput*> (findChildComponentByName (*panel, "PresetName", true));
    auto* matrix = dynamic_cast<ModulationMatrixComponent*> (findChildComponentByName (*panel, "Matrix", true));
    ASSERT_NE (keys, nullptr);
    ASSERT_NE (name, nullptr);
    ASSERT_NE (matrix, nullptr);

    EXPECT_EQ (keys->getParameter(), &parameter ("Cutoff"));
    EXPECT_EQ (name->getParameter(), &parameter ("Current Preset Name"));
    EXPECT_EQ (matrix->getParameter(), &parameter ("Resonance"));
    EXPECT_EQ (name->getText(), parameter ("Current Preset Name").getText()) << "shown once the panel stands";
    EXPECT_TRUE (name->editsOnDoubleClick());
    EXPECT_EQ (matrix->getBounds(), juce::Rectangle<int> (10, 10, 1000, 220));
    EXPECT_EQ (keys->getBounds(), juce::Rectangle<int> (10, 240, 300, 40));
    EXPECT_TRUE (skin.getWarnings().isEmpty()) << skin.getWarnings().joinIntoString ("; ");

    // The keyboard plays into the plug-in's own keyboard state.
    press (*keys, { 5, 35 });
    EXPECT_TRUE (plugin->getKeyboardState().isNoteOn (1, 48));
    release (*keys, { 5, 35 });
    EXPECT_FALSE (plugin->getKeyboardState().isNoteOn (1, 48));
}
