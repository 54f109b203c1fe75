#pragma once

#include "editor/TarvelinEditor.h"
#include "framework/BundleResources.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"
#include "support/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

/*  The instrument made by the plug-in entry, with its editor as the plug-in
    creates it, once every parameter's first announcement has reached it.
*/
class InstrumentEditorFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_NE (editorPointer, nullptr);
        dispatchPendingMessages();
    }

    /** A skin control of the current panel by name; null when absent or of another kind. */
    template <typename Control>
    Control* find (const juce::String& name) const
    {
        return dynamic_cast<Control*> (editor.findChildComponentByName (name, true));
    }

    template <typename Control>
    Control& control (const juce::String& name) const
    {
        auto* found = find<Control> (name);
        EXPECT_NE (found, nullptr) << name.toStdString();
        return *found;
    }

    /** Sets a parameter as the instrument does and lets the editor hear it. */
    void setState (int id, bool value)
    {
        parameters.setBoolValue (id, value);
        dispatchPendingMessages();
    }

    /** Runs an event through the editor's dispatch, as a skin button does, and delivers what it changed. */
    void trigger (int eventId)
    {
        editor.controllerEventTriggered (nullptr, eventId);
        dispatchPendingMessages();
    }

    bool state (int id) const { return parameters.getParameter (id)->getBoolValue(); }

    std::unique_ptr<Tarvelin> owned = InstrumentTest::createInstrument();
    Tarvelin& plugin = *owned;
    ParameterManager& parameters = plugin.getParameterManager();
    TarvelinEditor* editorPointer = dynamic_cast<TarvelinEditor*> (plugin.getPersistentEditor());
    TarvelinEditor& editor = *editorPointer;
};

/** The default skin as a package of its own, with "skin.xml" changed. */
inline juce::File installDefaultSkinAs (const Skin::Editor& editor, const juce::String& skinName,
                                 const std::function<void (juce::XmlElement&)>& change)
{
    auto xml = juce::parseXML (loadBundleResourceAsString ("skin.xml"));
    change (*xml);

    SkinTestSupport::Package package;
    package.addText ("skin.xml", xml->toString());
    // Every picture the skin names, from the plug-in's own resources.
    for (const auto& image : SkinTestSupport::picturesNamedIn (*xml))
        if (const auto data = loadBundleResource (image))
            package.add (image, *data);

    return package.install (editor, skinName);
}

inline void removeControlNamed (juce::XmlElement& element, const juce::String& name)
{
    for (auto* child : element.getChildIterator())
    {
        if (child->getStringAttribute ("name") == name)
        {
            element.removeChildElement (child, true);
            return;
        }

        removeControlNamed (*child, name);
    }
}
