#pragma once

#include "widgets/ComboBoxButton.h"
#include "widgets/ComponentRow.h"
#include "widgets/PanelComponent.h"
#include "widgets/PopupMenuEx.h"

#include <vector>

class BasePluginEditor;

/**
    The "GUI" page of an editor built with skin choice: among the skin packages
    in the skins folder, the default skin (used when a new editor starts) and
    the current skin (switched at once by the editor). Each panel shows the
    chosen skin's thumbnail.
*/
class GUISettingsComponent : public juce::Component,
                             public PopupMenuEx::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void defaultSkinChanged (GUISettingsComponent*) = 0;
        virtual void currentSkinChanged (GUISettingsComponent*) = 0;
    };

    /** One installed package: its name, its editor size (the background's
        bounds) and its thumbnail. */
    struct SkinRecord
    {
        juce::String name;
        juce::Rectangle<int> bounds;
        juce::Image thumbnail;
    };

    /** A thumbnail framed in black above a line naming the screen's size. */
    class SkinPreview : public juce::Component
    {
    public:
        explicit SkinPreview (juce::Rectangle<int> screenArea);

        /** Repaints only when the picture changed. */
        void setImage (const juce::Image& newImage);
        const juce::Image& getImage() const noexcept    { return image; }

        void paint (juce::Graphics& g) override;

    private:
        juce::Image image;
        juce::Rectangle<int> screenArea;
    };

    static constexpr int comboWidth = 300;
    static constexpr int comboHeight = 18;

    /** The page for the main display's screen. */
    explicit GUISettingsComponent (BasePluginEditor& editor);
    /** The page for a screen of that area (empty: no display), which the
        default skin is chosen to fit. */
    GUISettingsComponent (BasePluginEditor& editor, juce::Rectangle<int> screenArea);
    ~GUISettingsComponent() override;

    /** The main display's whole area; empty without a display. */
    static juce::Rectangle<int> getMainScreenArea();

    /** The widest record whose bounds fit inside the screen area, else the
        narrowest; -1 without records. The records are sorted narrowest first. */
    static int findDefaultSkinIndex (const std::vector<SkinRecord>& sortedRecords, juce::Rectangle<int> screenArea);

    /** Chooses a known skin without notifying the combo's listeners; with
        notify this page's listeners hear it. An unknown name changes nothing. */
    void setDefaultSkin (const juce::String& name, bool notify);
    void setCurrentSkin (const juce::String& name, bool notify);

    /** The skin the page found best for this screen; empty without packages. */
    const juce::String& getDefaultSkinName() const noexcept { return defaultSkinName; }

    /** The names chosen in the two combo buttons; empty while none is. */
    juce::String getChosenDefaultSkin() const;
    juce::String getChosenCurrentSkin() const;

    const std::vector<SkinRecord>& getSkins() const noexcept { return skins; }
    ComboBoxButton& getDefaultSkinBox() noexcept        { return defaults.box; }
    ComboBoxButton& getCurrentSkinBox() noexcept        { return current.box; }
    SkinPreview& getDefaultPreview() noexcept           { return *defaults.preview; }
    SkinPreview& getCurrentPreview() noexcept           { return *current.preview; }
    PopupMenuEx& getSkinMenu() noexcept                 { return skinMenu; }

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) override;
    void resized() override;

private:
    struct SkinPanel
    {
        SkinPanel (const juce::String& caption, const juce::String& boxName, juce::Rectangle<int> screenArea);

        PanelComponent panel;
        ComponentRow column { ComponentRow::topToBottom, ComponentRow::alignStart };
        ComboBoxButton box;
        std::unique_ptr<SkinPreview> preview;
    };

    void scanSkins();
    int indexOf (const juce::String& name) const;
    juce::String nameAt (int index) const;
    void choose (SkinPanel& skinPanel, const juce::String& name);

    BasePluginEditor& editor;
    const juce::Rectangle<int> screenArea;
    SkinPanel defaults, current;
    PopupMenuEx skinMenu { "SkinMenu" };
    std::vector<SkinRecord> skins;
    juce::String defaultSkinName;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GUISettingsComponent)
};
