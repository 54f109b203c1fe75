#pragma once

#include "support/MessageQueue.h"
#include "support/TestPlugins.h"
#include "support/XServer.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

/*  The plug-in library's editor in a real window on the X display, for the
    tests that run under Xvfb. The plug-in is made the way the Standalone makes
    it, and its editor is opened and closed the way a host does: createEditor()
    through createEditorIfNeeded(), shown on the desktop, deleted on close.

    Mouse input goes through the window's ComponentPeer, the entry X events
    take, so JUCE finds the component under the pointer, tracks the drag and
    counts clicks as it does for a user. Positions are in editor coordinates.
    The real X pointer is moved off the window first, so that no X pointer
    event of the server's own interleaves with a test's.
*/
class EditorWindow
{
public:
    enum class Settings
    {
        fresh,  // the plug-in starts with no user settings, as on a new machine
        kept    // it reads what an earlier instance of this process left
    };

    /** Makes the plug-in as the Standalone does; open() shows its editor. */
    explicit EditorWindow (Settings settings = Settings::fresh)
    {
        if (settings == Settings::fresh)
            removeSettingsOf (JucePlugin_Name);

        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
        processor.reset (createPluginFilter());
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

        if (processor != nullptr)
        {
            processor->disableNonMainBuses();
            processor->setRateAndBufferSizeDetails (44100.0, 512);
        }
    }

    ~EditorWindow()
    {
        close();
        processor.reset();
    }

    juce::AudioProcessor& getProcessor() const              { return *processor; }
    juce::AudioProcessorEditor* getEditor() const           { return editor.get(); }
    juce::ComponentPeer* getPeer() const                    { return window != nullptr ? window->getPeer() : nullptr; }

    /** The plug-in as its own class; null when it is another. */
    template <typename Plugin>
    Plugin* getPlugin() const { return dynamic_cast<Plugin*> (processor.get()); }

    /** Opens the editor in a window at the screen's top left and waits until
        the X server shows it and it has painted there; false when that takes
        longer than timeoutMs or there is no editor. */
    bool open (int timeoutMs = 10000)
    {
        if (window != nullptr)
            return true;

        if (processor == nullptr)
            return false;

        editor.reset (processor->createEditorIfNeeded());

        if (editor == nullptr)
            return false;

        const auto screen = juce::Desktop::getInstance().getDisplays().getTotalBounds (false);
        juce::Desktop::setMousePosition (screen.getBottomRight() - juce::Point<int> (1, 1));

        window = std::make_unique<Window> (*editor);
        window->addToDesktop (0);
        window->setVisible (true);

        // Asked of the server itself: JUCE may hold the map notification in
        // Xlib's queue until more arrives. A paint begun after that is on the screen.
        const auto windowId = (unsigned long) (juce::pointer_sized_uint) getPeer()->getNativeHandle();

        if (! runMessageLoopUntil ([windowId] { return XServer::isViewable (windowId); }, timeoutMs))
            return false;

        window->repaint();
        return waitForPaint (timeoutMs);
    }

    /** Closes the window and deletes the editor, as a host does. */
    void close()
    {
        if (window != nullptr)
        {
            window->removeFromDesktop();
            window->removeChildComponent (editor.get());
        }

        editor.reset();
        window.reset();
    }

    /** Runs the message loop until the window has painted again; false when it has not within timeoutMs. */
    bool waitForPaint (int timeoutMs = 5000)
    {
        if (window == nullptr)
            return false;

        const auto paintsBefore = window->getNumPaints();
        return runMessageLoopUntil ([this, paintsBefore] { return window->getNumPaints() > paintsBefore; }, timeoutMs);
    }

    /** The centre of a component inside the editor, in editor coordinates: where to press it. */
    juce::Point<int> getCentreOf (const juce::Component& component) const
    {
        jassert (editor != nullptr && editor->isParentOf (&component));
        return editor->getLocalPoint (&component, component.getLocalBounds().getCentre());
    }

    /** The window's bounds on the screen (empty when closed). */
    juce::Rectangle<int> getScreenBounds() const
    {
        return window != nullptr ? window->getScreenBounds() : juce::Rectangle<int>();
    }

    //==============================================================================
    void mouseMove (juce::Point<int> position)                              { sendMouse (position, {}); }
    void mouseDown (juce::Point<int> position, juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
    {
        // Apart in time, so that separate presses never make a double click.
        eventTime += 1000;
        pressedButtons = buttons;
        sendMouse (position, buttons);
    }
    void mouseDrag (juce::Point<int> position)                              { sendMouse (position, pressedButtons); }
    void mouseUp (juce::Point<int> position)
    {
        pressedButtons = {};
        sendMouse (position, {});
    }

    /** A left click: press and release at one point. */
    void click (juce::Point<int> position, juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
    {
        mouseMove (position);
        mouseDown (position, buttons);
        mouseUp (position);
    }

    /** A left-button drag from one point to another, in steps. */
    void drag (juce::Point<int> from, juce::Point<int> to, int steps = 8)
    {
        mouseMove (from);
        mouseDown (from);

        for (int step = 1; step <= steps; ++step)
            mouseDrag (from + (to - from) * step / steps);

        mouseUp (to);
    }

private:
    /** The desktop window holding the editor; it counts its paints. */
    class Window : public juce::Component
    {
    public:
        explicit Window (juce::Component& content)
        {
            setOpaque (true);
            addAndMakeVisible (content);
            setSize (content.getWidth(), content.getHeight());
        }

        int getNumPaints() const            { return numPaints; }

        void paintOverChildren (juce::Graphics&) override  { ++numPaints; }

        // The editor sets its own size (its skin decides it); the window follows.
        void childBoundsChanged (juce::Component* child) override
        {
            if (child != nullptr)
                setSize (child->getWidth(), child->getHeight());
        }

    private:
        int numPaints = 0;
    };

    void sendMouse (juce::Point<int> position, juce::ModifierKeys buttons)
    {
        auto* peer = getPeer();
        jassert (peer != nullptr);

        if (peer == nullptr)
            return;

        eventTime += 10;
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys::currentModifiers.withoutMouseButtons()
                                                   .withFlags (buttons.getRawFlags());
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position.toFloat(),
                                juce::ModifierKeys::currentModifiers, juce::MouseInputSource::defaultPressure,
                                juce::MouseInputSource::defaultOrientation, eventTime);
    }

    std::unique_ptr<juce::AudioProcessor> processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    std::unique_ptr<Window> window;
    juce::ModifierKeys pressedButtons;
    juce::int64 eventTime = juce::Time::currentTimeMillis();

    JUCE_DECLARE_NON_COPYABLE (EditorWindow)
};
