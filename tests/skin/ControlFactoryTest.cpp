#include "ControlTestSupport.h"
#include "SkinTestFixture.h"

#include "skin/GFXAnimation.h"
#include "skin/GFXButton.h"
#include "skin/GFXDisplayFloat.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMidiChannelDisplay.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXRocker.h"
#include "skin/GFXSwitch.h"
#include "skin/GFXToggleButton.h"
#include "skin/ModWheel.h"
#include "skin/NoteDisplay.h"
#include "skin/NumericDisplay.h"
#include "skin/PatternNumberDisplay.h"
#include "skin/PitchBender.h"

#include <functional>

TEST_F (SkinTest, EachControlTagBuildsItsClassAndDrawsAFallbackWithoutPictures)
{
    struct Row
    {
        const char* tag;
        std::function<bool (juce::Component*)> isExpectedClass;
    };

    const auto is = [] (auto* typed) { return [] (juce::Component* c) { return dynamic_cast<decltype (typed)> (c) != nullptr; }; };

    // A plain text display is no float display, and a knob no bender.
    const auto isPlainDisplay = [] (juce::Component* c) { return dynamic_cast<GFXDisplay*> (c) != nullptr && dynamic_cast<GFXDisplayFloat*> (c) == nullptr; };
    const auto isPlainKnob = [] (juce::Component* c) { return dynamic_cast<GFXKnob*> (c) != nullptr && dynamic_cast<PitchBender*> (c) == nullptr && dynamic_cast<ModWheel*> (c) == nullptr; };

    const Row rows[] = {
        { "Knob", isPlainKnob },
        { "Switch", is ((GFXSwitch*) nullptr) },
        { "Animation", is ((GFXAnimation*) nullptr) },
        { "Button", is ((GFXButton*) nullptr) },
        { "ToggleButton", is ((GFXToggleButton*) nullptr) },
        { "MultiStateButton", is ((GFXMultiStateButton*) nullptr) },
        { "Display", isPlainDisplay },
        { "DisplayFloat", is ((GFXDisplayFloat*) nullptr) },
        { "Rocker", is ((GFXRocker*) nullptr) },
        { "NumericDisplay", is ((NumericDisplay*) nullptr) },
        { "NoteDisplay", is ((NoteDisplay*) nullptr) },
        { "PatternNumberDisplay", is ((PatternNumberDisplay*) nullptr) },
        { "PitchBender", is ((PitchBender*) nullptr) },
        { "ModWheel", is ((ModWheel*) nullptr) },
        { "MidiChannelDisplay", is ((GFXMidiChannelDisplay*) nullptr) },
    };

    // One row of controls, each 60 x 60 (the displays lower), bound where a parameter fits.
    juce::String body = "<size width=\"" + juce::String (60 * juce::numElementsInArray (rows)) + "\" height=\"64\"/><controls ofsX=\"2\" ofsY=\"2\">";

    for (int i = 0; i < juce::numElementsInArray (rows); ++i)
    {
        const juce::String tag (rows[i].tag);
        const auto link = tag.contains ("Knob") || tag == "Switch" || tag.contains ("Display") ? "<links><link as=\"connectedTo\" param=\"Cutoff\"/></links>"
                          : tag.contains ("Button") || tag == "Animation" ? "<links><link as=\"connectedTo\" param=\"Arp On State\"/></links>"
                                                                          : "";
        body << "<" << tag << " name=\"" << tag << "\" digitsNum=\"3\" maxValue=\"999\" states=\"3\">" << link
             << "<size width=\"56\" height=\"" << (tag.contains ("Display") ? 20 : 56) << "\"/><pos left=\"" << 60 * i << "\"/></" << tag << ">";
    }

    body << "</controls>";
    const auto panel = panelFrom (body);
    ASSERT_NE (panel, nullptr);
    ASSERT_EQ (panel->getNumChildComponents(), juce::numElementsInArray (rows));

    for (int i = 0; i < juce::numElementsInArray (rows); ++i)
    {
        auto* control = panel->getChildComponent (i);
        EXPECT_EQ (control->getName(), rows[i].tag);
        EXPECT_TRUE (rows[i].isExpectedClass (control)) << rows[i].tag;
        EXPECT_FALSE (control->getBounds().isEmpty()) << rows[i].tag;
    }

    writeScreenshot (renderComponent (*panel), "skin-control-fallbacks");
}
