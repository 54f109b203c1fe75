#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "framework/GuiEventsMap.h"
#include "framework/XmlHelpers.h"
#include "skin/GFXPanel.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"
#include "skin/SkinImageDecoder.h"

#include <juce_cryptography/juce_cryptography.h>

#include <algorithm>
#include <iterator>

namespace FuzzTargets
{
namespace
{
using FuzzSupport::Findings;

/** The editor side of a skin: the instrument's parameters and events, and
    this process's own folder for packages. */
class FuzzSkinEditor : public Skin::Editor
{
public:
    juce::String getPluginName() const override             { return "Tarvelin"; }
    ParameterManager& getParameterManager() override        { return *table; }
    GuiEventsMap& getEventsMap() override                   { return events; }
    juce::MidiKeyboardState& getKeyboardState() override    { return keyboardState; }
    juce::File getSkinsDirectory() const override           { return skinsDirectory; }

    /** The one editor, its parameters back at their starting values. */
    static FuzzSkinEditor& getFresh()
    {
        static FuzzSkinEditor editor;
        editor.table = &FuzzSupport::InstrumentParameterTable::getFresh();
        return editor;
    }

    juce::File skinsDirectory;
    ParameterManager* table = nullptr;

private:
    FuzzSkinEditor()
    {
        events.loadFromResource ("events.xml");
        events.addBuiltInEvents();
    }

