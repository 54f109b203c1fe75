#include "editor/GUISettingsComponent.h"

#include "editor/BasePluginEditor.h"
#include "skin/Skin.h"
#include "widgets/InterfaceTypefaces.h"

#include <algorithm>

//==============================================================================
GUISettingsComponent::SkinPreview::SkinPreview (juce::Rectangle<int> screen) : screenArea (screen)
{
    setSize (screenArea.getWidth() / 4 + 6, screenArea.getHeight() / 4 + 26);
}

void GUISettingsComponent::SkinPreview::setImage (const juce::Image& newImage)
{
    if (newImage == image)
        return;

    image = newImage;
    repaint();
}

void GUISettingsComponent::SkinPreview::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds();
    const auto strip = bounds.withTop (juce::jmax (0, bounds.getHeight() - 20));
    const auto previewArea = bounds.withBottom (strip.getY());

    g.setColour (juce::Colours::black);
    g.fillRect (previewArea);
    g.setColour (juce::Colour (0xFF808080));
    g.drawRect (previewArea, 3);

    if (image.isValid())
        g.drawImageWithin (image, previewArea.getX() + 3, previewArea.getY() + 3, juce::jmax (0, previewArea.getWidth() - 6),
                           juce::jmax (0, previewArea.getHeight() - 6), juce::RectanglePlacement::centred);

    g.setColour (juce::Colours::black);
    g.setFont (InterfaceTypefaces::font (13.0f));
    g.drawText ("Screen resolution: " + juce::String (screenArea.getWidth()) + " x " + juce::String (screenArea.getHeight()),
                strip, juce::Justification::centred, true);
}

//==============================================================================
GUISettingsComponent::SkinPanel::SkinPanel (const juce::String& caption, const juce::String& boxName, juce::Rectangle<int> screen)
    : panel (caption), box (boxName), preview (std::make_unique<SkinPreview> (screen))
{
    column.setSpacing (6);
    box.setSize (comboWidth, comboHeight);
    column.addAndMakeVisible (box);
    column.addAndMakeVisible (*preview);
    column.layoutChildren();
    panel.setContentComponent (&column, false);
}

juce::Rectangle<int> GUISettingsComponent::getMainScreenArea()
{
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        return display->totalArea;

    return {};
}

GUISettingsComponent::GUISettingsComponent (BasePluginEditor& editorToServe)
    : GUISettingsComponent (editorToServe, getMainScreenArea())
{
}

GUISettingsComponent::GUISettingsComponent (BasePluginEditor& editorToServe, juce::Rectangle<int> screen)
    : editor (editorToServe),
      screenArea (screen),
      defaults ("Default skin", "DefaultSkinBox", screenArea),
      current ("Current skin", "CurrentSkinBox", screenArea)
{
    scanSkins();

    if (const auto index = findDefaultSkinIndex (skins, screenArea); index >= 0)
        defaultSkinName = skins[static_cast<size_t> (index)].name;

    for (size_t i = 0; i < skins.size(); ++i)
        skinMenu.addItem (static_cast<int> (i),
                          skins[i].name + " - " + juce::String (skins[i].bounds.getWidth()) + " x "
                              + juce::String (skins[i].bounds.getHeight()),
                          false, true);

    // The page hears the menu itself: choosing the skin already shown is a
    // choice too, which the combo buttons would not pass on.
    skinMenu.addListener (this);
    defaults.box.setExternalMenu (&skinMenu);
    current.box.setExternalMenu (&skinMenu);

    addAndMakeVisible (defaults.panel);
    addAndMakeVisible (current.panel);

    setDefaultSkin (editor.getDefaultSkinName(), false);
    setCurrentSkin (editor.getCurrentSkinName(), false);
}

GUISettingsComponent::~GUISettingsComponent()
{
    defaults.box.setExternalMenu (nullptr);
    current.box.setExternalMenu (nullptr);
    skinMenu.removeListener (this);
}

void GUISettingsComponent::scanSkins()
{
    const auto folder = editor.getSkinsDirectory();

    if (! folder.isDirectory())
        return;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, juce::String ("*") + Skin::packageExtension))
    {
        const auto name = file.getFileNameWithoutExtension();

        // Only what the name opens again is listed (not ".ulvraskin" alone, nor a name holding "..").
        if (Skin::getPackageFile (folder, name) != file)
            continue;

        // The previews are read within the package's budgets, as its panel's pictures would be.
        Skin skin (editor, name);
        const auto background = skin.getPackageImage ("Background.png");
        skins.push_back ({ name, background.getBounds(), skin.getPackageImage ("Thumbnail.png") });

        std::stable_sort (skins.begin(), skins.end(), [] (const SkinRecord& a, const SkinRecord& b)
        {
            return a.bounds.getWidth() < b.bounds.getWidth();
        });
    }
}

int GUISettingsComponent::findDefaultSkinIndex (const std::vector<SkinRecord>& sortedRecords, juce::Rectangle<int> screen)
{
    if (sortedRecords.empty())
        return -1;

    for (auto i = static_cast<int> (sortedRecords.size()) - 1; i >= 1; --i)
        if (screen.contains (sortedRecords[static_cast<size_t> (i)].bounds))
            return i;

    return 0;
}

int GUISettingsComponent::indexOf (const juce::String& name) const
{
    for (size_t i = 0; i < skins.size(); ++i)
        if (skins[i].name == name)
            return static_cast<int> (i);

    return -1;
}

juce::String GUISettingsComponent::nameAt (int index) const
{
    return juce::isPositiveAndBelow (index, static_cast<int> (skins.size())) ? skins[static_cast<size_t> (index)].name
                                                                              : juce::String();
}

void GUISettingsComponent::choose (SkinPanel& skinPanel, const juce::String& name)
{
    const auto index = indexOf (name);
    skinPanel.box.setSelectedId (index, false);
    skinPanel.preview->setImage (skins[static_cast<size_t> (index)].thumbnail);
}

void GUISettingsComponent::setDefaultSkin (const juce::String& name, bool notify)
{
    if (indexOf (name) < 0)
        return;

    choose (defaults, name);

    if (notify)
        for (int i = listeners.size(); --i >= 0;)
            listeners.getUnchecked (i)->defaultSkinChanged (this);
}

void GUISettingsComponent::setCurrentSkin (const juce::String& name, bool notify)
{
    if (indexOf (name) < 0)
        return;

    choose (current, name);

    if (notify)
        for (int i = listeners.size(); --i >= 0;)
            listeners.getUnchecked (i)->currentSkinChanged (this);
}

juce::String GUISettingsComponent::getChosenDefaultSkin() const { return nameAt (defaults.box.getSelectedId()); }
juce::String GUISettingsComponent::getChosenCurrentSkin() const { return nameAt (current.box.getSelectedId()); }

void GUISettingsComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void GUISettingsComponent::removeListener (Listener* listener)
{
    listeners.removeAllInstancesOf (listener);
}

void GUISettingsComponent::menuItemChosen (PopupMenuEx* menu, int itemId, bool)
{
    if (menu != &skinMenu)
        return;

    const auto name = nameAt (itemId);

    if (menu->getParentName() == defaults.box.getName())
        setDefaultSkin (name, true);
    else if (menu->getParentName() == current.box.getName())
        setCurrentSkin (name, true);
}

void GUISettingsComponent::resized()
{
    const auto width = getWidth() / 2 - 3;
    defaults.panel.fitSize (width, -1);
    defaults.panel.setTopLeftPosition (0, 0);
    current.panel.fitSize (width, -1);
    current.panel.setTopLeftPosition (getWidth() / 2 + 3, 0);
}
