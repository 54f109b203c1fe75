#pragma once

#include "skin/GFXPanel.h"
#include "support/SkinTestSupport.h"
#include "support/TestPlugins.h"

#include <gtest/gtest.h>

/** Skins for the old-style test plug-in ("Tarvelin", the instrument's
    parameters and events), one plug-in for the whole suite. */
class SkinTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        plugin = OldStyleTestPlugin::create().release();
        editor = new PluginSkinEditor (*plugin);
    }

    static void TearDownTestSuite()
    {
        delete editor;
        delete plugin;
        editor = nullptr;
        plugin = nullptr;
    }

    void TearDown() override    { editor->getSkinsDirectory().deleteRecursively(); }

    /** A main panel from the body of a "MainPanel", pictures from the resources. */
    std::unique_ptr<GFXPanel> panelFrom (const juce::String& mainPanelBody)
    {
        const auto root = juce::parseXML (SkinTestSupport::skinXml ("Tarvelin", mainPanelBody));
        return root != nullptr ? skin.createPanelFromXml (*root) : nullptr;
    }

    /** The main panel of an installed package named "Test" holding the skin
        body and the pictures. */
    std::unique_ptr<GFXPanel> packagedPanelFrom (const juce::String& mainPanelBody, SkinTestSupport::Package package = {})
    {
        package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", mainPanelBody)).install (*editor, "Test");
        packageSkin = std::make_unique<Skin> (*editor, "Test");
        return packageSkin->createEditorPanel();
    }

    Parameter& parameter (const juce::String& name) { return *plugin->getParameterManager().getParameterByName (name); }

    static inline OldStyleTestPlugin* plugin = nullptr;
    static inline PluginSkinEditor* editor = nullptr;

    Skin skin { *editor, {} };
    std::unique_ptr<Skin> packageSkin;
};