    GuiEventsMap events;
    juce::MidiKeyboardState keyboardState;
};

/** Hears everything a control tells the editor. */
struct NullListener : public GUIController::Listener
{
};

bool isWithinReach (const juce::Rectangle<int>& bounds)
{
    const auto limit = 2 * SkinGeometry::maxExtent;
    return bounds.getWidth() >= 0 && bounds.getHeight() >= 0 && bounds.getWidth() <= SkinGeometry::maxExtent
        && bounds.getHeight() <= SkinGeometry::maxExtent && std::abs (bounds.getX()) <= limit && std::abs (bounds.getY()) <= limit;
}

void checkComponentTree (juce::Component& component, ParameterManager& table, Findings& findings)
{
    if (! isWithinReach (component.getBounds()))
        findings.add ("\"" + component.getName() + "\" lies at " + component.getBounds().toString());

    if (auto* controller = dynamic_cast<GUIController*> (&component))
        if (auto* parameter = controller->getParameter(); parameter != nullptr && table.getParameterByName (parameter->getName()) != parameter)
            findings.add ("\"" + component.getName() + "\" is bound to a parameter outside the table");

    for (auto* child : component.getChildren())
        checkComponentTree (*child, table, findings);
}

/** What the panels built: the children of every panel in the tree. */
int countBuiltControls (const juce::Component& component)
{
    const auto isPanel = dynamic_cast<const GFXPanel*> (&component) != nullptr;
    auto count = 0;

    for (auto* child : component.getChildren())
        count += (isPanel ? 1 : 0) + countBuiltControls (*child);

    return count;
}

/** Checks a built panel, paints it into a small picture and tells it a listener. */
void checkPanel (GFXPanel& panel, Skin& skin, Findings& findings)
{
    if (panel.getName() != "MainEditorPanel")
        findings.add ("the main panel is named \"" + panel.getName() + "\"");

    if (const auto controls = countBuiltControls (panel); controls > GFXPanel::maxControls)
        findings.add ("the panel holds " + juce::String (controls) + " controls");

    checkComponentTree (panel, skin.getParameterManager(), findings);

    juce::Image picture (juce::Image::ARGB, 64, 64, true);
    juce::Graphics g (picture);
    panel.paintEntireComponent (g, true);

    NullListener listener;
    panel.addListener (&listener);
}

void checkWarnings (const Skin& skin, Findings& findings)
{
    for (const auto& warning : skin.getWarnings())
        if (warning.isEmpty())
            findings.add ("an empty warning");
}

void checkPackageImage (Skin& skin, const juce::String& name, Findings& findings)
{
    const auto image = skin.getPackageImage (name);

    if (image.isValid() && (image.getWidth() > SkinImageDecoder::maxSide || image.getHeight() > SkinImageDecoder::maxSide))
        findings.add (name + " decoded at " + juce::String (image.getWidth()) + " x " + juce::String (image.getHeight()));
}

// The package's name holds a dot, as "Night.v2" does: its file is
// "input.v2.ulvraskin" (the input file is "input" + the extension given) and
// its entries "input.v2.md5" and "input.v2.skin".
const juce::String packageName = "input.v2";
const juce::String packageFileExtension = juce::String (".v2") + Skin::packageExtension;

void checkBudget (const Skin& skin, Findings& findings)
{
    if (skin.getInflatedBytes() > Skin::maxInflatedBytes)
        findings.add ("the entries took " + juce::String (skin.getInflatedBytes()) + " bytes inflated");

    if (skin.getDecodedBytes() > Skin::maxDecodedBytes)
        findings.add ("the pictures took " + juce::String (skin.getDecodedBytes()) + " bytes decoded");

    if (skin.getDecodeWork() > Skin::maxDecodeWork)
        findings.add ("the pictures took " + juce::String (skin.getDecodeWork()) + " units of work");
}

/** Loads the package and checks that a panel or a picture only comes from a
    valid package, within the budgets. Returns whether it was valid. */
bool runPackage (const std::uint8_t* data, std::size_t size, Findings& findings)
{
    auto& editor = FuzzSkinEditor::getFresh();
    editor.skinsDirectory = FuzzSupport::writeInputFile (data, size, packageFileExtension).getParentDirectory();

    Skin skin (editor, packageName);
    const auto valid = skin.openPackage();

    if (auto panel = skin.createEditorPanel())
    {
        if (! valid)
            findings.add ("an invalid package built a panel");

        checkPanel (*panel, skin, findings);
    }

    checkBudget (skin, findings);
    checkPackageImage (skin, "Background.png", findings);
    checkPackageImage (skin, "Thumbnail.png", findings);
    checkBudget (skin, findings);

    if (! valid && ! skin.getWarnings().isEmpty())
        findings.add ("an invalid package left warnings");

    checkWarnings (skin, findings);
    return valid;
}

bool containsEndOfCentralDirectory (const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t signature[] = { 'P', 'K', 5, 6 };
    return std::search (data, data + size, std::begin (signature), std::end (signature)) != data + size;
}
} // namespace

juce::String runSkinDescription (const std::uint8_t* data, std::size_t size)
{
    Findings findings;
    const auto root = FuzzSupport::parseText (juce::String::createStringFromData (data, static_cast<int> (size)), findings);

    if (root == nullptr)
        return findings.getText();

    Skin skin (FuzzSkinEditor::getFresh(), {});

    if (auto panel = skin.createPanelFromXml (*root))
    {
        if (! XmlHelpers::tagMatches (*root, "PluginEditor") || ! root->getStringAttribute ("application").equalsIgnoreCase ("Tarvelin"))
            findings.add ("a panel from a foreign skin description");

        checkPanel (*panel, skin, findings);
    }

    checkWarnings (skin, findings);
    return findings.getText();
}

juce::String runSkinPackage (const std::uint8_t* data, std::size_t size)
{
    Findings findings;

    // An empty saved input comes as a null pointer, which the writers below must not see.
    static const std::uint8_t nothing = 0;

    if (data == nullptr)
        data = &nothing;

    // The bytes as a whole package, then as the ".skin" archive of a package
    // whose digest matches, so that the inner archive, "skin.xml" and the
    // pictures are reached too.
    runPackage (data, size, findings);

    const juce::MemoryBlock skinArchive (data, size);
    const auto digest = juce::MD5 (data, size).toHexString();
    juce::MemoryOutputStream package;
    juce::ZipFile::Builder builder;
    builder.addEntry (new juce::MemoryInputStream (digest.toRawUTF8(), digest.getNumBytesAsUTF8(), true), 0, packageName + ".md5", juce::Time (2020, 0, 1, 0, 0));
    builder.addEntry (new juce::MemoryInputStream (skinArchive, false), 0, packageName + ".skin", juce::Time (2020, 0, 1, 0, 0));
    builder.writeToStream (package, nullptr);

    const auto wrappedValid = runPackage (static_cast<const std::uint8_t*> (package.getData()), package.getDataSize(), findings);

    if (wrappedValid && ! containsEndOfCentralDirectory (data, size))
        findings.add ("a .skin entry that is no zip archive was taken");

    return findings.getText();
}
} // namespace FuzzTargets
