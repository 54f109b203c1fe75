#pragma once

#include "editor/TarvelinEditor.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"

#include <gtest/gtest.h>

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
